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

bool AnySelected(const driver::Options& options) {
  return options.coverage != 0 || options.trace || options.memPro || options.perfPro;
}

bool ProducesListing(const driver::Options& options) { return options.coverage != 0 && options.cvi; }

bool DumpsCoverage(const driver::Options& options) {
  return options.coverage != 0 || options.memPro || options.perfPro;
}

bool IsExcludedSourceFile(const support::NameEntry* name, const support::NameEntry* directory) {
  if (!name || !directory) return false;
  return (support::InternName(directory->text + name->text)->flags & support::kExcludedFile) != 0;
}

void AddText(const frontend::SourcePosition& at, std::uint32_t priority, Where where, std::string text) {
  AddModification(state.modifications, &at, priority, where, std::move(text));
}

void ResetInstrState(const driver::Options& options, frontend::FrontEnd& frontEnd, output::FdcWriter& fdc,
                     output::TsfWriter& tsf, support::NameEntry* mainFile, support::NameEntry* mainDirectory) {
  FreeModifications(state.modifications);
  state = InstrState{};
  state.options = &options;
  state.frontEnd = &frontEnd;
  state.fdc = &fdc;
  state.tsf = &tsf;
  state.kindMask = KindMaskOf(options);
  state.forcedEvaluation = (options.coverage & driver::kCoverForcedEvaluation) != 0;
  state.mainName = options.mainService ? options.mainService : support::InternName("main");
  if (options.noInclude) {
    state.mainFile = mainFile;
    state.mainDirectory = mainDirectory;
  }
}

}  // namespace instrument
