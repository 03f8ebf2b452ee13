// The lines of a C source file that hold a control statement's keyword.
//
// gcov does not always report the conditional jumps of a line (the header of
// a loop in a scope that has a variable with a cleanup shows none), so a line
// that holds `if`, `for`, `while`, `do` or `switch` cannot be taken for
// straight code whatever gcov says.
#pragma once

#include <string>
#include <vector>

namespace gcovcheck {

/// Indexed by line number (from 1); empty when the file cannot be read, so
/// that every line counts as holding one.
std::vector<bool> ReadControlLines(const std::string& path);

}  // namespace gcovcheck
