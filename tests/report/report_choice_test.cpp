// --filter and --exclude on the fixtures (root /src/demo: prog.c, util.c,
// forced.c). The results groups, by their blocks: run1.qbr holds prog.c
// twice, util.c's current build and forced.c; run2.qbr prog.c, util.c's
// older build and 0xBEEF, a block no FDC file holds.
#include "report_fixture.h"

namespace report::testing_support {
namespace {

class ChoiceTest : public ReportTest {
 protected:
  QJsonObject JsonOf(const QStringList& options, RunOutput& run) {
    run = RunFixtures(options + QStringList{"--json", Q(dir + "r.json")});
    return ReadJson(dir + "r.json");
  }
};

TEST_F(ChoiceTest, OnlyChosenSourcesCountAndTheirLeftOutGroupsAreNotStale) {
  RunOutput run;
  const QJsonObject root = JsonOf({"--filter", "prog"}, run);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Sources(root), "prog.c ");
  // The total is prog.c's alone: no forced conditions, functions 3 of 4.
  EXPECT_EQ(root["total"]["functions"]["covered"].toInt(), 3);
  EXPECT_EQ(root["total"]["functions"]["total"].toInt(), 4);
  EXPECT_EQ(root["total"]["basic_conditions"]["total"].toInt(), 10);
  EXPECT_FALSE(root["total"].toObject().contains("forced_conditions"));
  // util.c (both builds) and forced.c: three groups left out; 0xBEEF stays stale.
  EXPECT_EQ(root["left_out"]["sources"].toInt(), 2);
  EXPECT_EQ(root["left_out"]["groups"].toInt(), 3);
  EXPECT_EQ(root["stale"].toArray().size(), 1);
  EXPECT_EQ(run.err, "quorbreport: warning: " + FixturePath("run2.qbr") +
                         ":13: stale results, not counted: no FDC block has key 0xBEEF, checksum 0x2328\n");
  EXPECT_EQ(run.out.rfind("Coverage of 1 file under /src/demo from 3 results sections, 1 stale group not counted\n"
                          "Left out by --filter and --exclude: 2 source files, 3 results groups\n\n",
                          0),
            0u)
      << run.out;
}

TEST_F(ChoiceTest, FiltersAddUpExclusionsTakeAwayUnanchoredOnRelativePaths) {
  RunOutput run;
  EXPECT_EQ(Sources(JsonOf({"--filter", "util", "--filter", "forced"}, run)), "forced.c util.c ");
  // Unanchored, on the relative path ("^util" below is anchored on it).
  EXPECT_EQ(Sources(JsonOf({"--filter", "rog"}, run)), "prog.c ");
  EXPECT_EQ(Sources(JsonOf({"--filter", "^/src"}, run)), "");
  EXPECT_NE(run.err.find("quorbreport: warning: no source file matches --filter and --exclude\n"), std::string::npos)
      << run.err;
  const QJsonObject excluded = JsonOf({"--exclude", "^util"}, run);
  EXPECT_EQ(Sources(excluded), "forced.c prog.c ");
  EXPECT_EQ(excluded["left_out"]["groups"].toInt(), 2);  // util.c's current and older builds
  EXPECT_EQ(excluded["total"]["functions"]["total"].toInt(), 5);
  EXPECT_EQ(Sources(JsonOf({"--filter", "\\.c$", "--exclude", "forced", "--exclude", "util"}, run)), "prog.c ");
}

TEST_F(ChoiceTest, BlocksNotReadStayStaleWhateverTheFilter) {
  // Only prog.c.fdc named: nothing tells which source the other groups are
  // of, so they are stale as without a filter.
  const RunOutput run = Run({Q(FixturePath("prog.c.fdc")), "-r", Q(FixturePath("run1.qbr")), "--filter", "prog"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "quorbreport: warning: " + FixturePath("run1.qbr") +
                         ":30: stale results, not counted: no FDC block has key 0x2222, checksum 0x1388\n"
                         "quorbreport: warning: " + FixturePath("run1.qbr") +
                         ":33: stale results, not counted: no FDC block has key 0x79725E4F, checksum 0x1B58\n");
  EXPECT_EQ(run.out.find("Left out"), std::string::npos);
}

TEST_F(ChoiceTest, ABadPatternIsAnError) {
  for (const auto& [option, pattern] : {std::pair{"--filter", "("}, std::pair{"--exclude", "a[b"}}) {
    const RunOutput run = RunFixtures({option, pattern});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(std::string("quorbreport: error: bad ") + option + " value \"" + pattern + "\": ", 0), 0u)
        << run.err;
  }
}

}  // namespace
}  // namespace report::testing_support
