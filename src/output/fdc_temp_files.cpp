// Temporary FDC file names and the exit handler that removes partial output.
#include "output/fdc_temp_files.h"

#include "output/fdc_file.h"
#include "output/output_stage.h"
#include "output/temporary_names.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <cstdio>
#include <cstdlib>

namespace output {
namespace {

// The last three characters of ".fdd" count from "d" to "z"; a carry out of
// the third one ends the sequence.
constexpr CountingCharacter kFdcCounting[] = {{'d', 'z', 1}, {'d', 'z', 1}, {'d', 'z', 1}};
constexpr TemporaryNaming kFdcNaming{".fdd", kFdcCounting};

}  // namespace

bool NextTemporaryName(std::string& candidate) { return NextTemporaryName(candidate, kFdcNaming); }

support::UniqueFile ClaimTemporaryFdcFile(const std::string& fdcPath, std::string& temporaryPath) {
  ClaimedFile claimed = ClaimTemporaryFor(fdcPath, kFdcNaming, temporaryPath);
  if (claimed.status == ClaimStatus::kExhausted) {
    support::DisplayFatalError(
        support::Translate("Assertion", "Please remove all temporary files remaining for %1", "%1 is the fdc file name")
            .arg(support::FromLocal(fdcPath)));
  }
  if (claimed.status == ClaimStatus::kFailed) {
    support::DisplayFatalError(support::Translate("Assertion", "Cannot create FDC file %1: %2",
                                                  "%1 is the file name, %2 a system-dependent error message")
                                   .arg(support::FromLocal(fdcPath), support::FromLocal(support::SystemErrorText())));
  }
  return std::move(claimed.stream);
}

void RegisterFdcExitHandler() {
  FdcState& state = Fdc();
  if (state.exitHandlerRegistered) return;
  std::atexit(RemoveFdcFilesAtExit);
  state.exitHandlerRegistered = true;
}

void RemoveFdcFilesAtExit() {
  RemoveUnfinishedOutputs(Fdc().files);
  FreeFdcFiles();
}

}  // namespace output
