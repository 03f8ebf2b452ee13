// The annotated source reader: encodings, alternatives of macro expansions
// at their edges, and the fatal endings of unreadable input. Expected
// listings are written out by hand from the files' texts.
#include "output/source_reader.h"

#include "bound_run.h"
#include "frontend/line_validity.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace output {
namespace {

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf32(const std::u32string& text, bool bigEndian) {
  std::string bytes;
  for (const char32_t c : text) {
    for (int i = 0; i < 4; ++i) {
      const int shift = bigEndian ? 24 - 8 * i : 8 * i;
      bytes.push_back(static_cast<char>((c >> shift) & 0xFF));
    }
  }
  return bytes;
}

// A branch tag to write at a position: source line, preprocessed line and
// column, inclusive copy, and the tag text.
struct Tag {
  std::uint32_t sourceLine;
  std::uint32_t line;
  std::uint32_t column;
  bool inclusive;
  const char* text;
};

class SourceReaderTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"));
    const std::string stem = "reader_" + std::to_string(::getpid()) + "_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    source_ = (std::filesystem::temp_directory_path() / (stem + ".c")).string();
    pre_ = (std::filesystem::temp_directory_path() / (stem + ".i")).string();
  }
  void TearDown() override {
    std::filesystem::remove(source_);
    std::filesystem::remove(pre_);
    frontend::FreeRegions(regions_);
  }

  static void Write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  }

  // Lists the source file with the tags, the preprocessed file beside it.
  std::string List(const std::string& source, const std::string& pre, const std::vector<Tag>& tags) {
    Write(source_, source);
    Write(pre_, pre);
    std::FILE* out = std::tmpfile();
    ListingState listing;
    const ListingScope binding(listing);
    StartListing(out, ranges_, regions_);
    SourceReader sourceReader;
    SourceReader preReader;
    OpenSourceReader(sourceReader, source_.c_str(), true);
    OpenSourceReader(preReader, pre_.c_str(), false);
    for (const Tag& tag : tags) {
      CopySourceUpTo(sourceReader, preReader, tag.sourceLine, {tag.line, tag.column}, tag.inclusive);
      WriteMarkup(tag.text);
    }
    FinishReader(preReader);
    FinishReader(sourceReader);
    CloseSourceReader(preReader);
    CloseSourceReader(sourceReader);
    FinishListing();
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) text.push_back(static_cast<char>(c));
    std::fclose(out);
    return text;
  }

  // The whole file listed without tags.
  std::string ListAll(const std::string& content) { return List(content, "", {}); }

  Encoding Detect(const std::string& content) {
    Write(source_, content);
    std::FILE* file = std::fopen(source_.c_str(), "rb");
    const Encoding encoding = DetectEncoding(file);
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
    return encoding;
  }

  std::string source_;
  std::string pre_;
  std::vector<metrics::HiddenRange> ranges_;
  frontend::RegionList regions_{};
};

TEST_F(SourceReaderTest, EncodingIsGuessedFromMarksAndZeroBytes) {
  using namespace std::string_literals;
  EXPECT_EQ(Detect(""), Encoding::kUnknown);
  EXPECT_EQ(Detect("a"), Encoding::kUtf8);
  EXPECT_EQ(Detect("\xFF\xFE\0\0"s), Encoding::kUtf32Le);
  EXPECT_EQ(Detect("\xFF\xFE" "a\0"s), Encoding::kUtf16Le);
  EXPECT_EQ(Detect("\xFE\xFF\0a"s), Encoding::kUtf16Be);
  EXPECT_EQ(Detect("\0\0\xFE\xFF"s), Encoding::kUtf32Be);
  EXPECT_EQ(Detect("\0\0\0"s), Encoding::kUtf8);  // two or three bytes
  EXPECT_EQ(Detect("\xEF\xBB\xBF\0\0\0\0\0"s), Encoding::kUtf8);
  EXPECT_EQ(Detect("\0\0\0\0\0\0"s), Encoding::kUtf8);  // fewer than seven
  EXPECT_EQ(Detect("ab\0cdefg"s), Encoding::kUtf8);
  EXPECT_EQ(Detect("a\0b\0c\0de"s), Encoding::kUtf16Le);
  EXPECT_EQ(Detect("\0a\0b\0c\0d"s), Encoding::kUtf16Be);
  EXPECT_EQ(Detect("a\0\0\0b\0\0\0"s), Encoding::kUtf32Le);
  EXPECT_EQ(Detect("\0\0\0a\0\0\0b"s), Encoding::kUtf32Be);
}

// Every encoding is listed as UTF-8; what cannot be decoded never breaks the
// listing.
TEST_F(SourceReaderTest, EveryEncodingIsListedAsUtf8) {
  const struct {
    std::string content;
    std::string listed;
  } cases[] = {
      {"\xEF\xBB\xBFint x;\n", "\xEF\xBB\xBFint x;\n"},  // UTF-8 keeps its mark
      // UTF-32 shows its mark like any other character.
      {Utf32(U"\uFEFFa\U0001F600\n", true), "\xEF\xBB\xBF" "a\xF0\x9F\x98\x80\n"},
      {Utf32(U"\uFEFFa\n", false), "\xEF\xBB\xBF" "a\n"},
      {Utf16Le(u"ab = 1;\n"), "ab = 1;\n"},  // no mark: three zero bytes among the first eight
      {"abc", "abc\n"},                      // a last line gets its line feed
      // U+FFFE and U+FFFF give nothing in UTF-16; beyond U+10FFFF is U+FFFD.
      {Utf16Le(std::u16string{0xFEFF, u'a', 0xFFFE, 0xFFFF, u'b', u'\n'}), "ab\n"},
      {Utf32(U"\uFEFF", true) + Utf32(std::u32string{0x110000, U'\n'}, true), "\xEF\xBB\xBF\xEF\xBF\xBD\n"},
      {std::string("\x01\x00\x80\xFF@\n", 6), std::string("\x01\x00\x80\xFF@@\n", 7)},  // "@" doubled
  };
  for (const auto& c : cases) EXPECT_EQ(ListAll(c.content), c.listed) << c.listed;
}

TEST_F(SourceReaderTest, ItemCoveringAWholeExpansionNestsInsideItsAlternative) {
  // The expansion runs from column 5 to column 27: an item from its first
  // to its last character opens and closes inside the alternative, and a
  // second closing tag on that last character does not show it twice.
  const std::string source = "r = MAX(a, b);\n";
  const std::string pre = "r = ((a) > (b) ? (a) : (b));\n";
  EXPECT_EQ(List(source, pre, {{1, 1, 5, false, "@P@"}, {1, 1, 27, true, "@/P@"}, {1, 1, 27, true, "@/Q@"}}),
            "r = @ALT@MAX(a, b)@-ALT@@P@((a) > (b) ? (a) : (b))@/P@@/Q@@/ALT@;\n");
  // An item starting right after the expansion is outside it.
  EXPECT_EQ(List(source, pre, {{1, 1, 5, false, "@P@"}, {1, 1, 27, true, "@/P@"}, {1, 1, 28, false, "@S@"}}),
            "r = @ALT@MAX(a, b)@-ALT@@P@((a) > (b) ? (a) : (b))@/P@@/ALT@@S@;\n");
}

TEST_F(SourceReaderTest, UnalignedLinesAreOneAlternative) {
  // "#" and "x" cannot be lined up: the whole line is the alternative.
  EXPECT_EQ(List("a # b\n", "a x b\n", {{1, 1, 3, false, "@T@"}}), "@ALT@a # b@-ALT@\na @T@x b@/ALT@");
}

TEST_F(SourceReaderTest, SourceShorterThanItsLineDirectivesIsFatal) {
  EXPECT_EXIT(List("a;\n", "a;\n", {{5, 1, 1, false, "@T@"}}), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Error while reading file .*\\.c : unsupported file format\n");
  EXPECT_EXIT(List("a;\nb;\n", "a;\n", {{2, 2, 1, false, "@T@"}}), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Error while reading file .*\\.i : unsupported file format\n");
}

TEST_F(SourceReaderTest, VanishedFileIsFatal) {
  SourceReader reader;
  EXPECT_EXIT(OpenSourceReader(reader, "/nonexistent/dir/gone.c", true),
              ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Can't open file /nonexistent/dir/gone.c\n");
}

TEST(LineAlignmentTest, LinesThatCannotAlignFail) {
  std::vector<LineSegment> segments;
  EXPECT_FALSE(AlignLines("a b", "b a", segments));  // a is in the expansion
  EXPECT_FALSE(AlignLines("a", "", segments));
  EXPECT_FALSE(AlignLines("F(a", "x", segments));  // unbalanced
  EXPECT_FALSE(AlignLines("F ;", "x", segments));  // nothing follows the expansion
  EXPECT_TRUE(segments.empty());
  // Thousands of candidates for the end of F's expansion: the search gives
  // up instead of trying them all.
  std::string source = "F";
  for (int i = 0; i < 2000; ++i) source += " a";
  std::string pre = "a";
  for (int i = 1; i < 3000; ++i) pre += " a";
  EXPECT_FALSE(AlignLines(source, pre, segments));
}

}  // namespace
}  // namespace output
