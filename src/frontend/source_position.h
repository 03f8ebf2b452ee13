// The anchor of every text insertion: a character of the preprocessed input.
#pragma once

#include <cstdint>

namespace frontend {

/// Line and column of one character of the preprocessed input, both from 1;
/// every byte, a tab included, counts one column.
struct SourcePosition {
  std::uint32_t line;
  std::uint32_t column;
};

inline bool operator==(const SourcePosition& a, const SourcePosition& b) {
  return a.line == b.line && a.column == b.column;
}

}  // namespace frontend
