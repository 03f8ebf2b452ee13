#include "control_lines.h"

#include <array>
#include <cctype>
#include <fstream>
#include <string_view>

namespace gcovcheck {
namespace {

bool IsControlKeyword(std::string_view word) {
  static constexpr std::array<std::string_view, 5> kKeywords{"if", "for", "while", "do", "switch"};
  for (const std::string_view keyword : kKeywords) {
    if (word == keyword) return true;
  }
  return false;
}

bool IsWordByte(char byte) { return std::isalnum(static_cast<unsigned char>(byte)) || byte == '_'; }

// Scans one line; `inComment` carries a block comment over line ends.
bool HoldsControlKeyword(std::string_view line, bool& inComment) {
  bool found = false;
  std::size_t at = 0;
  while (at < line.size()) {
    if (inComment) {
      const std::size_t end = line.find("*/", at);
      if (end == std::string_view::npos) return found;
      inComment = false;
      at = end + 2;
      continue;
    }
    const char byte = line[at];
    if (line.substr(at, 2) == "//") return found;
    if (line.substr(at, 2) == "/*") {
      inComment = true;
      at += 2;
      continue;
    }
    if (byte == '"' || byte == '\'') {
      // A literal ends at its unescaped quote, or with the line.
      for (++at; at < line.size() && line[at] != byte; ++at) {
        if (line[at] == '\\') ++at;
      }
      ++at;
      continue;
    }
    if (!IsWordByte(byte)) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < line.size() && IsWordByte(line[at])) ++at;
    found = found || IsControlKeyword(line.substr(start, at - start));
  }
  return found;
}

}  // namespace

std::vector<bool> ReadControlLines(const std::string& path) {
  std::ifstream in(path);
  if (!in) return {};
  std::vector<bool> lines{false};  // no line 0
  bool inComment = false;
  for (std::string line; std::getline(in, line);) lines.push_back(HoldsControlKeyword(line, inComment));
  return lines;
}

}  // namespace gcovcheck
