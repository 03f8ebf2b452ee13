#include "instrument/instr_state.h"

#include "driver/options.h"
#include "frontend/insert_records.h"
#include "support/name_table.h"

namespace instrument {
namespace {

InstrState state;

}  // namespace

InstrState& Instr() { return state; }

std::uint32_t KindMaskOf(const driver::Options& options) {
  std::uint32_t mask = 0;
  if (options.coverage != 0) mask |= frontend::kInsertCoverage;
  if (options.trace) mask |= frontend::kInsertTrace;
  if (options.memPro) mask |= frontend::kInsertMemoryProfiling;
  if (options.perfPro) mask |= frontend::kInsertPerformanceProfiling;
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
