// The report's figures on the hand-written fixtures, worked out by hand from
// the records and the results:
//   prog.c: 4 functions (never() never runs), 5 exits, 6 calls (puts twice
//   never), blocks then/else/seq in check(), the while loop of sum() ran 3
//   times (only its "2+" branch), the decision a && (b || c) saw rows TTX,
//   TFF and FXX (a shown by rows 0 and 3, b by rows 0 and 2, c not: it
//   needs rows 1 and 2). Results come from two processes and two units.
//   util.c: the current build ran; results of its older build are stale.
//   forced.c: x || y forced, combinations FF and TF seen: x shown, y not.
#include "report_fixture.h"

namespace report::testing_support {
namespace {

QJsonObject FileNamed(const QJsonObject& root, const QString& source) {
  for (const QJsonValue& file : root["files"].toArray()) {
    if (file["source"].toString() == source) return file.toObject();
  }
  ADD_FAILURE() << "no file " << source.toStdString();
  return {};
}

QJsonObject FunctionNamed(const QJsonObject& file, const QString& name) {
  for (const QJsonValue& function : file["functions"].toArray()) {
    if (function["name"].toString() == name) return function.toObject();
  }
  ADD_FAILURE() << "no function " << name.toStdString();
  return {};
}

TEST_F(ReportTest, DetailsShowEveryCarriedCategoryPerFileAndInTotal) {
  const RunOutput run = RunFixtures({"--details"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Paths relative to the sources' common directory: the tests do not run in it.
  EXPECT_EQ(run.out,
      "Coverage of 3 files under /src/demo from 3 results sections, 2 stale groups not counted\n"
      "\n"
      "                          covered     total  percent\n"
      "forced.c\n"
      "  functions                     1         1   100.0%\n"
      "  basic conditions              3         4    75.0%\n"
      "  forced conditions             1         2    50.0%\n"
      "prog.c\n"
      "  functions                     3         4    75.0%\n"
      "  exits                         4         5    80.0%\n"
      "  calls                         4         6    66.6%\n"
      "  statement blocks              3         4    75.0%\n"
      "  implicit blocks               2         2   100.0%\n"
      "  decisions                     5         6    83.3%\n"
      "  loops                         1         3    33.3%\n"
      "  basic conditions              8        10    80.0%\n"
      "  modified conditions           2         3    66.6%\n"
      "  multiple conditions           3         4    75.0%\n"
      "util.c\n"
      "  functions                     1         1   100.0%\n"
      "  exits                         1         1   100.0%\n"
      "TOTAL\n"
      "  functions                     5         6    83.3%\n"
      "  exits                         5         6    83.3%\n"
      "  calls                         4         6    66.6%\n"
      "  statement blocks              3         4    75.0%\n"
      "  implicit blocks               2         2   100.0%\n"
      "  decisions                     5         6    83.3%\n"
      "  loops                         1         3    33.3%\n"
      "  basic conditions             11        14    78.5%\n"
      "  modified conditions           2         3    66.6%\n"
      "  multiple conditions           3         4    75.0%\n"
      "  forced conditions             1         2    50.0%\n");
}

TEST_F(ReportTest, JsonAddsUpUnitsAndProcessesAndLeavesStaleResultsOut) {
  // run1.qbr named twice still counts once.
  const RunOutput run = RunFixtures({"-r", Q(FixturePath("run1.qbr")), "--json", Q(dir + "r.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject root = ReadJson(dir + "r.json");
  EXPECT_EQ(root["format"].toString(), "quorbreport-1");
  EXPECT_EQ(root["sections"].toInt(), 3);
  const QJsonObject prog = FileNamed(root, "prog.c");
  EXPECT_EQ(prog["key"].toString(), "0x1234");
  EXPECT_EQ(prog["checksum"].toString(), "0x2328");
  EXPECT_EQ(prog["groups"].toInt(), 3);
  EXPECT_DOUBLE_EQ(prog["coverage"]["functions"]["percent"].toDouble(), 75.0);
  EXPECT_TRUE(FunctionNamed(prog, "check").value("coverage")["calls"]["percent"].isNull());
  // check() ran twice in the first process and once in the second.
  const QJsonObject entry = FunctionNamed(prog, "check")["branches"][0].toObject();
  EXPECT_EQ(entry["label"].toString(), "entry");
  EXPECT_EQ(entry["count"].toInt(), 3);
  // The older build's counts (7) are not added to the current block's.
  const QJsonObject twice = FunctionNamed(FileNamed(root, "util.c"), "twice");
  EXPECT_EQ(twice["branches"][0]["count"].toInt(), 1);
  const QJsonArray stale = root["stale"].toArray();
  ASSERT_EQ(stale.size(), 2);
  EXPECT_EQ(stale[0]["checksum"].toString(), "0xFA0");
  EXPECT_EQ(stale[0]["older_build_of"].toString(), "util.c");
  EXPECT_EQ(stale[1]["key"].toString(), "0xBEEF");
  EXPECT_TRUE(stale[1]["older_build_of"].isNull());
}

// README's keys of a row and of a condition, each object whole; the
// verdicts themselves are checked on random decisions in mcdc_verdict_test.
TEST_F(ReportTest, JsonGivesCaseTableRowsAndIndependencePairs) {
  const QJsonObject root = FixturesJson();
  const QJsonObject decision = FunctionNamed(FileNamed(root, "prog.c"), "check")["decisions"][0].toObject();
  EXPECT_FALSE(decision["forced"].toBool());
  EXPECT_EQ(decision["first_line"].toInt(), 5);
  EXPECT_EQ(decision["observed"].toInt(), 3);
  EXPECT_EQ(decision["combinations"].toInt(), 4);
  const auto row = [](const char* text, bool value, int id, int count) {
    return QJsonObject{{"text", text}, {"value", value}, {"id", id}, {"count", count}};
  };
  EXPECT_EQ(decision["rows"][1].toObject(), row("TFT", true, 7, 0));
  EXPECT_EQ(decision["conditions"][0].toObject(),
            (QJsonObject{{"text", "a"}, {"shown", true}, {"pair", QJsonArray{0, 3}},
                         {"pairs", QJsonArray{QJsonArray{0, 3}, QJsonArray{1, 3}}}}));
  EXPECT_EQ(decision["conditions"][2].toObject(),
            (QJsonObject{{"text", "c"}, {"shown", false}, {"pair", QJsonValue()}, {"pairs", QJsonArray{QJsonArray{1, 2}}}}));
  // A forced decision: its prefix form, only the combinations seen, no pairs listed.
  const QJsonObject forced = FunctionNamed(FileNamed(root, "forced.c"), "pick")["decisions"][0].toObject();
  EXPECT_TRUE(forced["forced"].toBool());
  EXPECT_EQ(forced["prefix"].toString(), "O..");
  EXPECT_EQ(forced["rows"].toArray(), (QJsonArray{row("FF", false, 4, 1), row("TF", true, 5, 1)}));
  EXPECT_EQ(forced["conditions"][0].toObject(), (QJsonObject{{"text", "x"}, {"shown", true}, {"pair", QJsonArray{1, 0}}}));
}

TEST_F(ReportTest, HtmlPagesEscapeTheTextsOfTheInputs) {
  std::ofstream(dir + "odd.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"<odd>.c\" \"/s/\"\nFD 1\nTC PR CO\n"
                                      "PR 0 proc \"f<b&\\\"c\" 1 3\nCE 0 \"f<b&\\\"c\" \"x < %2\" 2 2\nDC 1 1\n";
  std::ofstream(dir + "odd.qbr") << "R 1 1\nF 0x1 0x1\nP 0 1\nK 1 1\n";
  const RunOutput run = Run({Q(dir + "odd.c.fdc"), "-r", Q(dir + "odd.qbr"), "--html", Q(dir + "html")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string index = ReadAll(dir + "html/index.html");
  EXPECT_NE(index.find("<a href=\"file-1.html\">&lt;odd&gt;.c</a>"), std::string::npos) << index;
  const std::string page = ReadAll(dir + "html/file-1.html");
  EXPECT_NE(page.find("<h3>f&lt;b&amp;&quot;c <span"), std::string::npos) << page;
  EXPECT_NE(page.find("<tr class=\"partly\"><td>2</td><td>basic conditions</td><td>x &lt; %2</td>"
                      "<td>true: 0, false: 1</td></tr>"),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("<odd>"), std::string::npos);
  EXPECT_NE(ReadAll(dir + "html/style.css").find(".bar{"), std::string::npos);
}

}  // namespace
}  // namespace report::testing_support
