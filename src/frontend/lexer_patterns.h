// The token patterns that are plain byte matches: identifiers, numbers and
// punctuators. Each looks at the bytes from the buffer's read position and
// reports the length of the longest match (0 when the pattern does not apply)
// without consuming anything.
#pragma once

#include "frontend/input_buffer.h"
#include "frontend/node_kind.h"

#include <cstddef>
#include <string_view>

namespace frontend {

struct PatternMatch {
  std::size_t length;
  NodeKind kind;
};

/// A letter, "_", "$" or universal character name, then also digits.
std::size_t IdentifierLength(InputBuffer& input);
/// Floating, hexadecimal, binary, octal and decimal constants with suffixes.
PatternMatch MatchNumber(InputBuffer& input);
/// Operators, punctuators and digraphs.
PatternMatch MatchPunctuator(InputBuffer& input);
/// The code of a reserved word, or 0.
int FindReservedWord(std::string_view spelling);

}  // namespace frontend
