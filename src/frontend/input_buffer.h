// The lexer's read buffer over the open input file. Bytes from `keep` on are
// preserved across refills (the token being matched); everything before is
// discarded, so skipped text never accumulates and a refill moves only the
// current token. The buffer doubles when a single token fills it.
#pragma once

#include <cstddef>
#include <cstdio>

namespace frontend {

inline constexpr std::size_t kInputBufferSize = 16384;
inline constexpr int kEndOfInput = -1;

struct InputBuffer {
  std::FILE* file;
  char* data;
  std::size_t capacity;
  std::size_t keep;  // first byte to preserve
  std::size_t pos;   // next byte to read
  std::size_t end;   // one past the last byte read from the file
  bool atEof;
};

void OpenInputBuffer(InputBuffer& input, std::FILE* file);
void CloseInputBuffer(InputBuffer& input);

/// Reads more of the file so that offset bytes past pos are available when
/// the file has them; false when it has not.
bool RefillInputBuffer(InputBuffer& input, std::size_t offset);

/// The byte at pos + offset, or kEndOfInput.
inline int PeekByte(InputBuffer& input, std::size_t offset) {
  if (input.pos + offset >= input.end && !RefillInputBuffer(input, offset)) return kEndOfInput;
  return static_cast<unsigned char>(input.data[input.pos + offset]);
}

}  // namespace frontend
