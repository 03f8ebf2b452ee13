// The compilers' own response files: an argument "@file" stands for the
// words of that file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wrapper {

/// Reads a whole file; none when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

/// The words of a response file as GCC's driver splits them: blanks separate
/// words, single and double quotes group, a backslash takes the next
/// character literally.
std::vector<std::string> SplitResponseText(const std::string& text);

/// `argv` with every "@file" that `read` can read replaced by its words,
/// files named inside files included (at most 64 levels deep, which also
/// ends a file that names itself). An unreadable "@file" stays as it is, as
/// the compilers keep it.
std::vector<std::string> ExpandResponseFiles(const std::vector<std::string>& argv, const FileReader& read);

/// The reader used outside tests: the file system.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace wrapper
