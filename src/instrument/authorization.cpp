#include "instrument/authorization.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/line_validity.h"
#include "frontend/syntax_tree.h"
#include "instrument/instr_state.h"
#include "output/fdc_file.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <string_view>

namespace instrument {
namespace {

// Bit of a file path's entry: the path was met by the instrumentation.
constexpr std::uint32_t kSeenFile = 0x00040000;

[[noreturn]] void FailAuthorization(const char* text) {
  support::DisplayInternalError(support::Translate("Internal Error", text), support::CodeLocation::Current());
}

}  // namespace

bool IsFileAuthorized(const support::NameEntry* file, const support::NameEntry* directory) {
  if (!file) FailAuthorization("Attempt to test authorization for file with no name");
  if (!directory) FailAuthorization("Attempt to test authorization for file with no path");
  const InstrState& state = Instr();
  const RunOptions& options = *state.options;
  if (options.noInclude) return file == state.mainFile && directory == state.mainDirectory;
  if (options.fileList.nodes.empty() && options.exFileList.nodes.empty()) return true;
  support::NameEntry* path = support::InternName(support::JoinPath(directory->text, file->text));
  path->flags |= kSeenFile;
  if (path->flags & support::kSelectedFile) return true;
  if (path->flags & support::kExcludedFile) return false;
  return options.fileList.nodes.empty();
}

// An excluded directory covers itself and everything below it.
bool IsExcludedDirectory(const support::NameEntry* directory) {
  if (!directory) return false;
  if (directory->flags & support::kExcludedUnitOrDirectory) return true;
  const std::string_view text = directory->text;
  for (const support::NameListNode& node : Instr().options->noInstrDirList.nodes) {
    const std::string& excluded = node.entry->text;
    if (text.compare(0, excluded.size(), excluded) != 0) continue;
    if (text.size() == excluded.size() || text[excluded.size()] == '/' || excluded.back() == '/') return true;
  }
  return false;
}

bool IsCoverageLocation(const frontend::TokenPosition& location) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  if (options.coverage == 0) return false;
  if (!IsFileAuthorized(location.File(), location.Directory()) || IsExcludedDirectory(location.Directory())) {
    return false;
  }
  output::FdcFile& fdc = Instr().fdc->Select(location.File(), location.Directory(), options.coverage, options.comment);
  if (fdc.checksum == output::kOutputChecksumSeed) {
    fdc.checksum ^= frontend::ValidLineSum(state.frontEnd->validLines, location.File(), location.Directory());
  }
  fdc.lastFunction = state.walk->functionName;
  if (!options.source) fdc.noListing = true;
  state.walk->currentFdc = &fdc;
  return true;
}

}  // namespace instrument
