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

// "covered/total" of every category an object carries, in key order.
std::string Figures(const QJsonObject& coverage) {
  std::string text;
  for (const QString& key : coverage.keys()) {
    const QJsonObject figure = coverage[key].toObject();
    text += key.toStdString() + "=" + std::to_string(figure["covered"].toInt()) + "/" +
            std::to_string(figure["total"].toInt()) + " ";
  }
  return text;
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
  // The older build of util.c and a block no FDC file holds.
  const std::string run2 = FixturePath("run2.qbr");
  EXPECT_EQ(run.err,
            "quorbreport: warning: " + run2 + ":10: stale results, not counted: key 0x2222, checksum 0xFA0 is an "
            "older build of util.c\n"
            "quorbreport: warning: " + run2 + ":13: stale results, not counted: no FDC block has key 0xBEEF, "
            "checksum 0x2328\n");
}

TEST_F(ReportTest, JsonHoldsFiguresPerFileFunctionAndTotal) {
  const QJsonObject root = FixturesJson();
  EXPECT_EQ(root["format"].toString(), "quorbreport-1");
  EXPECT_EQ(root["sections"].toInt(), 3);
  const QJsonObject prog = FileNamed(root, "prog.c");
  EXPECT_EQ(prog["key"].toString(), "0x1234");
  EXPECT_EQ(prog["checksum"].toString(), "0x2328");
  EXPECT_EQ(prog["groups"].toInt(), 3);
  EXPECT_DOUBLE_EQ(prog["coverage"]["functions"]["percent"].toDouble(), 75.0);
  EXPECT_EQ(Figures(FunctionNamed(prog, "check")["coverage"].toObject()),
            "basic_conditions=5/6 calls=0/0 decisions=3/3 exits=2/2 functions=1/1 implicit_blocks=1/1 loops=0/0 "
            "modified_conditions=2/3 multiple_conditions=3/4 statement_blocks=2/2 ");
  EXPECT_TRUE(FunctionNamed(prog, "check").value("coverage")["calls"]["percent"].isNull());
  EXPECT_EQ(Figures(FunctionNamed(prog, "sum")["coverage"].toObject()),
            "basic_conditions=2/2 calls=0/0 decisions=1/1 exits=1/1 functions=1/1 implicit_blocks=0/0 loops=1/3 "
            "modified_conditions=0/0 multiple_conditions=0/0 statement_blocks=1/1 ");
  EXPECT_EQ(Figures(FunctionNamed(prog, "never")["coverage"].toObject()),
            "basic_conditions=0/0 calls=0/1 decisions=0/0 exits=0/1 functions=0/1 implicit_blocks=0/0 loops=0/0 "
            "modified_conditions=0/0 multiple_conditions=0/0 statement_blocks=0/0 ");
  EXPECT_EQ(Figures(FunctionNamed(prog, "main")["coverage"].toObject()),
            "basic_conditions=1/2 calls=4/5 decisions=1/2 exits=1/1 functions=1/1 implicit_blocks=1/1 loops=0/0 "
            "modified_conditions=0/0 multiple_conditions=0/0 statement_blocks=0/1 ");
  EXPECT_EQ(Figures(FileNamed(root, "util.c")["coverage"].toObject()), "exits=1/1 functions=1/1 ");
  EXPECT_EQ(Figures(FileNamed(root, "forced.c")["coverage"].toObject()),
            "basic_conditions=3/4 forced_conditions=1/2 functions=1/1 ");
}

TEST_F(ReportTest, JsonAddsUpUnitsAndProcessesAndLeavesStaleResultsOut) {
  // run1.qbr named twice still counts once.
  const RunOutput run = RunFixtures({"-r", Q(FixturePath("run1.qbr")), "--json", Q(dir + "r.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject root = ReadJson(dir + "r.json");
  // check() ran twice in the first process and once in the second.
  const QJsonObject entry = FunctionNamed(FileNamed(root, "prog.c"), "check")["branches"][0].toObject();
  EXPECT_EQ(entry["label"].toString(), "entry");
  EXPECT_EQ(entry["count"].toInt(), 3);
  // The older build's counts (7) are not added to the current block's.
  const QJsonObject twice = FunctionNamed(FileNamed(root, "util.c"), "twice");
  EXPECT_EQ(twice["branches"][0]["count"].toInt(), 1);
  EXPECT_EQ(twice["branches"][1]["count"].toInt(), 1);
  const QJsonArray stale = root["stale"].toArray();
  ASSERT_EQ(stale.size(), 2);
  EXPECT_EQ(stale[0]["checksum"].toString(), "0xFA0");
  EXPECT_EQ(stale[0]["older_build_of"].toString(), "util.c");
  EXPECT_EQ(stale[1]["key"].toString(), "0xBEEF");
  EXPECT_TRUE(stale[1]["older_build_of"].isNull());
  // The loop of sum(): only its "2+" branch ran.
  const QJsonObject loop = FunctionNamed(FileNamed(root, "prog.c"), "sum")["loops"][0].toObject();
  EXPECT_EQ(loop["path"].toString(), "while");
  EXPECT_EQ(loop["state"].toString(), "partly");
  EXPECT_EQ(loop["branches"][0]["label"].toString(), "0");
  EXPECT_EQ(loop["branches"][2]["label"].toString(), "2+");
  EXPECT_EQ(loop["branches"][2]["count"].toInt(), 1);
}

TEST_F(ReportTest, JsonGivesCaseTableRowsAndIndependencePairs) {
  const QJsonObject root = FixturesJson();
  const QJsonObject decision = FunctionNamed(FileNamed(root, "prog.c"), "check")["decisions"][0].toObject();
  EXPECT_FALSE(decision["forced"].toBool());
  EXPECT_EQ(decision["first_line"].toInt(), 5);
  EXPECT_EQ(decision["observed"].toInt(), 3);
  EXPECT_EQ(decision["combinations"].toInt(), 4);
  // README's keys of a row and of a condition, each object whole.
  const auto row = [](const char* text, bool value, int id, int count) {
    return QJsonObject{{"text", text}, {"value", value}, {"id", id}, {"count", count}};
  };
  const auto condition = [](const char* text, const QJsonValue& pair, const QJsonValue& pairs) {
    QJsonObject object{{"text", text}, {"shown", !pair.isNull()}, {"pair", pair}};
    if (!pairs.isUndefined()) object["pairs"] = pairs;
    return object;
  };
  EXPECT_EQ(decision["rows"].toArray(),
            (QJsonArray{row("TTX", true, 6, 1), row("TFT", true, 7, 0), row("TFF", false, 8, 1),
                        row("FXX", false, 9, 1)}));
  EXPECT_EQ(decision["conditions"].toArray(),
            (QJsonArray{condition("a", QJsonArray{0, 3}, QJsonArray{QJsonArray{0, 3}, QJsonArray{1, 3}}),
                        condition("b", QJsonArray{0, 2}, QJsonArray{QJsonArray{0, 2}}),
                        condition("c", QJsonValue(), QJsonArray{QJsonArray{1, 2}})}));

  const QJsonObject forced = FunctionNamed(FileNamed(root, "forced.c"), "pick")["decisions"][0].toObject();
  EXPECT_TRUE(forced["forced"].toBool());
  EXPECT_EQ(forced["prefix"].toString(), "O..");
  EXPECT_EQ(forced["observed"].toInt(), 2);
  EXPECT_EQ(forced["combinations"].toInt(), 4);
  // Only the combinations seen; x: combination 1 (x true, outcome true) against 0 (outcome false).
  EXPECT_EQ(forced["rows"].toArray(), (QJsonArray{row("FF", false, 4, 1), row("TF", true, 5, 1)}));
  EXPECT_EQ(forced["conditions"].toArray(),
            (QJsonArray{condition("x", QJsonArray{1, 0}, QJsonValue::Undefined),
                        condition("y", QJsonValue(), QJsonValue::Undefined)}));
}

TEST_F(ReportTest, LcovRecordGivesFunctionsBranchGroupsAndLines) {
  const RunOutput run = RunFixtures({"--lcov", Q(dir + "cov.info")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string lcov = ReadAll(dir + "cov.info");
  const std::string prog =
      "TN:\nSF:prog.c\n"
      "FN:3,check\nFN:10,sum\nFN:18,never\nFN:23,main\n"
      "FNDA:3,check\nFNDA:1,sum\nFNDA:0,never\nFNDA:1,main\nFNF:4\nFNH:3\n"
      // check(): then, implicit else, seq; conditions a, b, c (true, false).
      "BRDA:6,0,0,1\nBRDA:5,1,0,2\nBRDA:7,2,0,2\n"
      "BRDA:5,3,0,2\nBRDA:5,3,1,1\nBRDA:5,4,0,1\nBRDA:5,4,1,1\nBRDA:5,5,0,0\nBRDA:5,5,1,1\n"
      // sum(): loop body; loop branches 0, 1, 2+; n > 0.
      "BRDA:14,6,0,3\nBRDA:13,7,0,0\nBRDA:13,7,1,0\nBRDA:13,7,2,1\nBRDA:13,8,0,3\nBRDA:13,8,1,1\n"
      // main(): then, implicit else, r > 5.
      "BRDA:27,9,0,0\nBRDA:26,10,0,1\nBRDA:26,11,0,0\nBRDA:26,11,1,1\n"
      "BRF:19\nBRH:14\n"
      "DA:3,3\nDA:5,2\nDA:6,1\nDA:7,2\nDA:10,1\nDA:13,3\nDA:14,3\nDA:18,0\nDA:23,1\nDA:26,1\nDA:27,0\n"
      "LF:11\nLH:9\nend_of_record\n";
  EXPECT_NE(lcov.find(prog), std::string::npos) << lcov;
  EXPECT_NE(lcov.find("SF:util.c\nFN:1,twice\nFNDA:1,twice\nFNF:1\nFNH:1\nBRF:0\nBRH:0\nDA:1,1\n"
                      "LF:1\nLH:1\nend_of_record\n"),
            std::string::npos)
      << lcov;
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
