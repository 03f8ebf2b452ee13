// The FDC format as writer and readers share it: the constants of a block
// and the quoting of text fields.
//
// A quoted field is a space, a double quote, the text with every backslash
// and double quote preceded by a backslash and every line feed written as
// backslash and "n", and a closing double quote. Every other byte, a
// carriage return included, stands as it is. The readers accept exactly what
// the writer writes, so a field that ends early, uses another escape or runs
// longer than the reader's bound makes the file invalid.
//
// Nothing here needs Qt or the message services: the fuzz harness of the
// block reader builds it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace output {

inline constexpr std::uint32_t kFdcChecksumSeed = 0x4A4A4A4A;  // "JJJJ"
inline constexpr std::string_view kFdcFormatVersion = "3.0e";
inline constexpr std::string_view kFdcFormatMark = "#i6";

/// Longest token or quoted field the block reader accepts, well above any
/// path the system can open.
inline constexpr std::size_t kMaxFdcFieldLength = 65536;

/// Appends the text between double quotes, escaped (the form of a TSF
/// quoted text).
void AppendQuotedText(std::string& line, std::string_view text);

/// Appends a quoted field, its leading space included.
void AppendQuotedField(std::string& line, std::string_view text);

/// Reads one quoted field, leading space included, a byte at a time, for
/// readers that see the file as a stream.
class QuotedFieldReader {
 public:
  enum class State : std::uint8_t { kReading, kDone, kBroken };

  /// Decodes into `text` (emptied first); a text longer than `maxLength`
  /// breaks the field.
  QuotedFieldReader(std::string& text, std::size_t maxLength);

  /// Takes the next byte (EOF at the end of the input) while the state is
  /// kReading, and returns the state after it.
  State Take(int c);

 private:
  enum class Expect : std::uint8_t { kSpace, kOpeningQuote, kText, kEscaped };

  State Append(char c);

  std::string& text_;
  std::size_t maxLength_;
  Expect expect_ = Expect::kSpace;
};

/// Reads the quoted field at the start of `input` into `text`: the number of
/// bytes it takes, 0 when it is broken.
std::size_t ReadQuotedField(std::string_view input, std::string& text, std::size_t maxLength);

}  // namespace output
