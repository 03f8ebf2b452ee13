// Files the launcher keeps from one compile to the next (in its cache
// directory): read only when they are the user's own, replaced whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wrapper {

/// The text of `path` when it is a regular, non-empty file of the current
/// user (a file another user could have planted is not read).
std::optional<std::string> ReadOwnFile(const std::string& path);

/// Writes `text` to a new file beside `path` and renames it to `path`
/// (creating its directory), so that parallel compiles never read half a
/// file; false when that failed, and `path` is as it was.
bool ReplaceCacheFile(const std::string& path, const std::string& text);

/// A name beside `path` for a file that replaces it by a rename: no other
/// process uses it at once.
std::string TemporaryNameBeside(const std::string& path);

/// What identifies a program (found on PATH): its path, size and time of
/// change, for the names of what the cache keeps about it. None when it
/// cannot be found.
std::optional<std::vector<std::string>> ProgramIdentity(const std::string& name);

}  // namespace wrapper
