// Temporary FDC file names and the exit handler that removes partial output.
#include "output/fdc_temp_files.h"

#include "output/fdc_file.h"
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

std::string FindTemporaryFdcPath(const std::string& fdcPath) {
  std::string candidate = fdcPath + std::string(kFirstSuffix);
  while (support::FileExists(candidate)) {
    if (NextTemporaryName(candidate)) continue;
    support::DisplayFatalError(
        support::Translate("Assertion", "Please remove all temporary files remaining for %1", "%1 is the fdc file name")
            .arg(support::FromLocal(fdcPath)));
  }
  return candidate;
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
