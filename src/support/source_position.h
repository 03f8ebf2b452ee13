// A character of the preprocessed source: line and column, both from 1; every
// byte, a tab included, counts one column. All text insertions are anchored
// on such positions.
#pragma once

#include <cstdint>

namespace support {

struct SourcePosition {
  std::uint32_t line = 0;
  std::uint32_t column = 0;
};

}  // namespace support
