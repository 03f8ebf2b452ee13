#include "frontend/input_buffer.h"

#include "support/messages.h"
#include "support/translate.h"

#include <cstdlib>
#include <cstring>

namespace frontend {

void OpenInputBuffer(InputBuffer& input, std::FILE* file) {
  input = {};
  input.file = file;
  input.capacity = kInputBufferSize;
  input.data = static_cast<char*>(support::CheckedAlloc(input.capacity));
}

void CloseInputBuffer(InputBuffer& input) {
  std::free(input.data);
  input = {};
}

bool RefillInputBuffer(InputBuffer& input, std::size_t offset) {
  while (input.pos + offset >= input.end) {
    if (input.atEof || !input.file) return false;
    if (input.keep > 0) {
      std::memmove(input.data, input.data + input.keep, input.end - input.keep);
      input.pos -= input.keep;
      input.end -= input.keep;
      input.keep = 0;
    }
    if (input.capacity - input.end < kInputBufferSize / 2) {
      input.capacity *= 2;
      input.data = static_cast<char*>(support::CheckedRealloc(input.data, input.capacity));
    }
    const std::size_t count = std::fread(input.data + input.end, 1, input.capacity - input.end, input.file);
    input.end += count;
    if (count > 0) continue;
    if (std::ferror(input.file)) {
      support::DisplayFatalError(support::Translate("Fatal Error", "input in flex scanner failed"));
    }
    input.atEof = true;
  }
  return true;
}

}  // namespace frontend
