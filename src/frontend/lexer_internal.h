// Helpers shared by the lexer's source files; not for the parser.
#pragma once

#include <cstdint>
#include <string_view>

namespace support {
struct NameEntry;
}

namespace frontend {
struct TokenValue;
struct TokenPosition;
}

namespace frontend::detail {

/// Result of a scanning step that yields no token: scanning goes on.
inline constexpr std::int64_t kKeepScanning = -1;

/// Handlers that call NextToken nest at most this deep; deeper, the word
/// that would start another one is dropped, so that a long run of such words
/// cannot exhaust the stack.
inline constexpr int kMaxHandlerDepth = 64;

/// The token's action: column += previous length, previous length = length,
/// FillPosition.
void BeginToken(std::uint32_t length);
void FillPosition();
void CountNewline();
/// Adds lines to the logical line counter without passing its maximum.
void AddLogicalLines(std::uint32_t count);

/// The column of the byte read last by ReadChar.
std::uint32_t LastReadColumn();
/// Marks the current token as ending at that physical line and column.
void SetContinuation(std::uint32_t endLine, std::uint32_t endColumn);

/// Identifier processing after the reserved words; a code or kKeepScanning.
std::int64_t ProcessWord(std::string_view spelling);
/// A byte that no pattern takes; a code or kKeepScanning.
std::int64_t ProcessByte(std::string_view byte);

std::int64_t HandleInlineAssembler(support::NameEntry* word);
std::int64_t HandleExtensionKeyword(support::NameEntry* word);

/// After a group was dropped from that start on: DROPPED_GROUP at the start
/// of the first group dropped since the last token, when the next byte past
/// blanks is a ";" and the last token was one that a statement, or the ";"
/// of a declaration, can follow (";", "{", "}", ":", ")", else, do);
/// otherwise kKeepScanning.
std::int64_t EndDroppedGroup(const TokenPosition& start);

/// Puts a token back (with the current value, or the given one); the next
/// NextToken returns the token put back last. At most kMaxPushback wait.
inline constexpr int kMaxPushback = 2;
void PushBackToken(int code);
void PushBackToken(int code, const TokenValue& value);

/// A User Warning "text" whose %1 is the reference of that logical line.
void WarnAtLine(const char* text, std::uint32_t logicalLine);

}  // namespace frontend::detail
