// A cursor over one directive line and the pieces the directive forms are
// made of. Blanks are spaces and tabs; a backslash-newline inside the line
// counts as a blank. The line ends at its newline (a carriage return before
// it included) or at the end of the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace frontend {

struct DirectiveCursor {
  std::string_view text;
  std::size_t at;
};

/// Skips blanks; true when there was at least one.
bool SkipBlanks(DirectiveCursor& cursor);
/// Consumes the word when the text continues with it.
bool MatchWord(DirectiveCursor& cursor, std::string_view word);
/// The word, then a blank or the line end (not consumed).
bool MatchKeyword(DirectiveCursor& cursor, std::string_view word);
/// After optional blanks, only the line end remains.
bool AtLineEnd(DirectiveCursor cursor);
/// A double-quoted text without embedded double quotes on the line; its
/// content without the quotes.
std::optional<std::string_view> ReadString(DirectiveCursor& cursor);
/// A letter or "_", then letters, digits and "_".
std::optional<std::string_view> ReadIdentifier(DirectiveCursor& cursor);

struct NumberText {
  std::uint32_t value;
  bool overflow;  // the digits do not fit in 32 bits
};
/// A run of decimal digits.
std::optional<NumberText> ReadNumber(DirectiveCursor& cursor);

/// The line without its newline (and carriage return).
std::string_view LineWithoutNewline(std::string_view text);

}  // namespace frontend
