// --fail-under, --fail-under-file and --fail-under-allow-missing on the
// fixtures. Totals: functions 5/6 (83.3%), statement blocks 3/4, loops 1/3;
// per file: prog.c functions 3/4, exits 4/5, basic conditions 8/10;
// forced.c functions 1/1, basic conditions 3/4, no exits; util.c functions
// 1/1, exits 1/1, no conditions.
#include "report/thresholds.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

const std::string kCategories =
    "; categories: functions, exits, calls, statement_blocks, implicit_blocks, decisions, loops, basic_conditions, "
    "modified_conditions, multiple_conditions, forced_conditions";

// The threshold messages come last, after the warnings about stale results.
::testing::AssertionResult EndsWith(const std::string& text, const std::string& end) {
  if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\"" << text << "\" does not end with \"" << end << "\"";
}

TEST(Thresholds, ParseNamesInAnyCaseAndPercentsWithOrWithoutTheSign) {
  std::string error;
  const struct {
    const char* text;
    Category category;
    double percent;
  } good[] = {{"functions=50%", Category::kFunctions, 50},
              {"STATEMENT-BLOCKS=12.5%", Category::kStatementBlocks, 12.5},
              {"statement blocks=0", Category::kStatementBlocks, 0},
              {"Modified_Conditions=100", Category::kModifiedConditions, 100}};
  for (const auto& expected : good) {
    const std::optional<Threshold> threshold = ParseThreshold(expected.text, error);
    ASSERT_TRUE(threshold) << expected.text << ": " << error;
    EXPECT_EQ(threshold->category, expected.category) << expected.text;
    EXPECT_EQ(threshold->percent, expected.percent) << expected.text;
  }
  for (const char* bad : {"functions=101", "functions=-1", "functions=", "functions=%", "functions=abc",
                          "functions=nan", "functions=inf", "functions=50%%", "functions"}) {
    error.clear();
    EXPECT_FALSE(ParseThreshold(bad, error)) << bad;
    EXPECT_NE(error.find(kCategories.substr(2)), std::string::npos) << bad << ": " << error;
  }
}

TEST_F(ReportTest, ABadThresholdIsAnErrorThatListsTheCategories) {
  const struct {
    const char *option, *value, *fault;
  } cases[] = {{"--fail-under", "lines=50", "unknown category \"lines\""},
               {"--fail-under-file", "functions=1O", "expected a percent from 0 to 100 after \"=\""},
               {"--fail-under", "functions", "expected CATEGORY=PERCENT"}};
  for (const auto& bad : cases) {
    const RunOutput run = RunFixtures({bad.option, bad.value});
    EXPECT_EQ(run.status, 1) << bad.value;
    EXPECT_EQ(run.err, std::string("quorbreport: error: bad ") + bad.option + " value \"" + bad.value + "\": " +
                           bad.fault + kCategories + "\n");
  }
}

// The total and each file against their thresholds; only the missed ones are
// named, after the warnings about stale results.
TEST_F(ReportTest, ThresholdsOnTheTotalAndEveryFile) {
  const struct {
    QStringList options;
    int status;
    const char* end;
  } cases[] = {
      {{"--fail-under", "functions=83"}, 0, "0x2328\n"},
      {{"--fail-under", "functions=50", "--fail-under", "loops=33.4%"}, 2,
       "0x2328\nquorbreport: loops coverage 33.3% is under 33.4%\n"},
      {{"--fail-under-file", "functions=80"}, 2, "0x2328\nquorbreport: prog.c: functions coverage 75.0% is under 80%\n"},
      // forced.c (75%) and prog.c (80%) under 85%; util.c has no condition.
      {{"--fail-under-file", "basic_conditions=85%"}, 2,
       "0x2328\nquorbreport: forced.c: basic conditions coverage 75.0% is under 85%\n"
       "quorbreport: prog.c: basic conditions coverage 80.0% is under 85%\n"},
      // forced.c, without exits, has nothing to check.
      {{"--fail-under-file", "exits=80"}, 0, "0x2328\n"},
  };
  for (const auto& c : cases) {
    const RunOutput run = RunFixtures(c.options);
    EXPECT_EQ(run.status, c.status) << c.options.join(' ').toStdString();
    EXPECT_TRUE(EndsWith(run.err, c.end)) << c.options.join(' ').toStdString();
  }
}

TEST_F(ReportTest, AThresholdOnACategoryWithoutBranchesFailsUnlessAllowed) {
  // util.c carries functions and exits only.
  const QStringList util{Q(FixturePath("util.c.fdc")), "-r", Q(FixturePath("run1.qbr"))};
  RunOutput run = Run(util + QStringList{"--fail-under", "loops=10"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(EndsWith(run.err, "0x1B58\nquorbreport: error: no branch of loops in the report, so its threshold "
                                "cannot be met (--fail-under-allow-missing lets it pass)\n"));
  run = Run(util + QStringList{"--fail-under-file", "loops=10"});
  EXPECT_EQ(run.status, 1);
  run = Run(util + QStringList{"--fail-under", "loops=10", "--fail-under-allow-missing"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(EndsWith(run.err, "0x1B58\nquorbreport: warning: no branch of loops in the report; its threshold is "
                                "not checked\n"));
  // A missing category outweighs a missed threshold.
  run = Run(util + QStringList{"--fail-under", "functions=100", "--fail-under", "calls=1"});
  EXPECT_EQ(run.status, 1);
  run = Run(util + QStringList{"--fail-under", "exits=100", "--fail-under", "functions=100"});
  EXPECT_EQ(run.status, 0);
}

}  // namespace
}  // namespace report::testing_support
