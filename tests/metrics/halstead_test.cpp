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
#include <optional>
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
  void TearDown() override { std::filesystem::remove(path_); }

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

using Counts = std::vector<std::uint32_t>;
using Ranges = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
using Regions = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// n1, n2, N1, N2.
Counts Halstead(const Analysis& analysis) {
  return {analysis.counts[0], analysis.counts[1], analysis.counts[2], analysis.counts[3]};
}
// Total, code, code and comment, comment, blank, comments.
Counts Lines(const Analysis& analysis) {
  return {analysis.counts[4], analysis.counts[5], analysis.counts[6],
          analysis.counts[7], analysis.counts[8], analysis.counts[9]};
}

// One file and what it must give; an absent expectation is not checked.
struct Case {
  std::string source;
  std::optional<Counts> halstead = {};
  std::optional<Counts> lines = {};
  std::optional<Ranges> ranges = {};
  std::optional<Regions> regions = {};
};

// The cases run in one process, one file after another: operators and
// operands seen in one file must not count in the next.
TEST_F(HalsteadTest, CountsLinesHiddenRangesAndRegions) {
  const std::string longText(40000, 'v');
  std::string utf16 = "\xFF\xFE";  // "a = b; // é\n" in UTF-16 little-endian with its mark
  for (const char16_t c : QString::fromUtf8("a = b; // \xC3\xA9\n").toStdU16String()) {
    utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  }
  const Case cases[] = {
      // ( and [ are operators, ) and ] nothing.
      {.source = "f(x[1])\n", .halstead = Counts{2, 3, 2, 3}},
      // Keywords are operators: int ( void { return ;
      {.source = "int main(void) { return 0; }\n", .halstead = Counts{6, 2, 6, 2}},
      {.source = "a = a + a; a += 1;\n", .halstead = Counts{4, 2, 5, 5}},
      // Digraphs are the kinds they spell.
      {.source = "a <: 0 :> <% %>\n", .halstead = Counts{2, 2, 2, 2}},
      // s "a\"b" 'c' '\n' 0x1F 0b101 1.5f .5 1e5 012 12L L'a': 13 operands, = and ; the operators.
      {.source = "s = \"a\\\"b\" 'c' '\\n' 0x1F 0b101 1.5f .5 1e5 012 12L L'a';\n", .halstead = Counts{2, 13, 2, 13}},
      // Quotes that start no valid literal only mark the line: x and ab remain.
      {.source = "x = 'ab';\n", .halstead = Counts{2, 2, 2, 2}},
      // A string continued over two lines is one operand on two code lines.
      {.source = "s = \"ab\\\ncd\";\n", .halstead = Counts{2, 2, 2, 2}, .lines = Counts{2, 2, 0, 0, 0, 0}},
      {.source = "/* c */\nx; // c\n\nint y;\n", .lines = Counts{4, 1, 1, 1, 1, 2}, .ranges = Ranges{{0, 7}, {11, 15}}},
      // A block comment over two lines: comment only, then comment and code.
      {.source = "/* a\nb */ x;\n", .lines = Counts{2, 0, 1, 1, 0, 1}, .ranges = Ranges{{0, 9}}},
      // The end of the file counts the last line once.
      {.source = "", .lines = Counts{1, 0, 0, 1, 0, 0}},
      {.source = "x;", .lines = Counts{1, 1, 0, 0, 0, 0}},
      // The newline that ends a line comment ends its line: no line follows.
      {.source = "x;\n// c\n", .lines = Counts{2, 1, 0, 1, 0, 1}},
      {.source = "x; // c", .lines = Counts{1, 0, 1, 0, 0, 1}, .ranges = Ranges{{3, 7}}},
      // An unterminated block comment: its lines count, it records no range.
      {.source = "x;\n/* c\nd", .lines = Counts{3, 1, 0, 2, 0, 1}, .ranges = Ranges{}},
      // A continuation swallows the joined line; compilers join a backslash
      // before CR LF as well.
      {.source = "x = 1 + \\\n 2;\ny;\n", .halstead = Counts{3, 3, 3, 3}, .lines = Counts{3, 3, 0, 0, 0, 0}},
      {.source = "x = 1 + \\\r\n 2;\r\ny;\r\n", .halstead = Counts{3, 3, 3, 3}, .lines = Counts{3, 3, 0, 0, 0, 0}},
      // A directive continued over a CR LF counts nothing and hides both lines.
      {.source = "#define M(a) \\\r\n  ((a) + 1)\r\nx;\r\n", .halstead = Counts{1, 1, 1, 1}, .ranges = Ranges{{0, 28}}},
      // Conditional regions run from directive to directive; directives count
      // no operator: int ; x ; y ; only.
      {.source = "int a;\nint b;\n#if A\nx;\n#else\ny;\n#endif\n",
       .halstead = Counts{2, 4, 6, 4},
       .lines = Counts{7, 7, 0, 0, 0, 0},
       .ranges = Ranges{{14, 19}, {23, 28}, {32, 38}},
       .regions = Regions{{3, 5}, {5, 7}}},
      {.source = "  #ifdef A\n%:ifndef B\n#elif C\n# endif\n#endif\n", .regions = Regions{{1, 5}, {2, 3}, {3, 4}}},
      // A region that no #endif closes ends on the last line.
      {.source = "#if A\nx;\n", .regions = Regions{{1, 2}}},
      // A comment that goes on past the directive is read to its end and ends
      // the comment mark there.
      {.source = "#if A /* one\ntwo */ x;\n#endif\n",
       .halstead = Counts{1, 1, 1, 1},
       .lines = Counts{3, 2, 1, 0, 0, 1},
       .ranges = Ranges{{0, 12}, {6, 19}, {23, 29}},
       .regions = Regions{{1, 3}}},
      // NUL, bytes of 128 and more, "@" and "`" only mark their line.
      {.source = std::string("x\0\x80\xff@`;\n\x01\n", 10),
       .halstead = Counts{1, 1, 1, 1},
       .lines = Counts{2, 2, 0, 0, 0, 0}},
      // A directive and a string far longer than the scanner's first buffer.
      {.source = "#define L \\\n" + longText + "\ns = \"" + longText + "\";\n",
       .halstead = Counts{2, 2, 2, 2},
       .lines = Counts{3, 3, 0, 0, 0, 0},
       .ranges = Ranges{{0, 12 + longText.size()}}},
      // UTF-16: offsets are those of the UTF-8 text, without the mark.
      {.source = utf16, .halstead = Counts{2, 2, 2, 2}, .lines = Counts{1, 0, 1, 0, 0, 1}, .ranges = Ranges{{7, 12}}},
      // A UTF-8 byte-order mark keeps the first line a directive.
      {.source = "\xEF\xBB\xBF#if A\n#endif\n", .halstead = Counts{0, 0, 0, 0}, .ranges = Ranges{{3, 8}, {9, 15}},
       .regions = Regions{{1, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source.substr(0, 60));
    const Analysis analysis = Analyse(c.source);
    if (c.halstead) { EXPECT_EQ(Halstead(analysis), *c.halstead); }
    if (c.lines) { EXPECT_EQ(Lines(analysis), *c.lines); }
    if (c.ranges) { EXPECT_EQ(analysis.ranges, *c.ranges); }
    if (c.regions) { EXPECT_EQ(analysis.regions, *c.regions); }
  }
}

// The message of a stray #endif is the command-line case listing_bad_sources's.
TEST_F(HalsteadTest, UnmatchedDirectivesEndTheRun) {
  EXPECT_EXIT(Analyse("#else\n"), ::testing::ExitedWithCode(support::kExitFatal), "a #else preprocessing directive");
  EXPECT_EXIT(Analyse("\n#elif X\n"), ::testing::ExitedWithCode(support::kExitFatal), ",2\\] a #elif preprocessing");
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
