// Statement lists: sequence blocks after statements that may not continue,
// labels (targets of gotos waiting for them, or unused), block-scope
// declarations at the start of a list.
#include <algorithm>

#include "generator.h"

namespace oracle {

void Generator::OpenList(const Place& place, bool allowDeclaration) {
  std::size_t floor = ChildFloor(place);
  lists_.push_back(ListFrame{});
  lists_.back().varMarks.push_back(vars_.size());
  lists_.back().floor = floor;
  lists_.back().declarations = allowDeclaration;
  if (!allowDeclaration || !features_.On("declarations") || !rng_.Chance(30) || place.depth > 3)
    return;
  // a goto from outside would skip the initialisation
  lists_.back().floor = lists_.size() - 1;
  std::string name = "v" + std::to_string(labels_++);
  std::string init = GenExpr(place, 1);
  vars_.push_back(name);
  out_.Put("unsigned " + name + " = " + init + ";");
  out_.EndLine();
  lists_.back().any = true;
}

void Generator::Note(const Flow& flow) {
  ListFrame& frame = lists_.back();
  frame.last = flow;
  frame.any = true;
  frame.gathered.leaves |= flow.leaves;
  frame.gathered.freeBreak |= flow.freeBreak;
  frame.gathered.freeContinue |= flow.freeContinue;
}

// The statement after one that may not continue starts a sequence block,
// counted when control reaches it from above, not through a label on it.
void Generator::SequenceBlock(const Place& place) {
  ListFrame& frame = lists_.back();
  if (!frame.any || !frame.last.mayNotContinue)
    return;
  unsigned k = Take(1);
  Add("BL", "simple " + place.path + "/seq", T(k));
  out_.Put("T[" + std::to_string(k) + "]++;");
  out_.EndLine();
  Note(Flow{});
}

void Generator::ListPut(const Place& place, const std::string& text, const Flow& flow) {
  SequenceBlock(place);
  out_.Put(text);
  out_.EndLine();
  Note(flow);
}

void Generator::ListStep(const Place& place) {
  ListFrame& last = lists_.back();
  // a label right after a jump: the sequence block there counts the
  // arrivals through the label, the only way in
  if (last.any && last.last.neverNext && !last.pending.empty() && features_.On("goto-into") && rng_.Chance(50)) {
    unsigned k = Take(1);
    Add("BL", "simple " + place.path + "/seq", T(k));
    out_.Put(last.pending.back() + ": T[" + std::to_string(k) + "]++;");
    out_.EndLine();
    last.labels.push_back(last.pending.back());
    last.pending.pop_back();
    Note(Flow{});
    return;
  }
  if (GenMidDeclaration(place))
    return;
  SequenceBlock(place);
  std::string into = features_.On("goto-into") && rng_.Chance(30)
                         ? TakeIntoLabel(lists_.back().floor, lists_.size() - 1)
                         : "";
  ListFrame& frame = lists_.back();
  if (!into.empty()) {
    out_.Put(into + ": ");
    frame.labels.push_back(into);
  } else if (!frame.pending.empty() && rng_.Chance(40)) {
    out_.Put(frame.pending.back() + ": ");
    frame.labels.push_back(frame.pending.back());
    frame.pending.pop_back();
  } else if (rng_.Chance(8)) {
    std::string label = "L" + std::to_string(labels_++);
    out_.Put(label + ": ");
    frame.labels.push_back(label);
  }
  Note(GenStatement(place, false, "", ""));
}

// A declaration between statements, at times labelled through an empty
// statement (clang-14 takes no label on a declaration), at times shadowing a
// name of an enclosing block. No waiting goto may jump past it into its
// scope. After a statement that may not continue, the sequence block goes
// into its initializer.
bool Generator::GenMidDeclaration(const Place& place) {
  ListFrame& frame = lists_.back();
  if (!features_.On("mixed-declarations") || !frame.declarations || !frame.pending.empty() || place.depth > 3 ||
      !rng_.Chance(10))
    return false;
  for (const ListFrame& open : lists_)
    if (!open.into.empty())
      return false;
  // only a name of an enclosing block may be declared again
  unsigned form = rng_.Below(10);  // 0 static, 1..2 array, 3 variable-length array, else plain
  auto outer = lists_.size() > 1 ? static_cast<unsigned>(frame.varMarks.front()) : 0u;
  std::string name = outer && form >= 4 && rng_.Chance(40) ? vars_[rng_.Below(outer)] : "";
  // a name of an enclosing block not yet declared again in this one
  if (name.find('[') != std::string::npos || std::find(vars_.begin() + outer, vars_.end(), name) != vars_.end())
    name = "";
  if (name.empty())
    name = "v" + std::to_string(labels_++);
  if (rng_.Chance(30)) {
    std::string label = "L" + std::to_string(labels_++);
    SequenceBlock(place);
    out_.Put(label + ": ;");
    out_.EndLine();
    lists_.back().labels.push_back(label);
    Note(Flow{});
  }
  // the new name's scope starts at its declarator: its initializer must not
  // read it
  std::vector<std::string> visible = vars_;
  std::erase(vars_, name);
  if (form < 4) {
    // no sequence block goes into a static or brace-list initializer
    SequenceBlock(place);
    std::string text;
    if (form == 0)
      text = "static unsigned " + name + " = " + Constant() + ";";
    else if (form < 3)
      text = "unsigned " + name + "[2] = { " + ValueDecision(place) + ", " + GenExpr(place, 1) + " };";
    else
      // 2 to 5 elements, the first two set at once
      text = "unsigned " + name + "[(" + Var(true) + " & 3u) + 2u]; " + name + "[0] = " + GenExpr(place, 1) + ", " +
             name + "[1] = " + GenExpr(place, 1) + ";";
    vars_ = visible;
    out_.Put(text);
    out_.EndLine();
    if (form == 0) {
      vars_.push_back(name);
    } else {
      vars_.push_back(name + "[0]");
      vars_.push_back(name + "[1]");
    }
    lists_.back().floor = lists_.size() - 1;
    Note(Flow{});
    return true;
  }
  std::string type = features_.On("gnu") && rng_.Chance(25) ? TypeofName(place) : "unsigned";
  std::string init = GenExpr(place, 1 + static_cast<int>(rng_.Below(2)));
  vars_ = visible;
  if (lists_.back().last.mayNotContinue) {
    unsigned k = Take(1);
    Add("BL", "simple " + place.path + "/seq", T(k));
    init = "(T[" + std::to_string(k) + "]++, " + init + ")";
  }
  out_.Put(type + " " + name + " = " + init + ";");
  out_.EndLine();
  vars_.push_back(name);
  lists_.back().floor = lists_.size() - 1;
  Note(Flow{});
  return true;
}

void Generator::FlushPending(const Place& place) {
  ListFrame& frame = lists_.back();
  frame.pending.insert(frame.pending.end(), frame.into.begin(), frame.into.end());
  frame.into.clear();
  while (!lists_.back().pending.empty()) {
    SequenceBlock(place);
    std::string label = lists_.back().pending.back();
    lists_.back().pending.pop_back();
    lists_.back().labels.push_back(label);
    out_.Put(label + ": z += 1u;");
    out_.EndLine();
    Note(Flow{});
  }
}

Flow Generator::CloseList() {
  ListFrame frame = std::move(lists_.back());
  lists_.pop_back();
  vars_.resize(frame.varMarks.front());
  Flow flow = frame.gathered;
  flow.mayNotContinue = frame.last.mayNotContinue;
  flow.fallsThrough = frame.last.fallsThrough;
  return flow;
}

Flow Generator::GenCompound(const Place& place, const std::string& firstLine, int count) {
  out_.Put("{");
  out_.EndLine();
  OpenList(place);
  if (!firstLine.empty())
    ListPut(place, firstLine, Flow{});
  for (int i = 0; i < count; i++)
    ListStep(place);
  FlushPending(place);
  Flow flow = CloseList();
  out_.Put("}");
  out_.EndLine();
  return flow;
}

}  // namespace oracle
