// The expression and type printer: a tree fragment as a short single-line C
// text for branch and function labels. The text is not meant to compile:
// bodies and initializers print as "{...}", casts as "(type-cast)", and a
// text longer than the capacity ends in " ...".
#pragma once

#include <cstdint>

namespace frontend {

struct TreeNode;

/// State of one PrintNode call.
struct PrinterState {
  char* buffer;
  std::int16_t capacity;  // maximum number of characters
  std::int16_t length;
  bool header;  // the fragment's root is a FUNCTION_HEADER
};

/// Prints the node into the buffer, which must hold capacity + 1 bytes, and
/// returns the buffer. A none node leaves it empty.
char* PrintNode(const TreeNode* node, char* buffer, std::int16_t capacity);

/// Appends the text when it fits; otherwise ends the buffer with " ..." and
/// returns true (truncated).
bool AppendText(PrinterState& state, const char* text);

}  // namespace frontend
