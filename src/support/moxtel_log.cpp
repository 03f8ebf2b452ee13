#include "support/moxtel_log.h"

#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace support {
namespace {

struct MoxtelLogState {
  std::FILE* file = nullptr;
  bool closeAtExitRegistered = false;
};

MoxtelLogState logState;

}  // namespace

void OpenMoxtelLog(const std::string& path) {
  CloseMoxtelLog();
  logState.file = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
  if (!logState.file) {
    const char* reason = std::strerror(path.empty() ? ENOENT : errno);
    DisplayWarning(Translate("User Warning", "Cannot append to Moxtel Log File: %1 %2",
                             "%1: is the log file name\n%2 a system error message")
                       .arg(FromLocal(path), FromLocal(reason)));
    return;
  }
  if (!logState.closeAtExitRegistered) {
    std::atexit(CloseMoxtelLog);
    logState.closeAtExitRegistered = true;
  }
}

void WriteMoxtelLog(const char* kind, const std::string& path) {
  if (!logState.file) return;
  std::fprintf(logState.file, "%s %s\n", kind, path.c_str());
  std::fflush(logState.file);
}

void CloseMoxtelLog() {
  if (!logState.file) return;
  std::fclose(logState.file);
  logState.file = nullptr;
}

}  // namespace support
