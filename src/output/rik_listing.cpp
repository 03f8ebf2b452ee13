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

std::string LineText(std::uint32_t line) {
  return support::ToLocal(support::Translate("Code Coverage", "line %1").arg(line));
}

std::string SumLabel(std::int8_t sum) {
  switch (sum) {
    case kSumEntry:
      return CoverageText("Incoming");
    case kSumExit:
      return CoverageText("Exit");
    case kSumCall:
      return CoverageText("Call");
    case kSumBlock:
      return CoverageText("Statement block");
    case kSumBasicCondition:
      return CoverageText("Basic condition");
    default:
      return {};
  }
}

std::string NodeLabel(RikNodeType type) {
  switch (type) {
    case RikNodeType::kMethod:
      return CoverageText("Method");
    case RikNodeType::kConstructor:
      return CoverageText("Constructor");
    case RikNodeType::kDestructor:
      return CoverageText("Destructor");
    default:
      return CoverageText("Function");
  }
}

std::string SummaryPopup(const RikItem& item) {
  std::string text = "  @POPUP@" + CoverageText("click here for other branches") + "@-POPUP@";
  if (const auto* alternatives = std::get_if<std::vector<RikAlternative>>(&item.payload)) {
    for (const RikAlternative& alternative : *alternatives) {
      if (alternative.branch) text += BranchTag(*alternative.branch, false);
      text += alternative.text;
      if (alternative.branch) text += "@/BRANCH@";
    }
  }
  return text + "@/POPUP@, " + LineText(item.sourceLine) + "\n";
}

struct SummaryState {
  std::FILE* out;
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
      Write(out, OpeningTag(item, 0) + CoverageText("Class") + " " + (name ? name->text : "") + "\n");
      state.classOpen = true;
      state.functionOpen = false;
      return;
    }
    case RikKind::kFunction: {
      const RikFunction* function = FunctionOf(item);
      if (!function) return;
      Write(out, state.functionOpen ? "@/NODE@\n  " : "\n  ");
      Write(out, OpeningTag(item, 0) + NodeLabel(function->nodeType) + " " + function->name + " ()\n");
      state.functionOpen = true;
      return;
    }
    case RikKind::kBranch:
    case RikKind::kBranchStart:
      if (const auto* branch = std::get_if<RikBranch>(&item.payload)) {
        Write(out, "    " + BranchTag(*branch, false) + SumLabel(branch->sum) + "@/BRANCH@, " +
                       LineText(item.sourceLine) + "\n");
      }
      return;
    case RikKind::kPopup:
      Write(out, SummaryPopup(item));
      return;
    case RikKind::kUnreachable:
      Write(out, "  @BRANCH UNREACHABLE@ " + CoverageText("code unreachable") + ", " + LineText(item.sourceLine) +
                     "\n");
      return;
    default:
      return;
  }
}

class SourceListing {
 public:
  SourceListing(std::FILE* out, const SourceListingInput& input, const SourceAnalysis& analysis)
      : out_(out), input_(input), totalLines_(analysis.counts[metrics::kTotalLines]) {
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
  SummaryState state{out};
  for (const RikItem* item : registry) SummarizeItem(state, *item);
  Write(out, state.functionOpen ? "@/NODE@\n  " : "\n  ");
  Write(out, state.classOpen ? "@/NODE@\n" : "\n");
}

void WriteSourceListing(std::FILE* out, const SourceListingInput& input, const SourceAnalysis& analysis) {
  SourceListing listing(out, input, analysis);
  listing.Run();
}

}  // namespace output
