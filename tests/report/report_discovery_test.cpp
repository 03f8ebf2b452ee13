// Finding the inputs without -r: every quorb.qbr under the directories
// searched, and ./quorb.qbr, each read once; and what the messages say
// when nothing is found. util.c's current build (key 0x2222, checksum
// 0x1388) gets its entry counted by each results file: 2 under tree/, 3 in
// the current directory, 100 under other/ (not searched unless named).
#include "report_fixture.h"

namespace report::testing_support {
namespace {

class DiscoveryTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    std::filesystem::create_directories(dir + "tree/sub");
    std::filesystem::create_directories(dir + "tree/run");
    std::filesystem::create_directories(dir + "other");
    std::filesystem::copy_file(FixturePath("util.c.fdc"), dir + "tree/sub/util.c.fdc");
    std::ofstream(dir + "tree/run/quorb.qbr") << "R 1 1\nF 0x2222 0x1388\nP 0 2\n";
    std::ofstream(dir + "quorb.qbr") << "R 2 2\nF 0x2222 0x1388\nP 0 3\n";
    std::ofstream(dir + "other/quorb.qbr") << "R 3 3\nF 0x2222 0x1388\nP 0 100\n";
  }

  // Runs in the test's directory; the JSON report's results files, sections
  // and the count of twice()'s entry.
  std::string RunHere(const QStringList& arguments, RunOutput& run) {
    run = RunIn(dir, arguments + QStringList{"--json", "r.json"});
    const QJsonObject root = ReadJson(dir + "r.json");
    std::string text;
    for (const QJsonValue& file : root["results_files"].toArray()) text += file.toString().toStdString() + " ";
    const QJsonValue entry = root["files"][0]["functions"][0]["branches"][0]["count"];
    return text + "sections " + std::to_string(root["sections"].toInt()) + " count " + std::to_string(entry.toInt());
  }
};

TEST_F(DiscoveryTest, ResultsAreFoundUnderTheInputsAndInTheCurrentDirectory) {
  RunOutput run;
  EXPECT_EQ(RunHere({"tree"}, run), "tree/run/quorb.qbr quorb.qbr sections 2 count 5");
  EXPECT_EQ(run.err, "");
  // The default input "." holds all three; ./quorb.qbr found twice is read once.
  EXPECT_EQ(RunHere({}, run), "./other/quorb.qbr ./quorb.qbr ./tree/run/quorb.qbr sections 3 count 105");
  // A named FDC file is not a directory to search.
  EXPECT_EQ(RunHere({"tree/sub/util.c.fdc"}, run), "quorb.qbr sections 1 count 3");
  // -r names the results files: nothing is looked for.
  EXPECT_EQ(RunHere({"tree", "-r", "other/quorb.qbr"}, run), "other/quorb.qbr sections 1 count 100");
}

TEST_F(DiscoveryTest, MessagesSayWhereTheyLookedAndWhatToDo) {
  std::filesystem::remove(dir + "quorb.qbr");
  std::filesystem::remove(dir + "tree/run/quorb.qbr");
  RunOutput run;
  // Without results every branch counts as never run.
  EXPECT_EQ(RunHere({"tree/sub/util.c.fdc"}, run), "sections 0 count 0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "quorbreport: warning: no results file: no quorb.qbr in the current directory (no directory "
                     "searched); programs write their results to quorb.qbr in the build's top directory, or to the "
                     "file QBC_RESULTS names (read it with -r); every branch counts as never run\n");
  RunHere({"tree"}, run);
  EXPECT_EQ(run.err, "quorbreport: warning: no results file: no quorb.qbr under tree (searched recursively) nor in "
                     "the current directory; programs write their results to quorb.qbr in the build's top directory, "
                     "or to the file QBC_RESULTS names (read it with -r); every branch counts as never run\n");
  std::filesystem::create_directories(dir + "empty");
  RunHere({"empty", "other"}, run);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: no FDC file found under empty, other (searched recursively): build with "
                     "quorbcc, or name FDC files or directories as arguments\n");
  RunHere({Q(FixturePath("analyses/prog.c.tsf")), "--lcov", "r.info"}, run);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: no FDC file found among the files named: build with quorbcc, or name FDC "
                     "files or directories as arguments\n");
}

}  // namespace
}  // namespace report::testing_support
