// The set-options file <root>/lib/cc1_ccp_set.opt: named texts that -SET
// names write into the prologue of the instrumented file.
#pragma once

#include <map>
#include <string>

namespace instrument {

/// Key (lower case) to text. A missing installation root or an unreadable
/// file ends the run with status 1.
std::map<std::string, std::string> ReadSetOptions();

/// Parses one line (with its newline) of the file into key and text; false
/// for a line that defines nothing.
bool ParseSetOptionLine(const std::string& line, std::string& key, std::string& text);

}  // namespace instrument
