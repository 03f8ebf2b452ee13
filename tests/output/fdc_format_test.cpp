// Quoted fields of FDC files: what the writer writes, checked against the
// format's definition, and what the one reader accepts.
#include "output/fdc_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace output {
namespace {

// The format's definition spelled out byte by byte: a space, a double quote,
// the text with backslash and double quote preceded by a backslash and a
// line feed written as backslash "n", a double quote.
std::string DefinedField(const std::string& text) {
  std::string field = " \"";
  for (const char c : text) {
    if (c == '\n') {
      field += "\\n";
      continue;
    }
    if (c == '\\' || c == '"') field += '\\';
    field += c;
  }
  return field + '"';
}

// Texts drawn mostly from the bytes the quoting treats specially.
std::string RandomText(std::mt19937& random) {
  static const std::string kSpecial = "\"\\\n\r n";
  std::string text(random() % 24, ' ');
  for (char& c : text) {
    c = random() % 2 ? kSpecial[random() % kSpecial.size()] : static_cast<char>(random() % 256);
  }
  return text;
}

// The stream form of the reader, fed one byte at a time as the block reader
// feeds it, with EOF after the input.
bool ReadByBytes(const std::string& input, std::string& text, std::size_t& taken) {
  QuotedFieldReader reader(text, kMaxFdcFieldLength);
  for (taken = 0; taken <= input.size(); ++taken) {
    const int c = taken < input.size() ? static_cast<unsigned char>(input[taken]) : EOF;
    const QuotedFieldReader::State state = reader.Take(c);
    if (state == QuotedFieldReader::State::kDone) {
      ++taken;
      return true;
    }
    if (state == QuotedFieldReader::State::kBroken) return false;
  }
  return false;
}

TEST(FdcFormatTest, WrittenFieldsFollowTheDefinitionAndReadBackWhole) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 5000; ++round) {
    const std::string text = RandomText(random);
    std::string line = "PR";
    AppendQuotedField(line, text);
    ASSERT_EQ(line, "PR" + DefinedField(text));
    ASSERT_EQ(line.find('\n'), std::string::npos) << "a field never ends a line";

    std::string quoted;
    AppendQuotedText(quoted, text);
    ASSERT_EQ(" " + quoted, DefinedField(text));

    // Read back with a field following, as on a record line.
    const std::string input = line.substr(2) + " 17 4";
    std::string read;
    ASSERT_EQ(ReadQuotedField(input, read, kMaxFdcFieldLength), line.size() - 2);
    ASSERT_EQ(read, text);
    std::size_t taken = 0;
    ASSERT_TRUE(ReadByBytes(input, read, taken));
    ASSERT_EQ(read, text);
    ASSERT_EQ(taken, line.size() - 2);
  }
}

// Fields the writer cannot write are broken; of the escapes, only "\\",
// "\"" and "\n" are written, and every other byte after a backslash (a line
// feed, a carriage return, "t", a digit...) breaks the field.
TEST(FdcFormatTest, FieldsTheWriterCannotWriteAreBroken) {
  std::vector<std::string> broken = {"", "\"a\"", "  \"a\"", " a\"", " \"abc", " \"ab\ncd\"", " \"ab\\"};
  for (int c = 0; c < 256; ++c) {
    if (c != '\\' && c != '"' && c != 'n') broken.push_back(std::string(" \"x\\") + static_cast<char>(c) + "\"");
  }
  for (const std::string& input : broken) {
    std::string text;
    std::size_t taken = 0;
    EXPECT_EQ(ReadQuotedField(input, text, kMaxFdcFieldLength), 0u) << input;
    EXPECT_FALSE(ReadByBytes(input, text, taken)) << input;
  }
}

TEST(FdcFormatTest, TextsUpToTheBoundAreRead) {
  for (const std::size_t bound : {std::size_t{0}, std::size_t{1}, std::size_t{5}, kMaxFdcFieldLength}) {
    for (const char filler : {'a', '\n'}) {
      std::string field;
      AppendQuotedField(field, std::string(bound, filler));
      std::string text;
      EXPECT_EQ(ReadQuotedField(field, text, bound), field.size()) << bound;
      EXPECT_EQ(text.size(), bound);

      field.clear();
      AppendQuotedField(field, std::string(bound + 1, filler));
      EXPECT_EQ(ReadQuotedField(field, text, bound), 0u) << "one byte over " << bound;
    }
  }
}

}  // namespace
}  // namespace output
