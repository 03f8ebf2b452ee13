#include "instrument/instrument_file.h"

#include "output/identification.h"
#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "instrument/function_instrumentation.h"
#include "instrument/instr_state.h"
#include "instrument/instrumented_output.h"
#include "instrument/kept_file.h"
#include "instrument/prologue.h"
#include "instrument/walk_support.h"
#include "instrument/writer_settings.h"
#include "output/fdc_file.h"
#include "output/fdc_merge.h"
#include "output/tsf_file.h"
#include "output/tsf_merge.h"
#include "output/rik_section.h"
#include "support/file_utils.h"
#include "support/large_stack.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <optional>

#include <unistd.h>

namespace instrument {
namespace {

// Memory profiling lists the file's variables when something will read them.
bool NeedsParseGlobals(const RunOptions& options) {
  const InstrState& state = Instr();
  if (!options.memPro || options.noInspectAll) return false;
  if (state.tsf->Files().empty() && !state.startOfMainSeen) return false;
  return !state.frontEnd->symbols.fileVariables.nodes.empty() || state.deepGlobalCount != 0;
}

ParseGlobalsTrailer MakeParseGlobalsTrailer(const RunOptions& options) {
  const InstrState& state = Instr();
  ParseGlobalsTrailer trailer{!options.noDLine, state.frontEnd->pragmas.inlineAssembler, state.lineCounter + 1,
                              options.instrPath, {}, state.deepGlobalCount};
  for (const support::NameListNode& node : state.frontEnd->symbols.fileVariables.nodes) {
    if (!(node.entry->flags & support::kNoInspectVariable)) trailer.variables.push_back(node.entry);
  }
  return trailer;
}

// The instrumented text, in a temporary file that is put in place once the
// listings are written too.
void WriteInstrumentedFile(const RunOptions& options, const frontend::TreeNode* root, std::FILE* output) {
  InstrState& state = Instr();
  frontend::KeepDefinedFileVariables(state.frontEnd->symbols);
  state.lineCounter = 1;
  if (options.info) state.lineCounter += output::WritePlainIdentification(output, "/*", "*/");
  if (AnySelected(options)) {
    // The trailers complete the checksums first, so that the prologue
    // declares the same checksum as the FDC file holds.
    state.fdc->WriteTrailers();
    state.tsf->WriteTrailers();
    WritePrologue(output, root->end);
  }
  state.lineCounter += ApplyModifications(options.srcPath, output, state.modifications);
  FreeModifications(state.modifications);
  if (NeedsParseGlobals(options)) WriteParseGlobalsTrailer(output, MakeParseGlobalsTrailer(options));
}

void CompleteFdcFiles(const RunOptions& options, const frontend::TreeNode* root) {
  const bool allRemoved = Instr().fdc->CloseEmpty();
  const support::NameEntry* name = root->end.File();
  if (allRemoved && options.coverage != 0 && !IsExcludedSourceFile(name, root->end.Directory())) {
    output::ShowNoFdcGenerated(name ? name->text : std::string());
  }
}

void CompleteTsfFiles(const RunOptions& options, const frontend::TreeNode* root) {
  const bool allRemoved = Instr().tsf->CloseEmpty();
  const support::NameEntry* name = root->end.File();
  if (allRemoved && (options.trace || options.memPro || options.perfPro) &&
      !IsExcludedSourceFile(name, root->end.Directory())) {
    output::ShowNoTsfGenerated(name ? name->text : std::string());
  }
}

// The annotated listing closes each block. A source file that cannot be read
// any more (preprocessed elsewhere, or removed since) gets the listing
// without source rather than ending the run.
void WriteRikSections(const RunOptions& options) {
  if (!ProducesListing(options)) return;
  std::optional<std::string_view> comment;
  if (options.comment) comment = options.comment->text;
  for (output::FdcFile& file : Instr().fdc->Files()) {
    if (file.stage != output::FdcStage::kWriting) continue;
    const std::string source = support::JoinPath(file.sourceDirectory->text, file.sourceName->text);
    if (access(source.c_str(), R_OK) != 0) file.noListing = true;
    output::WriteRikSection(file, {options.srcPath.c_str(), &Instr().frontEnd->validLines, options.coverage,
                                   options.metrics, comment});
  }
}


}  // namespace

void InstrumentFile(frontend::FrontEnd& frontEnd, frontend::TreeNode* root, const RunOptions& options) {
  output::FdcWriter fdc(FdcSettingsOf(options));
  output::TsfWriter tsf(TsfSettingsOf(options));
  InstrState state(options, frontEnd, fdc, tsf, root->end.File(), root->end.Directory());
  const InstrScope binding(state);
  // The walk and the listing recurse once per nesting level of the source.
  FindPragmaLines(options.srcPath);
  std::optional<InstrumentedFile> output;
  const frontend::TokenPosition mainFile = root->end;
  support::RunOnLargeStack([&frontEnd, root, &options, &output] {
    InstrFunctionStart(root);
    output.emplace(options.instrPath);
    WriteInstrumentedFile(options, root, output->Stream());
    CompleteFdcFiles(options, root);
    CompleteTsfFiles(options, root);
    // The tree is the largest structure of a run; the listings' buffers
    // need not be held beside it.
    frontEnd.ReleaseTrees();
    WriteRikSections(options);
  });
  // After the listings, so that a source that no longer matches its
  // preprocessed text leaves the previous instrumented file as it was, like
  // the previous FDC file.
  output->Commit();
  output::FinishFdcFiles(fdc);
  output::FinishTsfFiles(tsf);
  if (options.keep) WriteKeptFile(options.instrPath, mainFile.File(), mainFile.Directory());
}

}  // namespace instrument
