#include "instrument/instr_state.h"

#include "driver/options.h"
#include "support/name_table.h"

namespace instrument {
namespace {

InstrState state;

}  // namespace

InstrState& Instr() { return state; }

std::uint32_t KindMaskOf(const driver::Options& options) {
  std::uint32_t mask = 0;
  if (options.coverage != 0) mask |= kKindCoverage;
  if (options.trace) mask |= kKindTrace;
  if (options.memPro) mask |= kKindMemoryProfiling;
  if (options.perfPro) mask |= kKindPerformanceProfiling;
  return mask;
}

void ResetInstrState(const driver::Options& options, support::NameEntry* mainFile,
                     support::NameEntry* mainDirectory) {
  FreeModifications(state.modifications);
  state = InstrState{};
  state.options = &options;
  state.kindMask = KindMaskOf(options);
  state.forcedEvaluation = (options.coverage & driver::kCoverForcedEvaluation) != 0;
  state.mainName = options.mainService ? options.mainService : support::InternName("main");
  if (options.noInclude) {
    state.mainFile = mainFile;
    state.mainDirectory = mainDirectory;
  }
}

}  // namespace instrument
