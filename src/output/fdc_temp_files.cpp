// Temporary FDC file names and the exit handler that removes partial output.
#include "output/fdc_temp_files.h"

#include "output/fdc_file.h"
#include "output/output_update.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <cstdio>
#include <cstdlib>

namespace output {
namespace {

constexpr std::string_view kFirstSuffix = ".fdd";
constexpr std::size_t kCountingCharacters = 3;  // "fdd" in ".fdd"

}  // namespace

// Counts in the last three characters like an odometer whose digits run from
// "d" to "z"; a carry out of the third character ends the sequence.
bool NextTemporaryName(std::string& candidate) {
  const std::size_t end = candidate.size();
  for (std::size_t i = 1; i <= kCountingCharacters; ++i) {
    char& c = candidate[end - i];
    if (c < 'z') {
      ++c;
      return true;
    }
    c = 'd';
  }
  return false;
}

support::UniqueFile ClaimTemporaryFdcFile(const std::string& fdcPath, std::string& temporaryPath) {
  temporaryPath = fdcPath + std::string(kFirstSuffix);
  ClaimedFile claimed = ClaimTemporaryFile(temporaryPath, NextTemporaryName);
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

// Plain remove() on purpose: a failure here cannot be reported through a
// fatal message, which would exit a second time.
void RemoveFdcFilesAtExit() {
  FdcState& state = Fdc();
  for (FdcFile& file : state.files) {
    file.stream.reset();
    if (file.stage != FdcStage::kWriting) continue;
    std::remove(FdcWritePath(file).c_str());
  }
  FreeFdcFiles();
}

}  // namespace output
