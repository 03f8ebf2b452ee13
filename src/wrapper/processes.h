// Child processes of the launcher and the signals that end it.
#pragma once

#include "wrapper/compile_plan.h"

#include <optional>
#include <string>

namespace wrapper {

/// Files that receive a child's standard output or error; empty: inherited.
struct Redirection {
  std::string output;
  std::string error;
};

/// Where `name` runs from: itself when it holds a slash, else the first
/// executable file of that name in a PATH directory; none when there is none.
std::optional<std::string> FindProgram(const std::string& name);

/// Runs `command` (found on PATH) and returns its exit status, 128 + the
/// signal that ended it, or 127 with a message when it cannot be started.
int RunCommand(const Command& command, const Redirection& redirection = {});

/// Replaces the launcher with `command`; returns 127 with a message only
/// when that fails.
int ExecCommand(const Command& command);

/// Interrupts (SIGINT, SIGTERM, SIGHUP) are noted and passed on to the
/// running child instead of ending the launcher at once, so that it can
/// remove its private files first.
void CatchInterrupts();
/// The interrupt noted so far, 0 when none.
int PendingInterrupt();
/// Ends the process by the noted interrupt, as it would have ended it.
[[noreturn]] void RaisePendingInterrupt();

/// Copies a captured file to standard error; a missing file copies nothing.
void CopyToStandardError(const std::string& path);

}  // namespace wrapper
