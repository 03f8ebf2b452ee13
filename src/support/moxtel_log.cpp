#include "support/moxtel_log.h"

#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace support {

void OpenMoxtelLog(const std::string& path) {
  CloseMoxtelLog();
  std::FILE*& file = CurrentRunMessages().moxtelLog;
  file = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
  if (!file) {
    const char* reason = std::strerror(path.empty() ? ENOENT : errno);
    DisplayWarning(Translate("User Warning", "Cannot append to Moxtel Log File: %1 %2",
                             "%1: is the log file name\n%2 a system error message")
                       .arg(FromLocal(path), FromLocal(reason)));
  }
}

void WriteMoxtelLog(const char* kind, const std::string& path) {
  std::FILE* file = CurrentRunMessages().moxtelLog;
  if (!file) return;
  std::fprintf(file, "%s %s\n", kind, path.c_str());
  std::fflush(file);
}

void CloseMoxtelLog() {
  std::FILE*& file = CurrentRunMessages().moxtelLog;
  if (!file) return;
  std::fclose(file);
  file = nullptr;
}

}  // namespace support
