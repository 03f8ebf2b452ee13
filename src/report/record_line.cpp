#include "report/record_line.h"

#include "output/fdc_format.h"

#include <algorithm>
#include <cstdint>

namespace report {

bool RecordLine::Space() {
  if (position_ >= text_.size() || text_[position_] != ' ') return false;
  ++position_;
  return true;
}

bool RecordLine::Word(std::string& word) {
  if (!Space()) return false;
  const std::size_t end = std::min(text_.find(' ', position_), text_.size());
  word.assign(text_.substr(position_, end - position_));
  position_ = end;
  return true;
}

bool RecordLine::Number(std::uint32_t& value) {
  std::uint64_t number = 0;
  if (!Number64(number) || number > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

bool RecordLine::Number64(std::uint64_t& value) {
  std::string word;
  if (!Word(word) || word.empty() || word.size() > 20) return false;
  std::uint64_t number = 0;
  for (const char c : word) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (c < '0' || c > '9' || number > (UINT64_MAX - digit) / 10) return false;
    number = number * 10 + digit;
  }
  value = number;
  return true;
}

bool RecordLine::HexNumber(std::uint32_t& value) {
  std::uint64_t number = 0;
  if (!HexNumber64(number) || number > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

bool RecordLine::HexNumber64(std::uint64_t& value) {
  std::string word;
  if (!Word(word) || word.size() < 3 || word.size() > 18 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X')) {
    return false;
  }
  std::uint64_t number = 0;
  for (std::size_t i = 2; i < word.size(); ++i) {
    const char c = word[i];
    int digit = 0;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    number = number << 4 | static_cast<std::uint64_t>(digit);
  }
  value = number;
  return true;
}

// The line is in memory whole, so the field needs no bound of its own: the
// writer bounds no text (a function name may be as long as the compiler
// takes it).
bool RecordLine::Quoted(std::string& text) {
  const std::string_view rest = text_.substr(std::min(position_, text_.size()));
  const std::size_t taken = output::ReadQuotedField(rest, text, rest.size());
  position_ += taken;
  return taken > 0;
}

bool LineSplitter::Next(std::string_view& line) {
  if (position_ >= end_) return false;
  std::size_t stop = text_.find('\n', position_);
  if (stop == std::string_view::npos || stop > end_) stop = end_;
  line = text_.substr(position_, stop - position_);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  position_ = stop < end_ ? stop + 1 : end_;
  return true;
}

std::string ReadWholeLines(const std::string& path, std::string_view text,
                           const std::function<bool(std::string_view line, std::string& what)>& readLine) {
  // Where a last line without its line feed starts (npos + 1 is 0).
  const std::size_t truncated = text.empty() || text.back() == '\n' ? std::string_view::npos : text.rfind('\n') + 1;
  LineSplitter lines(text, 0, text.size());
  std::string_view line;
  std::string what;
  for (std::size_t number = 1; lines.Next(line); ++number) {
    if (static_cast<std::size_t>(line.data() - text.data()) == truncated) what = "truncated line";
    if (!what.empty() || !readLine(line, what)) return path + ":" + std::to_string(number) + ": " + what;
  }
  return {};
}

}  // namespace report
