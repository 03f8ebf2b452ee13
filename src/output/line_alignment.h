// Lining up a source line with its preprocessed line, token by token.
//
// Equal tokens pair up one to one; a source identifier that the
// preprocessed line does not hold is a macro invocation, mapped to the
// preprocessed text up to the token that follows the invocation in the
// source. Comments are skipped on both sides. The segments tile both lines:
// each starts at its first token (the first at offset 0) and ends where the
// next one starts (the last at the end of the line, line feed excluded), so
// that every byte of either line belongs to exactly one segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace output {

enum class TokenKind : std::uint8_t {
  kIdentifier = 1,  // letters, digits after the first, "$", "_", bytes of 0x80 and more
  kNumber = 2,      // a digit, then identifier characters
  kLiteral = 3,     // string or character literal, to the matching quote
  kOpenParen = 4,
  kCloseParen = 5,
  kPunctuation = 6,  // any other single character
  kCommentOpen = 7,  // "/*"
  kCommentClose = 8,  // "*/"
  kLineComment = 9,   // "//"
};

struct LineToken {
  TokenKind kind;
  std::size_t start;
  std::size_t length;
};

/// The tokens of one line; spaces and control characters separate them.
std::vector<LineToken> TokenizeLine(std::string_view line);

enum class SegmentKind : std::uint8_t {
  kSameText = 0,
  kObjectMacro = 1,
  kFunctionMacro = 2,
  kWholeLine = 3,
};

/// Byte offsets from 0 in the source and the preprocessed line.
struct LineSegment {
  SegmentKind kind;
  std::size_t sourceStart;       // of the tile
  std::size_t sourceTokenStart;  // of the token or the invocation
  std::size_t sourceTextEnd;     // end of the token or of the invocation
  std::size_t sourceEnd;         // start of the next segment
  std::size_t preStart;
  std::size_t preTokenStart;  // of the token or the expansion
  std::size_t preEnd;
};

/// Segments of the two lines (line feeds excluded); false when they do not
/// align (then segments is empty). The search gives up, failing, after a
/// fixed amount of work, so that a pathological line stays cheap.
bool AlignLines(std::string_view source, std::string_view preprocessed, std::vector<LineSegment>& segments);

/// One segment of kind kWholeLine over both lines.
LineSegment WholeLineSegment(std::string_view source, std::string_view preprocessed);

}  // namespace output
