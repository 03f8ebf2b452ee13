#include "instrument/condition_listing.h"

#include "instrument/composition.h"
#include "instrument/condition_instrumentation.h"
#include "instrument/instr_state.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/rik_registry.h"
#include "support/translate.h"

#include <vector>

namespace instrument {
namespace {

std::string CoverageText(const char* text) { return support::ToLocal(support::Translate("Code Coverage", text)); }

void AddPopup(const Span& span, std::vector<output::RikAlternative> alternatives, std::uint32_t priority) {
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kPopup, std::move(alternatives),
                     static_cast<std::int32_t>(priority), PlaceOf(span));
}

output::RikAlternative Text(std::string text) { return output::RikAlternative{std::move(text), std::nullopt, 1}; }

output::RikAlternative Branch(std::string text, std::uint32_t id, std::int8_t sum, std::uint8_t flag = 1) {
  return output::RikAlternative{std::move(text), output::MakeRikBranch(id, sum), flag};
}

}  // namespace

void RegisterBasicCondition(const Span& span, std::uint32_t branch, std::uint32_t priority) {
  std::vector<output::RikAlternative> alternatives;
  alternatives.push_back(Text("basic boolean conditions:\n  "));
  alternatives.push_back(Branch("True", branch, output::kSumBasicCondition));
  alternatives.push_back(Text(" "));
  alternatives.push_back(Branch("False", branch + 1, output::kSumBasicCondition));
  AddPopup(span, std::move(alternatives), priority);
}

void RegisterModifiedDecision(const DecisionContext& decision, const Composition& composition, std::uint32_t first,
                              std::uint32_t priority) {
  const CaseTable& table = composition.table;
  std::vector<output::RikAlternative> alternatives;
  alternatives.push_back(Text(CoverageText("modified and multiple conditions:")));
  std::vector<bool> shown(table.rows, false);
  std::uint64_t comparisons = 0;
  const auto rowAlternative = [&](std::uint32_t row) {
    output::RikAlternative alternative =
        Branch(std::string(table.Row(row)), first + row, output::kSumMultipleCondition, shown[row] ? 0 : 1);
    shown[row] = true;
    return alternative;
  };
  for (std::uint32_t k = 0; k < table.width; ++k) {
    alternatives.push_back(Text("\n  "));
    alternatives.push_back(Branch(PrintedText(decision.conditions[k].node, 64), 0, output::kSumModifiedCondition));
    const std::size_t conditionIndex = alternatives.size() - 1;
    bool firstPair = true;
    for (std::uint32_t i = 0; i < composition.trueRows; ++i) {
      for (std::uint32_t j = composition.trueRows; j < table.rows; ++j) {
        if (++comparisons > kMaxPairComparisons) break;
        if (!output::ShowsIndependence(table.Row(i), table.Row(j), k)) continue;
        alternatives.push_back(Text(CoverageText(firstPair ? " needs\n      " : "\n   or ")));
        firstPair = false;
        alternatives.push_back(rowAlternative(i));
        alternatives.push_back(Text("=T,"));
        alternatives.push_back(rowAlternative(j));
        alternatives.push_back(Text("=F"));
        output::AddBranchCouple(&*alternatives[conditionIndex].branch, first + i, first + j);
      }
    }
  }
  bool otherTitle = false;
  for (std::uint32_t row = 0; row < table.rows; ++row) {
    if (shown[row]) continue;
    if (!otherTitle) alternatives.push_back(Text(CoverageText("\nother multiple conditions:")));
    otherTitle = true;
    alternatives.push_back(Text("\n      "));
    alternatives.push_back(rowAlternative(row));
    alternatives.push_back(Text(row < composition.trueRows ? "=T" : "=F"));
  }
  AddPopup(ConstructExtent(decision.root), std::move(alternatives), priority);
}

void RegisterForcedDecision(const DecisionContext& decision, const std::string& prefix, std::uint32_t slot,
                            std::uint32_t priority) {
  output::RikBitCond popup;
  popup.texts = {CoverageText("forced modified and multiple conditions:"), "\n  ", CoverageText(" needs\n      "),
                 CoverageText("\n   or "), CoverageText("\nother multiple conditions:"), "\n"};
  popup.text = prefix;
  popup.number = slot;
  for (const BasicCondition& condition : decision.conditions) popup.operands.push_back(PrintedText(condition.node, 128));
  const Span& span = ConstructExtent(decision.root);
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kBitCond,
                     std::make_unique<output::RikBitCond>(std::move(popup)),
                     static_cast<std::int32_t>(priority), PlaceOf(span));
}

}  // namespace instrument
