// The listings of a RIK section.
//
// The summary walks the registry once and writes one line per function,
// class, branch, popup and unreachable mark. The source listing walks it as
// a tree: an item's children are the items that start before its end; the
// source readers copy the text up to each opening and closing tag.
#include "output/rik_listing.h"

#include "output/rik_tags.h"
#include "output/source_reader.h"
#include "support/messages.h"
#include "support/translate.h"

#include <QString>
#include <variant>

namespace output {
namespace {

void Write(std::FILE* out, const std::string& text) { std::fputs(text.c_str(), out); }

// The summary writes a label and a line reference per registry item; their
// translations are looked up once per listing.
struct SummaryTexts {
  std::string line = CoverageText("line %1");
  std::string incoming = CoverageText("Incoming");
  std::string exit = CoverageText("Exit");
  std::string call = CoverageText("Call");
  std::string block = CoverageText("Statement block");
  std::string basicCondition = CoverageText("Basic condition");
  std::string method = CoverageText("Method");
  std::string constructor = CoverageText("Constructor");
  std::string destructor = CoverageText("Destructor");
  std::string function = CoverageText("Function");
  std::string popup = CoverageText("click here for other branches");
  std::string unreachable = CoverageText("code unreachable");
  std::string className = CoverageText("Class");
};

// The line template with each "%1" marker (not the start of "%10" and
// beyond) replaced by the number, as QString::arg fills it.
std::string LineText(const SummaryTexts& texts, std::uint32_t line) {
  const std::string number = std::to_string(line);
  const std::string& pattern = texts.line;
  std::string text;
  std::size_t from = 0;
  for (std::size_t at = pattern.find("%1"); at != std::string::npos; at = pattern.find("%1", at + 2)) {
    const bool longer = at + 2 < pattern.size() && pattern[at + 2] >= '0' && pattern[at + 2] <= '9';
    if (longer) continue;
    text.append(pattern, from, at - from).append(number);
    from = at + 2;
  }
  return text.append(pattern, from, std::string::npos);
}

const std::string& SumLabel(const SummaryTexts& texts, std::int8_t sum) {
  static const std::string kNone;
  switch (sum) {
    case kSumEntry:
      return texts.incoming;
    case kSumExit:
      return texts.exit;
    case kSumCall:
      return texts.call;
    case kSumBlock:
      return texts.block;
    case kSumBasicCondition:
      return texts.basicCondition;
    default:
      return kNone;
  }
}

const std::string& NodeLabel(const SummaryTexts& texts, RikNodeType type) {
  switch (type) {
    case RikNodeType::kMethod:
      return texts.method;
    case RikNodeType::kConstructor:
      return texts.constructor;
    case RikNodeType::kDestructor:
      return texts.destructor;
    default:
      return texts.function;
  }
}

std::string SummaryPopup(const SummaryTexts& texts, const RikItem& item) {
  std::string text = "  @POPUP@" + texts.popup + "@-POPUP@";
  if (const auto* alternatives = std::get_if<std::vector<RikAlternative>>(&item.payload)) {
    for (const RikAlternative& alternative : *alternatives) {
      if (alternative.branch) text += BranchTag(*alternative.branch, false);
      text += alternative.text;
      if (alternative.branch) text += "@/BRANCH@";
    }
  }
  return text + "@/POPUP@, " + LineText(texts, item.sourceLine) + "\n";
}

struct SummaryState {
  std::FILE* out;
  SummaryTexts texts;
  bool functionOpen = false;
  bool classOpen = false;
};

void SummarizeItem(SummaryState& state, const RikItem& item) {
  std::FILE* out = state.out;
  switch (item.kind) {
    case RikKind::kClass: {
      Write(out, state.functionOpen ? "@/NODE@\n  " : "\n  ");
      Write(out, state.classOpen ? "@/NODE@\n" : "\n");
      const auto* name = std::get_if<RikText>(&item.payload);
      Write(out, OpeningTag(item, 0) + state.texts.className + " " + (name ? name->text : "") + "\n");
      state.classOpen = true;
      state.functionOpen = false;
      return;
    }
    case RikKind::kFunction: {
      const RikFunction* function = FunctionOf(item);
      if (!function) return;
      Write(out, state.functionOpen ? "@/NODE@\n  " : "\n  ");
      Write(out, OpeningTag(item, 0) + NodeLabel(state.texts, function->nodeType) + " " + function->name + " ()\n");
      state.functionOpen = true;
      return;
    }
    case RikKind::kBranch:
    case RikKind::kBranchStart:
      if (const auto* branch = std::get_if<RikBranch>(&item.payload)) {
        Write(out, "    " + BranchTag(*branch, false) + SumLabel(state.texts, branch->sum) + "@/BRANCH@, " +
                       LineText(state.texts, item.sourceLine) + "\n");
      }
      return;
    case RikKind::kPopup:
      Write(out, SummaryPopup(state.texts, item));
      return;
    case RikKind::kUnreachable:
      Write(out, "  @BRANCH UNREACHABLE@ " + state.texts.unreachable + ", " + LineText(state.texts, item.sourceLine) +
                     "\n");
      return;
    default:
      return;
  }
}

class SourceListing {
 public:
  SourceListing(std::FILE* out, const SourceListingInput& input, const SourceAnalysis& analysis)
      : out_(out), input_(input), totalLines_(analysis.counts[metrics::kTotalLines]), binding_(listing_) {
    StartListing(out, analysis.hiddenRanges, analysis.regions);
    OpenSourceReader(source_, input.sourcePath->c_str(), true);
    OpenSourceReader(preprocessed_, input.preprocessedPath, false);
  }

  void Run() {
    const RikItemList& registry = *input_.registry;
    for (auto it = registry.begin(); it != registry.end();) it = ListItem(it);
    FinishReader(preprocessed_);
    FinishReader(source_);
    CloseSourceReader(preprocessed_);
    CloseSourceReader(source_);
    FinishListing();
  }

 private:
  [[noreturn]] void FailBeyondEnd(const RikItem& item) const {
    support::DisplayFatalError(
        support::Translate("Fatal Error",
                           "Expected source line %1 [preprocessed:%2] is after the end of the file %3 [%4 total]",
                           "%1 the expected source line number, %2 the preprocessed source line number, %3 : the "
                           "filename and %4 the total number of source lines")
            .arg(QString::number(item.sourceLine), QString::number(item.start ? item.start->line : 0),
                 support::FromLocal(*input_.sourcePath), QString::number(totalLines_)));
  }

  void CopyUpTo(std::uint32_t line, const std::optional<frontend::SourcePosition>& position, bool inclusive) {
    if (position) CopySourceUpTo(source_, preprocessed_, line, *position, inclusive);
  }

  RikItemList::const_iterator ListItem(RikItemList::const_iterator it) {
    const RikItem& item = **it;
    if (item.sourceLine > totalLines_) FailBeyondEnd(item);
    CopyUpTo(item.sourceLine, item.start, item.kind == RikKind::kShortcut);
    Write(out_, OpeningTag(item, input_.coverage));
    ++it;
    if (item.kind == RikKind::kLink || item.kind == RikKind::kUnreachable || item.kind == RikKind::kShortcut) {
      return it;
    }
    while (it != input_.registry->end() && RikBefore((*it)->start, (*it)->orderKey, item.end, -item.orderKey)) {
      it = ListItem(it);
    }
    if (item.sourceEndLine == 0) return it;
    if (item.sourceEndLine <= totalLines_) {
      CopyUpTo(item.sourceEndLine, item.end, true);
    } else if (!endCommentWritten_) {
      Write(out_, "@COMMENT@/* " + CoverageText("End of previous Coverage branches") + " */@/COMMENT@");
      endCommentWritten_ = true;
    }
    Write(out_, ClosingTag(item));
    return it;
  }

  std::FILE* out_;
  const SourceListingInput& input_;
  std::uint32_t totalLines_;
  ListingState listing_;
  ListingScope binding_;
  SourceReader source_;
  SourceReader preprocessed_;
  bool endCommentWritten_ = false;
};

}  // namespace

void WriteSummaryListing(std::FILE* out, const RikItemList& registry) {
  Write(out, "@COMMENT@/* " + CoverageText("This document presents all functions and branches per source line.") +
                 " */@/COMMENT@\n\n");
  if (registry.empty()) {
    Write(out, "\n  \n");
    return;
  }
  SummaryState state{out, SummaryTexts{}};
  for (const RikItem* item : registry) SummarizeItem(state, *item);
  Write(out, state.functionOpen ? "@/NODE@\n  " : "\n  ");
  Write(out, state.classOpen ? "@/NODE@\n" : "\n");
}

void WriteSourceListing(std::FILE* out, const SourceListingInput& input, const SourceAnalysis& analysis) {
  SourceListing listing(out, input, analysis);
  listing.Run();
}

}  // namespace output
