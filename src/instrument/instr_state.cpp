#include "instrument/instr_state.h"

#include "instrument/run_options.h"
#include "frontend/insert_records.h"
#include "support/name_table.h"

namespace instrument {

InstrState::InstrState(const RunOptions& options, frontend::FrontEnd& frontEnd, output::FdcWriter& fdc,
                       output::TsfWriter& tsf, support::NameEntry* mainFile, support::NameEntry* mainDirectory)
    : options(&options),
      frontEnd(&frontEnd),
      fdc(&fdc),
      tsf(&tsf),
      kindMask(KindMaskOf(options)),
      forcedEvaluation((options.coverage & kCoverForcedEvaluation) != 0),
      mainName(options.mainService ? options.mainService : support::InternName("main")),
      mainFile(options.noInclude ? mainFile : nullptr),
      mainDirectory(options.noInclude ? mainDirectory : nullptr) {}

std::uint32_t KindMaskOf(const RunOptions& options) {
  std::uint32_t mask = 0;
  if (options.coverage != 0) mask |= frontend::kInsertCoverage;
  if (options.trace) mask |= frontend::kInsertTrace;
  if (options.memPro) mask |= frontend::kInsertMemoryProfiling;
  if (options.perfPro) mask |= frontend::kInsertPerformanceProfiling;
  return mask;
}

bool AnySelected(const RunOptions& options) {
  return options.coverage != 0 || options.trace || options.memPro || options.perfPro;
}

bool ProducesListing(const RunOptions& options) { return options.coverage != 0 && options.cvi; }

bool DumpsCoverage(const RunOptions& options) {
  return options.coverage != 0 || options.memPro || options.perfPro;
}

bool IsExcludedSourceFile(const support::NameEntry* name, const support::NameEntry* directory) {
  if (!name || !directory) return false;
  return (support::InternName(directory->text + name->text)->flags & support::kExcludedFile) != 0;
}

void AddText(const frontend::SourcePosition& at, std::uint32_t priority, Where where, std::string text) {
  AddModification(Instr().modifications, &at, priority, where, std::move(text));
}


}  // namespace instrument
