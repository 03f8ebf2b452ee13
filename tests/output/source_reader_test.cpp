// The annotated source reader: encodings, markup of comments and inactive
// regions, copying up to branch positions, alternatives of macro
// expansions, and the fatal endings of unreadable input. Expected listings
// are written out by hand from the files' texts.
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

TEST_F(SourceReaderTest, AlternativeInsideACommentShowsHiddenBranches) {
  // Line 2 starts inside the comment of line 1 and does not align ("@" has
  // no counterpart): the source text stays in the comment and the
  // alternative's own text is the label.
  ranges_ = {{0, 9}};
  EXPECT_EQ(List("/* a\nb */ y = Q @;\n", "\n     y = 1 ? 2 : 3 $;\n", {{2, 2, 12, false, "@T@"}}),
            "@COMMENT@/* a\nb */@/COMMENT@ y = Q @@;@ALT@ Hidden branches@-ALT@\n     y = 1 @T@? 2 : 3 $;@/ALT@");
}

TEST_F(SourceReaderTest, SourceLineSpreadOverPreprocessedLines) {
  EXPECT_EQ(List("x = 1; P y = 2;\n", "x = 1;\n#pragma foo\n y = 2;\n",
                 {{1, 1, 1, false, "@A@"}, {1, 3, 2, false, "@B@"}}),
            "@A@x = 1; P y = 2;@ALT@ @-ALT@x = 1;\n#pragma foo\n @B@y = 2;@/ALT@\n");
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

std::vector<int> Kinds(const std::vector<LineSegment>& segments) {
  std::vector<int> kinds;
  for (const LineSegment& segment : segments) kinds.push_back(static_cast<int>(segment.kind));
  return kinds;
}

TEST(LineAlignmentTest, MacroInvocationsMapToTheirExpansions) {
  std::vector<LineSegment> segments;
  ASSERT_TRUE(AlignLines("x = N;", "x = 10;", segments));
  EXPECT_EQ(Kinds(segments), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(segments[0].sourceStart, 0u);
  EXPECT_EQ(segments[0].sourceEnd, 2u);
  EXPECT_EQ(segments[2].sourceTokenStart, 4u);
  EXPECT_EQ(segments[2].sourceTextEnd, 5u);
  EXPECT_EQ(segments[2].preTokenStart, 4u);
  EXPECT_EQ(segments[2].preEnd, 6u);
  EXPECT_EQ(segments[3].preEnd, 7u);

  ASSERT_TRUE(AlignLines("y = MAX(a, b) + 1;", "y = ((a) > (b) ? (a) : (b)) + 1;", segments));
  EXPECT_EQ(Kinds(segments), (std::vector<int>{0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(segments[2].sourceTextEnd, 13u);
  EXPECT_EQ(segments[2].sourceEnd, 14u);
  EXPECT_EQ(segments[2].preTokenStart, 4u);
  EXPECT_EQ(segments[2].preEnd, 28u);

  // The token after F occurs twice where the rest aligns: one segment.
  ASSERT_TRUE(AlignLines("F ; G ;", "; ; ;", segments));
  EXPECT_EQ(Kinds(segments), (std::vector<int>{1}));
  EXPECT_EQ(segments[0].sourceTextEnd, 7u);
  EXPECT_EQ(segments[0].preEnd, 5u);
}

TEST(LineAlignmentTest, CommentsAreSkippedOnBothSides) {
  std::vector<LineSegment> segments;
  EXPECT_TRUE(AlignLines("x = 1; /* N */", "x = 1;", segments));
  EXPECT_EQ(Kinds(segments), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_TRUE(AlignLines("end */ x; // y", "x;", segments));
  EXPECT_EQ(Kinds(segments), (std::vector<int>{0, 0}));
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
