// The excall file: names of functions whose calls call coverage ignores.
#pragma once

#include <string>

namespace driver {

/// Marks every name of the file with the excluded-call flag and reports how
/// many names it read; a file that cannot be opened is fatal.
void ReadExcallFile(const std::string& path);

}  // namespace driver
