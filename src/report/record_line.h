// A cursor over one text line of an FDC block or a results file.
//
// Every field is preceded by exactly one space, as the writers put them; an
// unquoted field may be empty (the branch path of a top-level block). Each
// reader returns false on a malformed field and leaves the cursor where it
// failed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace report {

class RecordLine {
 public:
  explicit RecordLine(std::string_view line) : text_(line) {}

  /// The next field up to a space or the end of the line; may be empty.
  bool Word(std::string& word);
  /// A decimal number that fits in 32 bits.
  bool Number(std::uint32_t& value);
  /// A decimal number that fits in 64 bits (times in nanoseconds, sizes).
  bool Number64(std::uint64_t& value);
  /// "0x" and hexadecimal digits of a value that fits in 32 bits.
  bool HexNumber(std::uint32_t& value);
  /// "0x" and up to sixteen hexadecimal digits (an address).
  bool HexNumber64(std::uint64_t& value);
  /// A quoted field as the FDC and TSF writers write it (output/fdc_format.h).
  bool Quoted(std::string& text);
  bool AtEnd() const { return position_ >= text_.size(); }

 private:
  bool Space();
  std::string_view text_;
  std::size_t position_ = 0;
};

/// The lines of a text, without their line feed (and carriage return).
class LineSplitter {
 public:
  LineSplitter(std::string_view text, std::size_t from, std::size_t to) : text_(text), position_(from), end_(to) {}
  bool Next(std::string_view& line);

 private:
  std::string_view text_;
  std::size_t position_;
  std::size_t end_;
};

/// Runs `readLine` on each line of a file written in whole lines, as the
/// runtime writes them: "path:line: what" for the first line it rejects
/// (setting `what`), or for a last line without its line feed (a truncated
/// file); an empty text when every line was read.
std::string ReadWholeLines(const std::string& path, std::string_view text,
                           const std::function<bool(std::string_view line, std::string& what)>& readLine);

}  // namespace report
