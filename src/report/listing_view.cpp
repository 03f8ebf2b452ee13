// Laying out the listing's events as source lines.
//
// Text goes to one of three places: the current source line, the expansion
// of the open macro alternative, or the body of the innermost popup. Line
// feeds start a new line only in the first. A whole-line alternative writes
// its source line feed right after "@-ALT@"; that line ends only once the
// expansion is closed, so the expansion stays with its line.
#include "report/listing_view.h"

#include <map>
#include <string_view>
#include <unordered_map>

namespace report {
namespace {

struct Counted {
  std::uint64_t count = 0;
  std::string label;
};

// Every branch of the file by kind and number, from the report's items.
struct BranchCatalogue {
  std::unordered_map<std::uint32_t, Counted> procs, calls, blocks, conditions;
  std::map<std::uint32_t, const DecisionItem*> decisions;  // by first condition branch
  std::unordered_map<std::uint32_t, const DecisionItem*> forcedByOperand;  // by a basic condition's true branch

  const Counted* Find(char kind, std::uint32_t id) const {
    const auto& table = kind == 'P' ? procs : kind == 'C' ? calls : kind == 'B' ? blocks : conditions;
    const auto found = table.find(id);
    return found == table.end() ? nullptr : &found->second;
  }
  const DecisionItem* DecisionOf(std::uint32_t id) const {
    auto found = decisions.upper_bound(id);
    if (found == decisions.begin()) return nullptr;
    --found;
    const DecisionItem* decision = found->second;
    return id - decision->id < decision->combinations ? decision : nullptr;
  }
  const DecisionItem* ForcedDecisionOf(std::uint32_t condition) const {
    const auto found = forcedByOperand.find(condition);
    return found == forcedByOperand.end() ? nullptr : found->second;
  }
};

void AddFunction(const FunctionReport& function, BranchCatalogue& catalogue) {
  for (const BranchItem& item : function.branches) {
    if (item.category == Category::kFunctions || item.category == Category::kExits) {
      catalogue.procs[item.id] = {item.count, function.name + " " + item.label};
    } else if (item.category == Category::kCalls) {
      catalogue.calls[item.id] = {item.count, "call " + item.label};
    } else {
      catalogue.blocks[item.id] = {item.count, std::string(CategoryName(item.category)) + " " + item.label};
    }
  }
  for (const LoopItem& loop : function.loops) {
    for (const LoopBranch& branch : loop.branches) {
      catalogue.blocks[branch.id] = {branch.count, "loop " + loop.path + ", " + branch.label +
                                                       (branch.label == "1" ? " iteration" : " iterations")};
    }
  }
  for (const ConditionItem& item : function.conditions) {
    if (item.isCase) {
      catalogue.conditions[item.id] = {item.trueCount, "case " + item.text};
      continue;
    }
    catalogue.conditions[item.id] = {item.trueCount, item.text + " true"};
    catalogue.conditions[item.id + 1] = {item.falseCount, item.text + " false"};
  }
  for (const DecisionItem& decision : function.decisions) {
    catalogue.decisions[decision.id] = &decision;
    if (decision.forced) {
      for (const std::uint32_t operand : decision.operands) catalogue.forcedByOperand.emplace(operand, &decision);
    }
    for (const RowItem& row : decision.rows) catalogue.conditions[row.branch] = {row.count, "row " + row.text};
  }
}

// The branches each popup's body names, by popup in opening order, for the
// popups that name blocks only; none for the others.
std::vector<std::vector<RikBranchRef>> MarkedPopups(const RikListing& listing) {
  struct Open {
    std::size_t index = 0;
    bool inBody = false;
    bool blocksOnly = true;
    std::vector<RikBranchRef> branches;
  };
  std::vector<std::vector<RikBranchRef>> marked;
  std::vector<Open> open;
  for (const RikEvent& event : listing.events) {
    if (event.tag != RikTag::kPopup && event.tag != RikTag::kBranch) continue;
    if (event.tag == RikTag::kBranch) {
      if (open.empty() || !open.back().inBody || event.kind == RikEventKind::kClose) continue;
      Open& popup = open.back();
      popup.blocksOnly = popup.blocksOnly && event.kind == RikEventKind::kOpen && event.branch.couples.empty() &&
                         BranchKindOfSum(event.branch.sum) == 'B';
      popup.branches.push_back(event.branch);
      continue;
    }
    if (event.kind == RikEventKind::kOpen) {
      open.push_back({marked.size(), false, true, {}});
      marked.emplace_back();
    } else if (open.empty()) {
      continue;
    } else if (event.kind == RikEventKind::kPopupBody) {
      open.back().inBody = true;
    } else {  // closed, or ended by a condition table
      if (open.back().blocksOnly) marked[open.back().index] = std::move(open.back().branches);
      open.pop_back();
    }
  }
  return marked;
}

class ViewBuilder {
 public:
  ViewBuilder(const FileReport& file, std::vector<std::vector<RikBranchRef>> marked) : marked_(std::move(marked)) {
    for (const FunctionReport& function : file.functions) AddFunction(function, catalogue_);
    NewLine();
  }

  void Add(const RikEvent& event);
  ListingView Finish();

 private:
  void NewLine() {
    ListedLine& line = view_.lines.emplace_back();
    line.number = static_cast<std::uint32_t>(view_.lines.size());
  }
  bool InBody() const { return !popups_.empty() && popups_.back().inBody; }
  std::vector<ListedPiece>& Sink() {
    if (InBody()) return view_.popups[popups_.back().index].body;
    if (expansion_) return view_.alternatives[static_cast<std::size_t>(alternative_)].expansion;
    return view_.lines.back().pieces;
  }
  ListedPiece Piece() const;
  void AddText(std::string_view text, bool expansionStarts);
  int AddBranch(const RikBranchRef& ref, bool isMark, int opens = -1);
  void Count(bool hit);
  void OpenPopup();
  void ClosePopup(const DecisionItem* table);

  struct Popup {
    std::size_t index = 0;
    bool inBody = false;
    const DecisionItem* decision = nullptr;  // named by a row or pair of its body
    std::optional<std::uint32_t> firstCondition;  // the first basic condition in its text
    std::vector<int> marks;   // of a popup that names blocks only: its branches, marked where it opens
    std::size_t named = 0;    // of those, the ones its body named so far
  };
  BranchCatalogue catalogue_;
  std::vector<std::vector<RikBranchRef>> marked_;  // from MarkedPopups
  ListingView view_;
  std::vector<Popup> popups_;
  std::vector<int> bodyBranches_;  // branches open in the current popup body
  int alternative_ = -1;           // the open alternative
  bool expansion_ = false;         // its expansion is being written
  bool lineFeedPending_ = false;    // the source line feed of a whole-line alternative
  bool expansionStarts_ = false;
  int commentDepth_ = 0;
};

ListedPiece ViewBuilder::Piece() const {
  ListedPiece piece;
  piece.comment = commentDepth_ > 0;
  if (InBody()) {
    piece.branch = bodyBranches_.empty() ? -1 : bodyBranches_.back();
    return piece;
  }
  for (auto open = popups_.rbegin(); open != popups_.rend(); ++open) {
    if (!open->inBody && open->marks.empty()) {
      piece.popup = static_cast<int>(open->index);
      break;
    }
  }
  if (!expansion_) piece.alternative = alternative_;
  return piece;
}

void ViewBuilder::AddText(std::string_view text, bool expansionStarts) {
  if (expansionStarts && !text.empty() && text.front() == '\n') {
    lineFeedPending_ = true;
    text.remove_prefix(1);
  }
  while (!text.empty()) {
    const bool split = !InBody() && !expansion_;
    const std::size_t feed = split ? text.find('\n') : std::string_view::npos;
    const std::string_view part = text.substr(0, feed);
    if (!part.empty()) {
      ListedPiece piece = Piece();
      piece.text = std::string(part);
      std::vector<ListedPiece>& sink = Sink();
      // Runs of text with the same attributes become one piece.
      if (!sink.empty() && sink.back().mark < 0 && !sink.back().unreachable && sink.back().branch == piece.branch &&
          sink.back().popup == piece.popup && sink.back().alternative == piece.alternative &&
          sink.back().comment == piece.comment) {
        sink.back().text += piece.text;
      } else {
        sink.push_back(std::move(piece));
      }
    }
    if (feed == std::string_view::npos) return;
    NewLine();
    text.remove_prefix(feed + 1);
  }
}

void ViewBuilder::Count(bool hit) {
  view_.lines.back().tally.Add(hit);
  if (expansion_) view_.alternatives[static_cast<std::size_t>(alternative_)].tally.Add(hit);
  if (InBody()) view_.popups[popups_.back().index].tally.Add(hit);
}

int ViewBuilder::AddBranch(const RikBranchRef& ref, bool isMark, int opens) {
  const char kind = BranchKindOfSum(ref.sum);
  ListedBranch branch;
  branch.sum = ref.sum;
  branch.id = ref.id;
  if (ref.couples.empty()) {
    const Counted* counted = catalogue_.Find(kind, ref.id);
    branch.count = counted ? counted->count : 0;
    branch.label = counted ? counted->label : "branch " + std::to_string(ref.id);
    branch.hit = branch.count > 0;
  } else {
    branch.pair = true;
    branch.label = "independence pair";
    for (const auto& [first, second] : ref.couples) {
      const Counted* a = catalogue_.Find(kind, first);
      const Counted* b = catalogue_.Find(kind, second);
      const std::uint64_t runs = a && b ? std::min(a->count, b->count) : 0;
      branch.count = std::max(branch.count, runs);
    }
    branch.hit = branch.count > 0;
  }
  if (kind == 'K' && InBody() && !popups_.back().decision) popups_.back().decision = catalogue_.DecisionOf(ref.id);
  if (kind == 'K' && expansion_) view_.conditionAlternatives.emplace(ref.id, alternative_);
  if (ref.sum == 30 && InBody()) {
    for (Popup& open : popups_) {
      if (!open.inBody && !open.firstCondition) open.firstCondition = ref.id;
    }
  }
  Count(branch.hit);
  const int index = static_cast<int>(view_.branches.size());
  view_.branches.push_back(std::move(branch));
  if (InBody()) {
    if (!isMark) bodyBranches_.push_back(index);
    return index;
  }
  ListedPiece piece = Piece();
  piece.mark = index;
  piece.opens = opens;
  Sink().push_back(std::move(piece));
  return index;
}

void ViewBuilder::OpenPopup() {
  const std::size_t index = view_.popups.size();
  view_.popups.emplace_back();
  popups_.push_back({index, false, nullptr, std::nullopt, {}, 0});
  if (index >= marked_.size()) return;
  for (const RikBranchRef& ref : marked_[index]) {
    const int mark = AddBranch(ref, true, static_cast<int>(index));
    view_.popups[index].tally.Add(view_.branches[static_cast<std::size_t>(mark)].hit);
    popups_.back().marks.push_back(mark);
  }
}

void ViewBuilder::ClosePopup(const DecisionItem* table) {
  ListedPopup& popup = view_.popups[popups_.back().index];
  // A case table's rows are counted by the body's branches; a forced
  // decision's table names none, so its conditions count.
  popup.decision = table ? table : popups_.back().decision;
  popups_.pop_back();
  if (!table) return;
  popup.tally = {};
  for (const IndependenceItem& condition : table->conditions) {
    const bool shown = condition.shownBy.has_value();
    popup.tally.Add(shown);
    view_.lines.back().tally.Add(shown);
    if (expansion_) view_.alternatives[static_cast<std::size_t>(alternative_)].tally.Add(shown);
  }
}

void ViewBuilder::Add(const RikEvent& event) {
  const bool expansionStarts = expansionStarts_;  // only the event right after "@-ALT@"
  expansionStarts_ = false;
  switch (event.kind) {
    case RikEventKind::kText:
      AddText(event.text, expansionStarts);
      return;
    case RikEventKind::kOpen:
      if (event.tag == RikTag::kBranch && InBody() && !popups_.back().marks.empty()) {
        // Counted where the popup opens; the body names the marks.
        Popup& popup = popups_.back();
        bodyBranches_.push_back(popup.marks[popup.named++]);
      } else if (event.tag == RikTag::kBranch) {
        AddBranch(event.branch, false);
      }
      if (event.tag == RikTag::kPopup) OpenPopup();
      if (event.tag == RikTag::kNode && view_.lines.back().function.empty()) {
        view_.lines.back().function = event.name;
      }
      return;
    case RikEventKind::kClose:
      if (event.tag == RikTag::kBranch && InBody() && !bodyBranches_.empty()) bodyBranches_.pop_back();
      if (event.tag == RikTag::kPopup) ClosePopup(nullptr);
      return;
    case RikEventKind::kMark:
      if (event.tag == RikTag::kBranch || event.tag == RikTag::kShortcut) AddBranch(event.branch, true);
      if (event.tag == RikTag::kUnreachable) {
        ListedPiece piece = Piece();
        piece.unreachable = true;
        Sink().push_back(std::move(piece));
      }
      return;
    case RikEventKind::kPopupBody:
      popups_.back().inBody = true;
      bodyBranches_.clear();
      return;
    case RikEventKind::kPopupTable: {
      const auto condition = popups_.back().firstCondition;
      ClosePopup(condition ? catalogue_.ForcedDecisionOf(*condition) : nullptr);
      return;
    }
    case RikEventKind::kAltStart:
      alternative_ = static_cast<int>(view_.alternatives.size());
      view_.alternatives.emplace_back();
      view_.lines.back().alternatives.push_back(alternative_);
      return;
    case RikEventKind::kAltExpansion:
      expansion_ = true;
      expansionStarts_ = true;
      return;
    case RikEventKind::kAltEnd:
      expansion_ = false;
      alternative_ = -1;
      if (lineFeedPending_) NewLine();
      lineFeedPending_ = false;
      return;
    case RikEventKind::kCommentStart:
      ++commentDepth_;
      return;
    case RikEventKind::kCommentEnd:
      if (commentDepth_ > 0) --commentDepth_;
      return;
  }
}

ListingView ViewBuilder::Finish() {
  // The last source line feed opens no line of its own.
  if (view_.lines.size() > 1 && view_.lines.back().pieces.empty() && view_.lines.back().alternatives.empty() &&
      view_.lines.back().tally.total == 0) {
    view_.lines.pop_back();
  }
  return std::move(view_);
}

}  // namespace

std::optional<HitState> Tally::State() const {
  if (total == 0) return std::nullopt;
  if (hit == 0) return HitState::kNever;
  return hit == total ? HitState::kCovered : HitState::kPartly;
}

std::string LineText(const ListedLine& line) {
  std::string text;
  for (const ListedPiece& piece : line.pieces) text += piece.text;
  return text;
}

std::string AlternativeText(const ListedLine& line, int alternative) {
  std::string text;
  for (const ListedPiece& piece : line.pieces) {
    if (piece.alternative == alternative) text += piece.text;
  }
  return text;
}

ListingView BuildListingView(const RikListing& listing, const FileReport& file) {
  ViewBuilder builder(file, MarkedPopups(listing));
  for (std::size_t i = 1; i < listing.events.size(); ++i) builder.Add(listing.events[i]);  // after the file node
  return builder.Finish();
}

}  // namespace report
