// The terminal summary: the compact table (a column per carried category,
// "-" where a file has no branch of it), --functions, --details and --sort.
// The fixtures' figures are those worked out in report_outputs_test.cpp.
#include "report_fixture.h"

namespace report::testing_support {
namespace {

// The first column of every line of the table (after the header's blank line).
std::string NameColumn(const std::string& out) {
  std::istringstream lines(out.substr(out.find("\n\n") + 2));
  std::string names, line;
  while (std::getline(lines, line)) names += line.substr(0, line.find("  ", 2)) + "|";
  return names;
}

TEST_F(ReportTest, TheTableHasARowPerFileAndAColumnPerCategory) {
  const RunOutput run = RunFixtures();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Coverage of 3 files under /src/demo from 3 results sections, 2 stale groups not counted\n"
            "\n"
            "file      functions   exits   calls  statements  implicit  decisions   loops  conditions  modified  "
            "multiple  forced\n"
            "forced.c     100.0%       -       -           -         -          -       -       75.0%         -  "
            "       -   50.0%\n"
            "prog.c        75.0%   80.0%   66.6%       75.0%    100.0%      83.3%   33.3%       80.0%     66.6%  "
            "   75.0%       -\n"
            "util.c       100.0%  100.0%       -           -         -          -       -           -         -  "
            "       -       -\n"
            "TOTAL         83.3%   83.3%   66.6%       75.0%    100.0%      83.3%   33.3%       78.5%     66.6%  "
            "   75.0%   50.0%\n");
}

TEST_F(ReportTest, FunctionsAreRowsOfTheTableOrBlocksOfTheDetails) {
  RunOutput run = RunFixtures({"--functions"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(NameColumn(run.out), "file|forced.c|  pick|prog.c|  check|  sum|  never|  main|util.c|  twice|TOTAL|");
  // check(): exits 2/2, no call, blocks 2/2 and 1/1, no loop, conditions 5/6,
  // modified 2/3, multiple 3/4.
  EXPECT_NE(run.out.find("\n  check      100.0%  100.0%       -      100.0%    100.0%     100.0%       -       83.3%"
                         "     66.6%     75.0%       -\n"),
            std::string::npos)
      << run.out;
  run = RunFixtures({"--functions", "--details"});
  EXPECT_NE(run.out.find("prog.c\n  functions                     3         4    75.0%\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  never (lines 18-21)\n    functions                   0         1     0.0%\n"
                         "    exits                       0         1     0.0%\n    calls                       0"
                         "         1     0.0%\n"),
            std::string::npos)
      << run.out;
}

TEST_F(ReportTest, PercentagesAreColouredOnlyOnATerminal) {
  // Complete in green, at least half in yellow, less in red.
  const QStringList arguments{Q(FixturePath("prog.c.fdc")), "-r", Q(FixturePath("run1.qbr"))};
  std::ostringstream table, details, err;
  ASSERT_EQ(RunReport(arguments, {table, err, true}), 0);
  EXPECT_NE(table.str().find("\nprog.c  \033[33m    75.0%\033[0m"), std::string::npos) << table.str();
  EXPECT_NE(table.str().find("  \033[32m  100.0%\033[0m  "), std::string::npos) << table.str();
  EXPECT_NE(table.str().find("  \033[31m 33.3%\033[0m  "), std::string::npos) << table.str();
  ASSERT_EQ(RunReport(arguments + QStringList{"--details"}, {details, err, true}), 0);
  EXPECT_NE(details.str().find("  implicit blocks               2         2\033[32m   100.0%\033[0m\n"),
            std::string::npos)
      << details.str();
  EXPECT_EQ(RunFixtures().out.find('\033'), std::string::npos);
  const RunOutput help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--fail-under <category=percent>"), std::string::npos) << help.out;
}

class SortTest : public ReportTest {
 protected:
  // a.c: 1 of 1 function ran; b.c: 1 of 2 (50%, 1 missed); c.c: 8 of 10
  // (80%, 2 missed). By name a, b, c; by missed c, b, a; by coverage b, c, a.
  void SetUp() override {
    ReportTest::SetUp();
    std::ofstream fdc(dir + "all.fdc");
    std::ofstream results(dir + "all.qbr");
    results << "R 1 1\n";
    const char* names[] = {"a.c", "b.c", "c.c"};
    const int functions[] = {1, 2, 10}, ran[] = {1, 1, 8};
    for (int f = 0; f < 3; ++f) {
      fdc << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"" << names[f] << "\" \"/p/\"\nFD 1\nTC PR\n";
      for (int i = 0; i < functions[f]; ++i) fdc << "PR " << i << " proc \"f" << i << "\" " << i + 1 << " " << i + 1 << "\n";
      fdc << "DC 1 " << f + 1 << "\n";
      results << "F 0x" << f + 1 << " 0x1\n";
      for (int i = 0; i < ran[f]; ++i) results << "P " << i << " 1\n";
    }
  }

  RunOutput RunSorted(const QStringList& extra) {
    return Run(QStringList{Q(dir + "all.fdc"), "-r", Q(dir + "all.qbr")} + extra);
  }
};

TEST_F(SortTest, SortOrdersTheFilesByNameMissedOrCoverage) {
  EXPECT_EQ(NameColumn(RunSorted({}).out), "file|a.c|b.c|c.c|TOTAL|");
  EXPECT_EQ(NameColumn(RunSorted({"--sort", "name"}).out), "file|a.c|b.c|c.c|TOTAL|");
  EXPECT_EQ(NameColumn(RunSorted({"--sort", "missed"}).out), "file|c.c|b.c|a.c|TOTAL|");
  EXPECT_EQ(NameColumn(RunSorted({"--sort", "coverage"}).out), "file|b.c|c.c|a.c|TOTAL|");
  const RunOutput details = RunSorted({"--sort", "coverage", "--details"});
  EXPECT_LT(details.out.find("\nb.c\n"), details.out.find("\nc.c\n")) << details.out;
  EXPECT_LT(details.out.find("\nc.c\n"), details.out.find("\na.c\n")) << details.out;
  const RunOutput bad = RunSorted({"--sort", "size"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "quorbreport: error: bad --sort value \"size\": expected name, missed or coverage\n");
}

}  // namespace
}  // namespace report::testing_support
