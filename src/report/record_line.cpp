#include "report/record_line.h"

#include <algorithm>

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
  std::string word;
  if (!Word(word) || word.empty() || word.size() > 10) return false;
  std::uint64_t number = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

bool RecordLine::HexNumber(std::uint32_t& value) {
  std::string word;
  if (!Word(word) || word.size() < 3 || word.size() > 10 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X')) {
    return false;
  }
  std::uint32_t number = 0;
  for (std::size_t i = 2; i < word.size(); ++i) {
    const char c = word[i];
    int digit = 0;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    number = number << 4 | static_cast<std::uint32_t>(digit);
  }
  value = number;
  return true;
}

bool RecordLine::Quoted(std::string& text) {
  text.clear();
  if (!Space() || position_ >= text_.size() || text_[position_] != '"') return false;
  for (++position_; position_ < text_.size(); ++position_) {
    char c = text_[position_];
    if (c == '"') {
      ++position_;
      return true;
    }
    if (c == '\\') {
      if (++position_ >= text_.size()) return false;
      c = text_[position_] == 'n' ? '\n' : text_[position_];
    }
    text += c;
  }
  return false;
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

}  // namespace report
