// The annotated source reader: encodings, markup of comments and inactive
// regions, copying up to branch positions, alternatives of macro
// expansions, and the fatal endings of unreadable input. Expected listings
// are written out by hand from the files' texts.
#include "output/source_reader.h"

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
  void SetUp() override {
    support::ResetMessageState();
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"), QStringLiteral("CCOV"));
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

TEST_F(SourceReaderTest, EveryEncodingIsListedAsUtf8) {
  // UTF-16 loses its mark, UTF-8 keeps it, UTF-32 shows it like any other
  // character.
  EXPECT_EQ(ListAll(Utf16Le(u"\uFEFFx = \u00E9;\n")), "x = \xC3\xA9;\n");
  EXPECT_EQ(ListAll("\xEF\xBB\xBFint x;\n"), "\xEF\xBB\xBFint x;\n");
  EXPECT_EQ(ListAll(Utf32(U"\uFEFFa\U0001F600\n", true)), "\xEF\xBB\xBF" "a\xF0\x9F\x98\x80\n");
  EXPECT_EQ(ListAll(Utf32(U"\uFEFFa\n", false)), "\xEF\xBB\xBF" "a\n");
  // Without a mark, three zero bytes among the first eight mean UTF-16.
  EXPECT_EQ(ListAll(Utf16Le(u"ab = 1;\n")), "ab = 1;\n");
  // A last line without line feed gets one.
  EXPECT_EQ(ListAll("abc"), "abc\n");
}

TEST_F(SourceReaderTest, UndecodableInputNeverBreaksTheListing) {
  // Unpaired surrogates become U+FFFD and the following unit is kept.
  EXPECT_EQ(ListAll(Utf16Le(u"\uFEFF") + Utf16Le(std::u16string{0xD800, u'a', 0xDC00, u'b', u'\n'})),
            "\xEF\xBF\xBD" "a\xEF\xBF\xBD" "b\n");
  // U+FFFE and U+FFFF give nothing in UTF-16.
  EXPECT_EQ(ListAll(Utf16Le(std::u16string{0xFEFF, u'a', 0xFFFE, 0xFFFF, u'b', u'\n'})), "ab\n");
  // A code point beyond U+10FFFF becomes U+FFFD.
  EXPECT_EQ(ListAll(Utf32(U"\uFEFF", true) + Utf32(std::u32string{0x110000, U'\n'}, true)),
            "\xEF\xBB\xBF\xEF\xBF\xBD\n");
  // An odd trailing byte ends the text.
  EXPECT_EQ(ListAll(Utf16Le(u"\uFEFFa\n") + "b"), "a\n");
  // Binary bytes pass through, "@" doubled.
  EXPECT_EQ(ListAll(std::string("\x01\x00\x80\xFF@\n", 6)), std::string("\x01\x00\x80\xFF@@\n", 7));
}

TEST_F(SourceReaderTest, CommentsAndInactiveRegionsAreMarkedAsComment) {
  const std::string source = "a; /* c */\n#if 0\nx;\n#endif\nb;\n";
  // The ranges and the region that the metrics give for this text.
  ranges_ = {{3, 10}, {11, 16}, {20, 26}};
  frontend::AppendRegion(regions_, 2, 4);
  EXPECT_EQ(ListAll(source),
            "a; @COMMENT@/* c */@/COMMENT@\n"
            "@COMMENT@#if 0\n"
            "x;\n"
            "@/COMMENT@@COMMENT@#endif@/COMMENT@\n"
            "b;\n");
  regions_.head->active = 1;
  EXPECT_EQ(ListAll(source),
            "a; @COMMENT@/* c */@/COMMENT@\n"
            "@COMMENT@#if 0@/COMMENT@\n"
            "x;\n"
            "@COMMENT@#endif@/COMMENT@\n"
            "b;\n");
}

TEST_F(SourceReaderTest, TagsLandAtTheirPreprocessedColumns) {
  const std::string source = "int f(int a) {\n  if (a) return 1;\n  return 0;\n}\n";
  const std::string expected = "int f(int a) {\n  @B@if (a) return 1;@/B@\n  return 0;\n}\n";
  EXPECT_EQ(List(source, source, {{2, 2, 3, false, "@B@"}, {2, 2, 18, true, "@/B@"}}), expected);
  // The preprocessed input holds a line marker first: its lines are one on.
  EXPECT_EQ(List(source, "# 1 \"x.c\"\n" + source, {{2, 3, 3, false, "@B@"}, {2, 3, 18, true, "@/B@"}}),
            expected);
}

TEST_F(SourceReaderTest, BranchInsideAMacroExpansionIsShownAsAnAlternative) {
  const std::string source =
      "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n"
      "int m(int x, int y) { return MAX(x, y); }\n";
  const std::string pre =
      "\n"
      "int m(int x, int y) { return ((x) > (y) ? (x) : (y)); }\n";
  // The condition (x) > (y) runs from column 31 to column 39.
  EXPECT_EQ(List(source, pre, {{2, 2, 31, false, "@D@"}, {2, 2, 39, true, "@/D@"}}),
            "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n"
            "int m(int x, int y) { return @ALT@MAX(x, y)@-ALT@(@D@(x) > (y)@/D@ ? (x) : (y))@/ALT@; }\n");
  // A tag after the expansion closes the alternative first.
  EXPECT_EQ(List(source, pre, {{2, 2, 31, false, "@D@"}, {2, 2, 39, true, "@/D@"}, {2, 2, 55, false, "@E@"}}),
            "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n"
            "int m(int x, int y) { return @ALT@MAX(x, y)@-ALT@(@D@(x) > (y)@/D@ ? (x) : (y))@/ALT@; @E@}\n");
}

TEST_F(SourceReaderTest, UnalignedLinesAreOneAlternative) {
  // "#" and "x" cannot be lined up: the whole line is the alternative.
  EXPECT_EQ(List("a # b\n", "a x b\n", {{1, 1, 3, false, "@T@"}}), "@ALT@a # b@-ALT@\na @T@x b@/ALT@");
}

TEST_F(SourceReaderTest, LongLinesAreListedWhole) {
  const std::string line = std::string(4990, 'x') + "@ y;" + std::string(1000, 'z') + "\n";
  const std::string expected = std::string(4990, 'x') + "@@ @T@y;" + std::string(1000, 'z') + "\n";
  EXPECT_EQ(List(line, line, {{1, 1, 4993, false, "@T@"}}), expected);
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

}  // namespace
}  // namespace output
