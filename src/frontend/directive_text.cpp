#include "frontend/directive_text.h"

namespace frontend {
namespace {

char At(const DirectiveCursor& cursor, std::size_t offset) {
  const std::size_t at = cursor.at + offset;
  return at < cursor.text.size() ? cursor.text[at] : '\n';
}

bool IsWordStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsWordByte(char c) { return IsWordStart(c) || (c >= '0' && c <= '9'); }

bool IsLineEnd(const DirectiveCursor& cursor) {
  const char c = At(cursor, 0);
  return c == '\n' || (c == '\r' && At(cursor, 1) == '\n');
}

}  // namespace

bool SkipBlanks(DirectiveCursor& cursor) {
  const std::size_t start = cursor.at;
  for (;;) {
    const char c = At(cursor, 0);
    if (c == ' ' || c == '\t') {
      ++cursor.at;
    } else if (c == '\\' && At(cursor, 1) == '\n' && cursor.at + 1 < cursor.text.size() - 1) {
      cursor.at += 2;
    } else if (c == '\\' && At(cursor, 1) == '\r' && At(cursor, 2) == '\n' && cursor.at + 2 < cursor.text.size() - 1) {
      cursor.at += 3;
    } else {
      return cursor.at > start;
    }
  }
}

bool MatchWord(DirectiveCursor& cursor, std::string_view word) {
  if (cursor.text.substr(cursor.at, word.size()) != word) return false;
  cursor.at += word.size();
  return true;
}

bool MatchKeyword(DirectiveCursor& cursor, std::string_view word) {
  DirectiveCursor probe = cursor;
  if (!MatchWord(probe, word)) return false;
  const char next = At(probe, 0);
  if (next != ' ' && next != '\t' && next != '\\' && !IsLineEnd(probe)) return false;
  cursor = probe;
  return true;
}

bool AtLineEnd(DirectiveCursor cursor) {
  SkipBlanks(cursor);
  return IsLineEnd(cursor);
}

std::optional<std::string_view> ReadString(DirectiveCursor& cursor) {
  if (At(cursor, 0) != '"') return std::nullopt;
  const std::size_t close = cursor.text.find_first_of("\"\n", cursor.at + 1);
  if (close == std::string_view::npos || cursor.text[close] != '"') return std::nullopt;
  const std::string_view content = cursor.text.substr(cursor.at + 1, close - cursor.at - 1);
  cursor.at = close + 1;
  return content;
}

std::optional<std::string_view> ReadIdentifier(DirectiveCursor& cursor) {
  if (!IsWordStart(At(cursor, 0))) return std::nullopt;
  std::size_t length = 1;
  while (IsWordByte(At(cursor, length))) ++length;
  const std::string_view word = cursor.text.substr(cursor.at, length);
  cursor.at += length;
  return word;
}

std::optional<NumberText> ReadNumber(DirectiveCursor& cursor) {
  NumberText number{0, false};
  std::size_t length = 0;
  for (char c = At(cursor, 0); c >= '0' && c <= '9'; c = At(cursor, ++length)) {
    const std::uint64_t next = std::uint64_t{number.value} * 10 + static_cast<std::uint32_t>(c - '0');
    if (next > 0xFFFFFFFFu) number.overflow = true;
    number.value = static_cast<std::uint32_t>(next);
  }
  if (length == 0) return std::nullopt;
  cursor.at += length;
  return number;
}

std::string_view LineWithoutNewline(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

}  // namespace frontend
