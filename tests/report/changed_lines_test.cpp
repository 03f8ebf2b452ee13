// Changed lines: the unified-diff reader on hand-made diffs, and --diff on
// the fixtures with fixtures/changes.diff, whose new side changes or adds
//   prog.c lines 5 (an added line amid context), 13 (a replaced line) and
//   20 (counts left out of the header); its deleted lines (one that starts
//   with "--") change none; util.c (renamed from old_util.c) line 3;
//   forced.c is deleted and other.c, not in the report, is added.
// Branches of prog.c beginning on 5, 13, 20: conditions a, b, c (5 of 6
// branches ran), the decision (2 of 3 conditions shown, 3 of 4 rows), the
// implicit else (ran); n > 0 (2 of 2) and the loop (1 of 3); puts (not run).
// Of util.c, the return on line 3 (ran); its entry is on line 1.
#include "report/changed_lines.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

std::string Described(const ChangedLineMap& changed) {
  std::string text;
  for (const auto& [path, lines] : changed) {
    text += path + ":";
    for (const std::uint32_t line : lines) text += " " + std::to_string(line);
    text += "\n";
  }
  return text;
}

std::string Parsed(const std::string& diff) {
  ChangedLineMap changed;
  std::string error;
  if (!ParseUnifiedDiff(diff, changed, error)) return "error: " + error;
  return Described(changed);
}

TEST(ChangedLines, HunksGiveTheNewSidesChangedAndAddedLines) {
  EXPECT_EQ(Parsed(ReadAll(FixturePath("changes.diff"))),
            "other.c: 1 2\n"
            "prog.c: 5 13 20\n"
            "util.c: 3\n");
  // Context lines count on the new side without being changed; a line whose
  // trailing blank an editor trimmed is context too.
  EXPECT_EQ(Parsed("--- a/x.c\n+++ b/x.c\n@@ -10,4 +10,5 @@\n a\n-b\n+B\n+C\n\n d\n"), "x.c: 11 12\n");
  // A diff without prefixes (diff -u), with dates after a tab; a quoted path.
  EXPECT_EQ(Parsed("--- x.c\t2024-01-01\n+++ y/x.c\t2024-01-02\n@@ -1 +1 @@\n-a\n+b\n"), "y/x.c: 1\n");
  EXPECT_EQ(Parsed("--- \"a/t\\tb.c\"\n+++ \"b/t\\tb \\\"q\\\".c\"\n@@ -1 +1 @@\n-a\n+b\n"), "t\tb \"q\".c: 1\n");
  EXPECT_EQ(Parsed("--- \"a/\\303\\251.c\"\n+++ \"b/\\303\\251.c\"\n@@ -0,0 +1 @@\n+x\n"), "\xc3\xa9.c: 1\n");
  // Several hunks and files, CRLF line ends; a rename without a hunk has no line.
  EXPECT_EQ(Parsed("diff --git a/r.c b/s.c\r\nrename from r.c\r\nrename to s.c\r\n"
                   "--- a/x.c\r\n+++ b/x.c\r\n@@ -1 +1,2 @@\r\n+new\r\n a\r\n@@ -9,0 +11 @@\r\n+z\r\n"),
            "x.c: 1 11\n");
  EXPECT_EQ(Parsed(""), "");
}

TEST(ChangedLines, AMalformedDiffIsAnErrorNamingItsLine) {
  EXPECT_EQ(Parsed("--- a/x.c\n+++ b/x.c\n@@ -1 +1 @\n"), "error: line 3: bad hunk header \"@@ -1 +1 @\"");
  EXPECT_EQ(Parsed("--- a/x.c\n+++ b/x.c\n@@ -1,2 +1,2 @@\n a\n"), "error: line 4: the diff ends inside a hunk");
  EXPECT_EQ(Parsed("--- a/x.c\n+++ b/x.c\n@@ -1,2 +1,2 @@\n a\n?\n"), "error: line 5: the hunk ends early");
  EXPECT_EQ(Parsed("--- a/x.c\n+++ b/x.c\n@@ -1 +1 @@\n+a\n+b\n-c\n"),
            "error: line 5: more lines than the hunk header says");
}

TEST_F(ReportTest, DiffCountsOnlyTheBranchesOnChangedLines) {
  const QString diff = Q(FixturePath("changes.diff"));
  const RunOutput run = RunFixtures({"--diff", diff, "--details", "--json", Q(dir + "r.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  // Past the first two lines, the total is prog.c's.
  const std::string rest = DetailsLine("calls", 0, 1, "0.0%") + DetailsLine("statement blocks", 0, 0, "-") +
                           DetailsLine("implicit blocks", 1, 1, "100.0%") + DetailsLine("decisions", 1, 1, "100.0%") +
                           DetailsLine("loops", 1, 3, "33.3%") + DetailsLine("basic conditions", 7, 8, "87.5%") +
                           DetailsLine("modified conditions", 2, 3, "66.6%") +
                           DetailsLine("multiple conditions", 3, 4, "75.0%");
  const std::string none = DetailsLine("functions", 0, 0, "-");
  const std::string util = none + DetailsLine("exits", 1, 1, "100.0%");
  const std::string prog = none + DetailsLine("exits", 0, 0, "-") + rest;
  EXPECT_EQ(run.out, "Coverage of changed lines of 2 files under /src/demo from 3 results sections, 2 stale groups "
                     "not counted\n"
                     "Only branches on lines changed in " + diff.toStdString() + " count; 1 source file without a "
                     "changed line left out\n\n"
                     "                          covered     total  percent\n"
                     "prog.c\n" + prog + "util.c\n" + util + "TOTAL\n" + util + rest);
  const QJsonObject root = ReadJson(dir + "r.json");
  EXPECT_EQ(root["mode"].toString(), "changed_lines");
  EXPECT_EQ(root["changes"]["diff"].toString(), diff);
  const QJsonArray files = root["files"].toArray();
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0]["changed_lines"].toArray(), (QJsonArray{5, 13, 20}));
  EXPECT_EQ(files[1]["changed_lines"].toArray(), (QJsonArray{3}));
  // Functions left with a branch on a changed line: check, sum, never (main has none).
  QStringList names;
  for (const QJsonValue& function : files[0]["functions"].toArray()) names << function["name"].toString();
  EXPECT_EQ(names, (QStringList{"check", "sum", "never"}));
  EXPECT_EQ(files[0]["functions"][2]["branches"].toArray().size(), 1);  // the call of puts alone
}

TEST_F(ReportTest, DiffLimitsTheThresholds) {
  const QString diff = Q(FixturePath("changes.diff"));
  // Functions: the build has them, no changed line does: nothing to check.
  const RunOutput functions = RunFixtures({"--diff", diff, "--fail-under", "functions=90"});
  EXPECT_EQ(functions.status, 0) << functions.err;
  EXPECT_NE(functions.err.find("quorbreport: note: no functions branch counts on the changed lines; its threshold "
                               "has nothing to check\n"),
            std::string::npos)
      << functions.err;
  EXPECT_EQ(RunFixtures({"--diff", diff, "--fail-under", "basic_conditions=87.5"}).status, 0);
  EXPECT_EQ(RunFixtures({"--diff", diff, "--fail-under", "basic_conditions=87.6"}).status, 2);
  EXPECT_EQ(RunFixtures({"--diff", diff, "--fail-under-file", "exits=100"}).status, 0);
  // forced.c left the report: forced conditions are no longer carried at all.
  EXPECT_EQ(RunFixtures({"--diff", diff, "--fail-under", "forced_conditions=10"}).status, 1);
}

// The Markdown table's form is seen with the exclusions; here its note, the
// temporary directory's "_" escaped.
TEST_F(ReportTest, MarkdownNotesTheChangedLinesMode) {
  const std::string diff = dir + "changes.diff";
  std::ofstream(diff) << ReadAll(FixturePath("changes.diff"));
  ASSERT_EQ(RunFixtures({"--diff", Q(diff), "--markdown", Q(dir + "s.md")}).status, 0);
  std::string shown;
  for (const char c : diff) shown += c == '_' ? std::string("\\_") : std::string(1, c);
  EXPECT_EQ(ReadAll(dir + "s.md").rfind("### Coverage of changed lines of 2 files\n\nOnly branches on lines changed "
                                        "in " + shown + " count; 1 source file without a changed line left out.\n\n"
                                        "| file | functions | exits | calls |", 0),
            0u);
}

TEST_F(ReportTest, DiffOptionsAreCheckedAndAnUnreadableDiffIsAnError) {
  const RunOutput both = RunFixtures({"--diff", "x.diff", "--diff-from", "HEAD"});
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.err, "quorbreport: error: --diff and --diff-from exclude each other\n");
  const RunOutput missing = RunFixtures({"--diff", Q(dir + "none.diff")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("quorbreport: error: " + dir + "none.diff: cannot be read\n"), std::string::npos)
      << missing.err;
  std::ofstream(dir + "bad.diff") << "--- a/prog.c\n+++ b/prog.c\n@@ -1,3 +1,3 @@\n x\n";
  const RunOutput bad = RunFixtures({"--diff", Q(dir + "bad.diff")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("quorbreport: error: " + dir + "bad.diff: line 4: the diff ends inside a hunk\n"),
            std::string::npos)
      << bad.err;
}

}  // namespace
}  // namespace report::testing_support
