// Files the launcher keeps from one compile to the next (in its cache
// directory): read only when they are the user's own, replaced whole.
#pragma once

#include <optional>
#include <string>

namespace wrapper {

/// The text of `path` when it is a regular, non-empty file of the current
/// user (a file another user could have planted is not read).
std::optional<std::string> ReadOwnFile(const std::string& path);

/// Writes `text` to a file in `privateDirectory` and renames it to `path`
/// (creating its directory), so that parallel compiles never read half a
/// file; false when that failed, and `path` is as it was.
bool ReplaceCacheFile(const std::string& path, const std::string& text, const std::string& privateDirectory);

}  // namespace wrapper
