// Changed lines from a unified diff, as `git diff` writes it: per file of
// the new side (the "+++" path without its "b/" prefix), the lines the hunks
// add or change. Deleted files, and renamed or mode-changed files without a
// hunk, have none.
#pragma once

#include "report/report_model.h"

#include <string>
#include <string_view>

namespace report {

/// False with `error` ("line N: ...") on a malformed hunk header or a hunk
/// that ends early.
bool ParseUnifiedDiff(std::string_view diff, ChangedLineMap& changed, std::string& error);

/// The command --diff-from runs in `directory`, as shown in messages.
std::string GitDiffCommand(const std::string& ref);

/// Runs `git diff` against `ref` in `directory`; false with `error` naming
/// the command when git cannot be run or fails.
bool RunGitDiff(const std::string& directory, const std::string& ref, std::string& diff, std::string& error);

}  // namespace report
