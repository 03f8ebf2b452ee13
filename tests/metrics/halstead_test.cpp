// Halstead counts, line classes, hidden ranges and conditional regions of
// small files, every expectation counted by hand from the file's text.
#include "metrics/halstead.h"

#include "bound_run.h"
#include "frontend/line_validity.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace metrics {
namespace {

struct Analysis {
  HalsteadCounts counts{};
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> regions;
};

class HalsteadTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"));
    path_ = (std::filesystem::temp_directory_path() /
             ("halstead_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".c"))
                .string();
  }
  void TearDown() override {
    std::filesystem::remove(path_);
  }

  Analysis Analyse(const std::string& content) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
    Analysis result;
    std::vector<HiddenRange> ranges;
    frontend::RegionList regions{};
    ComputeHalstead(path_.c_str(), result.counts, ranges, regions);
    for (const HiddenRange& range : ranges) result.ranges.emplace_back(range.start, range.end);
    for (const frontend::Region* region = regions.head; region; region = region->next) {
      result.regions.emplace_back(region->firstLine, region->lastLine);
    }
    frontend::FreeRegions(regions);
    return result;
  }

  std::string path_;
};

// n1, n2, N1, N2.
std::vector<std::uint32_t> Halstead(const Analysis& analysis) {
  return {analysis.counts[0], analysis.counts[1], analysis.counts[2], analysis.counts[3]};
}
// Total, code, code and comment, comment, blank, comments.
std::vector<std::uint32_t> Lines(const Analysis& analysis) {
  return {analysis.counts[4], analysis.counts[5], analysis.counts[6],
          analysis.counts[7], analysis.counts[8], analysis.counts[9]};
}
using Counts = std::vector<std::uint32_t>;

TEST_F(HalsteadTest, OperatorsAndOperandsAreCountedOncePerKindAndText) {
  EXPECT_EQ(Halstead(Analyse("a = b + c;\n")), (Counts{3, 3, 3, 3}));
  // ( and [ are operators, ) and ] nothing.
  EXPECT_EQ(Halstead(Analyse("f(x[1])\n")), (Counts{2, 3, 2, 3}));
  // Keywords are operators: int ( void { return ;
  EXPECT_EQ(Halstead(Analyse("int main(void) { return 0; }\n")), (Counts{6, 2, 6, 2}));
  EXPECT_EQ(Halstead(Analyse("a = a + a; a += 1;\n")), (Counts{4, 2, 5, 5}));
}

TEST_F(HalsteadTest, DigraphsAreTheKindsTheySpell) {
  const Counts digraphs = Halstead(Analyse("a <: 0 :> <% %>\n"));
  EXPECT_EQ(digraphs, Halstead(Analyse("a [ 0 ] { }\n")));
  EXPECT_EQ(digraphs, (Counts{2, 2, 2, 2}));
}

TEST_F(HalsteadTest, LiteralsAndConstantsAreOperands) {
  // s "a\"b" 'c' '\n' 0x1F 0b101 1.5f .5 1e5 012 12L L 'a': 13 operands,
  // = and ; the operators.
  EXPECT_EQ(Halstead(Analyse("s = \"a\\\"b\" 'c' '\\n' 0x1F 0b101 1.5f .5 1e5 012 12L L'a';\n")),
            (Counts{2, 13, 2, 13}));
  // Quotes that start no valid literal only mark the line: x and ab remain.
  EXPECT_EQ(Halstead(Analyse("x = 'ab';\n")), (Counts{2, 2, 2, 2}));
  // A string continued over two lines is one operand on two code lines.
  const Analysis continued = Analyse("s = \"ab\\\ncd\";\n");
  EXPECT_EQ(Halstead(continued), (Counts{2, 2, 2, 2}));
  EXPECT_EQ(Lines(continued), (Counts{2, 2, 0, 0, 0, 0}));
}

TEST_F(HalsteadTest, LinesAreClassifiedByTheirCodeAndComments) {
  const Analysis analysis = Analyse("/* c */\nx; // c\n\nint y;\n");
  EXPECT_EQ(Lines(analysis), (Counts{4, 1, 1, 1, 1, 2}));
  EXPECT_EQ(analysis.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 7}, {11, 15}}));
  // A block comment over two lines: comment only, then comment and code.
  const Analysis block = Analyse("/* a\nb */ x;\n");
  EXPECT_EQ(Lines(block), (Counts{2, 0, 1, 1, 0, 1}));
  EXPECT_EQ(block.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 9}}));
}

TEST_F(HalsteadTest, EndOfFileCountsTheLastLineOnce) {
  EXPECT_EQ(Lines(Analyse("")), (Counts{1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(Lines(Analyse("x;")), (Counts{1, 1, 0, 0, 0, 0}));
  // The newline that ends a line comment ends its line: no line follows.
  EXPECT_EQ(Lines(Analyse("x;\n// c\n")), (Counts{2, 1, 0, 1, 0, 1}));
  const Analysis unended = Analyse("x; // c");
  EXPECT_EQ(Lines(unended), (Counts{1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(unended.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{3, 7}}));
  // An unterminated block comment: its lines count, it records no range.
  const Analysis open = Analyse("x;\n/* c\nd");
  EXPECT_EQ(Lines(open), (Counts{3, 1, 0, 2, 0, 1}));
  EXPECT_TRUE(open.ranges.empty());
}

TEST_F(HalsteadTest, ContinuationSwallowsTheJoinedLine) {
  const Analysis analysis = Analyse("x = 1 + \\\n 2;\ny;\n");
  EXPECT_EQ(Halstead(analysis), (Counts{3, 3, 3, 3}));
  EXPECT_EQ(Lines(analysis), (Counts{3, 3, 0, 0, 0, 0}));
  // Compilers join a backslash before CR LF as well.
  const Analysis crlf = Analyse("x = 1 + \\\r\n 2;\r\ny;\r\n");
  EXPECT_EQ(Halstead(crlf), (Counts{3, 3, 3, 3}));
  EXPECT_EQ(Lines(crlf), (Counts{3, 3, 0, 0, 0, 0}));
  // A directive continued over a CR LF counts nothing and hides both lines.
  const Analysis directive = Analyse("#define M(a) \\\r\n  ((a) + 1)\r\nx;\r\n");
  EXPECT_EQ(Halstead(directive), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(directive.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 28}}));
}

TEST_F(HalsteadTest, ConditionalRegionsRunFromDirectiveToDirective) {
  const Analysis analysis = Analyse("int a;\nint b;\n#if A\nx;\n#else\ny;\n#endif\n");
  EXPECT_EQ(analysis.regions, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{3, 5}, {5, 7}}));
  EXPECT_EQ(analysis.ranges,
            (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{14, 19}, {23, 28}, {32, 38}}));
  EXPECT_EQ(Lines(analysis), (Counts{7, 7, 0, 0, 0, 0}));
  // Directives count no operator: int ; x ; y ; only.
  EXPECT_EQ(Halstead(analysis), (Counts{2, 4, 6, 4}));
  const Analysis nested = Analyse("  #ifdef A\n%:ifndef B\n#elif C\n# endif\n#endif\n");
  EXPECT_EQ(nested.regions, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 5}, {2, 3}, {3, 4}}));
  // A region that no #endif closes ends on the last line.
  EXPECT_EQ(Analyse("#if A\nx;\n").regions, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 2}}));
}

TEST_F(HalsteadTest, CommentsOnDirectiveLines) {
  const Analysis inside = Analyse("#define X 1 /* c */\n");
  EXPECT_EQ(Lines(inside), (Counts{1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(inside.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 19}}));
  // A comment that goes on past the directive is read to its end and ends
  // the comment mark there.
  const Analysis onward = Analyse("#if A /* one\ntwo */ x;\n#endif\n");
  EXPECT_EQ(onward.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 12}, {6, 19}, {23, 29}}));
  EXPECT_EQ(Lines(onward), (Counts{3, 2, 1, 0, 0, 1}));
  EXPECT_EQ(Halstead(onward), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(onward.regions, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 3}}));
}

TEST_F(HalsteadTest, EachFileHasItsOwnDistinctOperators) {
  EXPECT_EQ(Halstead(Analyse("a = b;\n")), (Counts{2, 2, 2, 2}));
  EXPECT_EQ(Halstead(Analyse("c = d;\n")), (Counts{2, 2, 2, 2}));
}

TEST_F(HalsteadTest, BinaryBytesAndLongTokensAreScanned) {
  // NUL, bytes of 128 and more, "@" and "`" only mark their line.
  const Analysis binary = Analyse(std::string("x\0\x80\xff@`;\n\x01\n", 10));
  EXPECT_EQ(Halstead(binary), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(Lines(binary), (Counts{2, 2, 0, 0, 0, 0}));
  // A directive and a string far longer than the scanner's first buffer.
  const std::string longText(40000, 'v');
  const Analysis long_ = Analyse("#define L \\\n" + longText + "\ns = \"" + longText + "\";\n");
  EXPECT_EQ(Lines(long_), (Counts{3, 3, 0, 0, 0, 0}));
  EXPECT_EQ(Halstead(long_), (Counts{2, 2, 2, 2}));
  EXPECT_EQ(long_.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 12 + longText.size()}}));
}

TEST_F(HalsteadTest, Utf16SourceIsAnalysedAsItsText) {
  // "a = b; // é\n" in UTF-16 little-endian with its mark: offsets are those
  // of the UTF-8 text, without the mark.
  const std::string text = "a = b; // \xC3\xA9\n";
  std::string utf16 = "\xFF\xFE";
  for (const char16_t c : QString::fromUtf8(text.c_str()).toStdU16String()) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  const Analysis analysis = Analyse(utf16);
  EXPECT_EQ(Halstead(analysis), (Counts{2, 2, 2, 2}));
  EXPECT_EQ(Lines(analysis), (Counts{1, 0, 1, 0, 0, 1}));
  EXPECT_EQ(analysis.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{7, 12}}));
}

TEST_F(HalsteadTest, Utf8MarkKeepsTheFirstLineADirective) {
  const Analysis analysis = Analyse("\xEF\xBB\xBF#if A\n#endif\n");
  EXPECT_EQ(analysis.regions, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 2}}));
  EXPECT_EQ(analysis.ranges, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{3, 8}, {9, 15}}));
  EXPECT_EQ(Halstead(analysis), (Counts{0, 0, 0, 0}));
}

TEST_F(HalsteadTest, UnmatchedDirectivesEndTheRun) {
  // The child of a death test has a path of its own.
  const std::string expected = "ERROR: \\[[^,]*halstead_[^,]*"
                               ",2\\] a #endif preprocessing directive is not associated to a #if, #ifdef, "
                               "#ifndef, #elif nor #else\\.\nCheck that this missing directive is at the beginning "
                               "of the source line, optionally prefixed with spaces or tabs\\.\n.*FATAL ERROR: Fix "
                               "the errors above before proceeding again\n$";
  EXPECT_EXIT(Analyse("x;\n#endif\n"), ::testing::ExitedWithCode(support::kExitFatal), expected);
  EXPECT_EXIT(Analyse("#else\n"), ::testing::ExitedWithCode(support::kExitFatal),
              "a #else preprocessing directive");
  EXPECT_EXIT(Analyse("\n#elif X\n"), ::testing::ExitedWithCode(support::kExitFatal),
              ",2\\] a #elif preprocessing");
}

TEST_F(HalsteadTest, LineMarkersWarnAndCountNothing) {
  ::testing::internal::CaptureStderr();
  const Analysis analysis = Analyse("# 12 \"a.c\"\n#line 3\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Nivrak quorbcc1 - WARNING: halstead.l:Directive() #12 \"a.c\"\n");
  EXPECT_EQ(Lines(analysis), (Counts{2, 2, 0, 0, 0, 0}));
}

TEST_F(HalsteadTest, MissingFileIsAnInternalError) {
  HalsteadCounts counts{};
  std::vector<HiddenRange> ranges;
  frontend::RegionList regions{};
  EXPECT_EXIT(ComputeHalstead("/nonexistent/dir/gone.c", counts, ranges, regions),
              ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Halstead calcul : cannot open source file\n");
  EXPECT_EXIT(ComputeHalstead(nullptr, counts, ranges, regions),
              ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Cannot calcul Halstead parameters w/o file name\n");
}

}  // namespace
}  // namespace metrics
