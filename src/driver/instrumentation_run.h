// One instrumentation run (options, parse, instrumentation, release) that a
// process may start many times, and the set-up that the runs of a process
// share: the message catalogues and the tool identity.
#pragma once

#include <QTranslator>

#include <array>
#include <string>
#include <vector>

namespace driver {

/// Whether the tool's own handlers for invalid memory accesses and memory
/// exhaustion are installed; a host that watches for crashes itself (a
/// sanitizer, a fuzzer) keeps its own.
enum class CrashHandlers { kInstall, kLeaveToHost };

/// The catalogues of $NIVRAKDIR/lib/locale installed in the application
/// object (which must exist) and the tool identity, for as long as it lives.
/// NIVRAKDIR unset or empty, or without that directory, ends the run with
/// status 1 after an untranslated message.
class Translations {
 public:
  explicit Translations(CrashHandlers crashHandlers = CrashHandlers::kInstall);
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

 private:
  std::array<QTranslator, 4> translators_;
};

/// Instruments as `quorbcc1 <arguments...>` would (the arguments after the
/// program name) and returns the status: 0, or the status of the fatal
/// condition when an unwinding fatal-exit handler is installed (otherwise
/// such a condition ends the process). Needs a live Translations. Nothing a
/// run leaves behind changes the result of the next one.
int RunInstrumentation(const std::vector<std::string>& arguments);

}  // namespace driver
