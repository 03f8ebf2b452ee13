#include "support/fatal_exit.h"

#include <atomic>
#include <cstdlib>

namespace support {
namespace {

// Atomic because a signal handler reads it.
std::atomic<FatalExitHandler> installed{nullptr};

}  // namespace

void EndRun(int status) {
  if (FatalExitHandler handler = installed.load()) handler(status);
  std::exit(status);
}

FatalExitHandler SetFatalExitHandler(FatalExitHandler handler) { return installed.exchange(handler); }

void ThrowRunEnded(int status) { throw RunEnded{status}; }

}  // namespace support
