// Diagnostics and the process-wide failure services.
//
// Every message is framed as "<product> <executable> - <KIND>: <text>" and
// written to standard error in the local encoding. Errors and warnings are
// counted; fatal messages and panics end the run with status 7, internal
// errors with status 9, through EndRun (support/fatal_exit.h). The caller
// passes the message already translated and filled.
#pragma once

#include "support/thread_binding.h"

#include <QString>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <optional>
#include <string>

namespace support {

/// Where in this program an internal error was detected. The compilers'
/// location built-ins serve as default arguments, as std::source_location
/// would, on every compiler the project builds with.
struct CodeLocation {
  const char* file;
  unsigned line;
  static CodeLocation Current(const char* file = __builtin_FILE(), unsigned line = __builtin_LINE()) {
    return {file, line};
  }
};

inline constexpr int kExitFatal = 7;
inline constexpr int kExitInternal = 9;

/// What a run has said: its errors and warnings, whether it shows warnings
/// and infos at all (-NOWARNINGS), and its Moxtel log (support/moxtel_log.h).
/// One run of several in a process never sees the counts, the quiet mode or
/// the log of another.
struct RunMessages {
  RunMessages() = default;
  RunMessages(const RunMessages&) = delete;
  RunMessages& operator=(const RunMessages&) = delete;
  ~RunMessages();

  std::uint32_t errorCount = 0;
  std::uint32_t warningCount = 0;
  bool quiet = false;
  std::FILE* moxtelLog = nullptr;  // open for appending, or none
};

/// Binds a run's messages to this thread for the scope; messages given
/// outside any run (start-up, the tools without runs) count in the
/// process's own.
using RunMessagesScope = ThreadBinding<RunMessages>;

/// The messages bound to this thread, or the process's own.
RunMessages& CurrentRunMessages();

/// Stores the identity shown in every message; the first call also installs
/// the handlers for invalid memory accesses and memory exhaustion.
void SetToolIdentity(const QString& product, const QString& executable);
/// The identity alone, for an embedding whose host watches for crashes
/// itself (a sanitizer, a fuzzer): its handlers must stay in place.
void SetToolNames(const QString& product, const QString& executable);
const QString& GetProductName();

void DisplayError(const QString& message);
void DisplayWarning(const QString& message);
void DisplayInfo(const QString& message);
[[noreturn]] void DisplayFatalError(const QString& message);
/// Ends with status 9; the location line is "[file:line]".
[[noreturn]] void DisplayInternalError(const QString& message, const support::CodeLocation& where);
/// Ends with status 9, followed by an empty line instead of a location.
[[noreturn]] void DisplayInternalError(const QString& message);
[[noreturn]] void DisplayPanic();

struct MessageCounts {
  std::uint32_t errors;
  std::uint32_t warnings;
};
MessageCounts GetMessageCounts();
void SetQuietMode();

/// The variable's value, or none. A mandatory variable that is undefined is
/// fatal "Environment variable not defined: %1".
std::optional<std::string> GetEnvironment(const char* name, bool mandatory);

/// Zero-filled block; fatal "No memory left" when none can be had.
void* CheckedAlloc(std::size_t size);
/// Resized block, growth not zeroed; with no block it behaves as CheckedAlloc.
void* CheckedRealloc(void* block, std::size_t size);

}  // namespace support
