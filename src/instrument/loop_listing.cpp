#include "instrument/loop_listing.h"

#include "instrument/instr_state.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/rik_registry.h"
#include "support/translate.h"

#include <vector>

namespace instrument {

void RegisterLoopBranches(const Span& span, std::uint32_t first, bool isDo, std::uint32_t priority) {
  static constexpr const char* kEntries[] = {"  0 loop", "  1 loop", "  2 loops or more"};
  std::vector<output::RikAlternative> alternatives;
  alternatives.push_back(
      {support::ToLocal(support::Translate("Code Coverage", "loop branches:")) + "\n", std::nullopt, 1});
  std::uint32_t id = first;
  for (std::size_t entry = isDo ? 1 : 0; entry < std::size(kEntries); ++entry) {
    alternatives.push_back({kEntries[entry], output::MakeRikBranch(id++, output::kSumLoop), 1});
  }
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kPopup, std::move(alternatives),
                     static_cast<std::int32_t>(priority), PlaceOf(span));
}

}  // namespace instrument
