// Quoting of FDC text fields, written and read.
#include "output/fdc_format.h"

#include <cstdio>

namespace output {
namespace {

// Bytes before the first one the writer escapes.
std::size_t PlainLength(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && text[length] != '\n' && text[length] != '\\' && text[length] != '"') ++length;
  return length;
}

}  // namespace

// Appends the runs between escaped bytes whole: records of long texts are
// mostly plain.
void AppendQuotedText(std::string& line, std::string_view text) {
  line += '"';
  for (std::size_t plain = PlainLength(text); plain < text.size(); plain = PlainLength(text)) {
    line.append(text.substr(0, plain));
    const char c = text[plain];
    line += c == '\n' ? std::string_view("\\n") : c == '\\' ? std::string_view("\\\\") : std::string_view("\\\"");
    text.remove_prefix(plain + 1);
  }
  line.append(text);
  line += '"';
}

void AppendQuotedField(std::string& line, std::string_view text) {
  line += ' ';
  AppendQuotedText(line, text);
}

QuotedFieldReader::QuotedFieldReader(std::string& text, std::size_t maxLength) : text_(text), maxLength_(maxLength) {
  text_.clear();
}

QuotedFieldReader::State QuotedFieldReader::Append(char c) {
  if (text_.size() == maxLength_) return State::kBroken;
  text_ += c;
  expect_ = Expect::kText;
  return State::kReading;
}

// A line feed cannot stand in a field (the writer escapes it), so meeting one
// means the closing quote is missing.
QuotedFieldReader::State QuotedFieldReader::Take(int c) {
  if (c == EOF) return State::kBroken;
  switch (expect_) {
    case Expect::kSpace:
      if (c != ' ') return State::kBroken;
      expect_ = Expect::kOpeningQuote;
      return State::kReading;
    case Expect::kOpeningQuote:
      if (c != '"') return State::kBroken;
      expect_ = Expect::kText;
      return State::kReading;
    case Expect::kText:
      if (c == '"') return State::kDone;
      if (c == '\n') return State::kBroken;
      if (c != '\\') return Append(static_cast<char>(c));
      expect_ = Expect::kEscaped;
      return State::kReading;
    case Expect::kEscaped:
      if (c == 'n') return Append('\n');
      if (c == '\\' || c == '"') return Append(static_cast<char>(c));
      return State::kBroken;
  }
  return State::kBroken;
}

std::size_t ReadQuotedField(std::string_view input, std::string& text, std::size_t maxLength) {
  QuotedFieldReader reader(text, maxLength);
  for (std::size_t taken = 0; taken < input.size(); ++taken) {
    const QuotedFieldReader::State state = reader.Take(static_cast<unsigned char>(input[taken]));
    if (state == QuotedFieldReader::State::kDone) return taken + 1;
    if (state == QuotedFieldReader::State::kBroken) return 0;
  }
  return 0;  // the input ended inside the field
}

}  // namespace output
