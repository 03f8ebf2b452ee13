// What ending a run on a fatal condition means.
//
// A fatal condition is found deep inside the front end, the instrumentation,
// the output writers, a signal handler or the allocator's new-handler, none
// of which holds a reference to the run it belongs to; and only one run is
// under way at a time. So the way out is one process-wide hook, chosen by
// whoever embeds the runs, not a field of a run: the tool itself ends the
// process (std::exit, so the exit handlers remove unfinished outputs), while
// a test or a fuzzer that runs many inputs in one process unwinds back to
// its caller instead.
#pragma once

namespace support {

/// Thrown by the unwinding handler; caught by whoever started the run.
struct RunEnded {
  int status;
};

/// Ends the run with `status`; must not return.
using FatalExitHandler = void (*)(int status);

/// Ends the current run through the installed handler (std::exit by default).
[[noreturn]] void EndRun(int status);

/// Installs a handler; none puts std::exit back. Returns the previous one.
FatalExitHandler SetFatalExitHandler(FatalExitHandler handler);

/// The handler of embeddings: throws RunEnded{status}.
[[noreturn]] void ThrowRunEnded(int status);

/// Unwinding instead of exiting for as long as it lives.
class UnwindingFatalExits {
 public:
  UnwindingFatalExits() : previous_(SetFatalExitHandler(ThrowRunEnded)) {}
  ~UnwindingFatalExits() { SetFatalExitHandler(previous_); }
  UnwindingFatalExits(const UnwindingFatalExits&) = delete;
  UnwindingFatalExits& operator=(const UnwindingFatalExits&) = delete;

 private:
  FatalExitHandler previous_;
};

}  // namespace support
