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

#include <QJsonArray>

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
  EXPECT_EQ(Figures(root["total"].toObject()),
            "basic_conditions=11/14 calls=4/6 decisions=5/6 exits=5/6 forced_conditions=1/2 functions=5/6 "
            "implicit_blocks=2/2 loops=1/3 modified_conditions=2/3 multiple_conditions=3/4 statement_blocks=3/4 ");
  const QJsonObject prog = FileNamed(root, "prog.c");
  EXPECT_EQ(prog["key"].toString(), "0x1234");
  EXPECT_EQ(prog["checksum"].toString(), "0x2328");
  EXPECT_EQ(prog["groups"].toInt(), 3);
  EXPECT_EQ(Figures(prog["coverage"].toObject()),
            "basic_conditions=8/10 calls=4/6 decisions=5/6 exits=4/5 functions=3/4 implicit_blocks=2/2 loops=1/3 "
            "modified_conditions=2/3 multiple_conditions=3/4 statement_blocks=3/4 ");
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
  const RunOutput run =
      RunFixtures({"-r", QString::fromStdString(FixturePath("run1.qbr")), "--json", QString::fromStdString(dir + "r.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(ReadAll(dir + "r.json"))).object();
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
  const QJsonObject decision =
      FunctionNamed(FileNamed(root, "prog.c"), "check")["decisions"][0].toObject();
  EXPECT_FALSE(decision["forced"].toBool());
  EXPECT_EQ(decision["first_line"].toInt(), 5);
  EXPECT_EQ(decision["observed"].toInt(), 3);
  EXPECT_EQ(decision["combinations"].toInt(), 4);
  const QJsonArray rows = decision["rows"].toArray();
  ASSERT_EQ(rows.size(), 4);
  const char* texts[] = {"TTX", "TFT", "TFF", "FXX"};
  const bool values[] = {true, true, false, false};
  const int counts[] = {1, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rows[i]["text"].toString(), texts[i]);
    EXPECT_EQ(rows[i]["value"].toBool(), values[i]);
    EXPECT_EQ(rows[i]["id"].toInt(), 6 + i);
    EXPECT_EQ(rows[i]["count"].toInt(), counts[i]);
  }
  const QJsonArray conditions = decision["conditions"].toArray();
  ASSERT_EQ(conditions.size(), 3);
  EXPECT_EQ(conditions[0]["text"].toString(), "a");
  EXPECT_EQ(conditions[0]["pair"].toArray(), (QJsonArray{0, 3}));
  EXPECT_EQ(conditions[0]["pairs"].toArray(), (QJsonArray{QJsonArray{0, 3}, QJsonArray{1, 3}}));
  EXPECT_EQ(conditions[1]["pair"].toArray(), (QJsonArray{0, 2}));
  EXPECT_EQ(conditions[1]["pairs"].toArray(), (QJsonArray{QJsonArray{0, 2}}));
  EXPECT_FALSE(conditions[2]["shown"].toBool());
  EXPECT_TRUE(conditions[2]["pair"].isNull());
  EXPECT_EQ(conditions[2]["pairs"].toArray(), (QJsonArray{QJsonArray{1, 2}}));

  const QJsonObject forced =
      FunctionNamed(FileNamed(root, "forced.c"), "pick")["decisions"][0].toObject();
  EXPECT_TRUE(forced["forced"].toBool());
  EXPECT_EQ(forced["prefix"].toString(), "O..");
  EXPECT_EQ(forced["observed"].toInt(), 2);
  EXPECT_EQ(forced["combinations"].toInt(), 4);
  EXPECT_EQ(forced["rows"][0]["text"].toString(), "FF");
  EXPECT_FALSE(forced["rows"][0]["value"].toBool());
  EXPECT_EQ(forced["rows"][1]["text"].toString(), "TF");
  EXPECT_TRUE(forced["rows"][1]["value"].toBool());
  // x: combination 1 (x true, outcome true) against 0 (outcome false).
  EXPECT_EQ(forced["conditions"][0]["pair"].toArray(), (QJsonArray{1, 0}));
  EXPECT_FALSE(forced["conditions"][1]["shown"].toBool());
}

TEST_F(ReportTest, LcovRecordGivesFunctionsBranchGroupsAndLines) {
  const RunOutput run = RunFixtures({"--lcov", QString::fromStdString(dir + "cov.info")});
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

TEST_F(ReportTest, ThresholdsSetTheExitStatus) {
  // functions 5/6 = 83.3%, statement blocks 3/4 = 75%, loops 1/3.
  EXPECT_EQ(RunFixtures({"--fail-under", "functions=83"}).status, 0);
  EXPECT_EQ(RunFixtures({"--fail-under", "functions=84"}).status, 2);
  EXPECT_EQ(RunFixtures({"--fail-under", "statement blocks=75"}).status, 0);
  const RunOutput missed = RunFixtures({"--fail-under", "functions=50", "--fail-under", "loops=34"});
  EXPECT_EQ(missed.status, 2);
  EXPECT_NE(missed.err.find("quorbreport: loops coverage 33.3% is under 34%"), std::string::npos) << missed.err;
  EXPECT_EQ(missed.err.find("functions coverage"), std::string::npos);
  EXPECT_EQ(RunFixtures({"--fail-under", "modified_conditions=66"}).status, 0);
  EXPECT_EQ(RunFixtures({"--fail-under", "lines=10"}).status, 1);
  EXPECT_EQ(RunFixtures({"--fail-under", "functions=101"}).status, 1);
  EXPECT_EQ(RunFixtures({"--fail-under", "functions"}).status, 1);
}

TEST_F(ReportTest, ColoursMarkPercentagesOnlyWhenAsked) {
  std::ostringstream out, err;
  const QStringList arguments{QString::fromStdString(FixturePath("prog.c.fdc")), "-r",
                              QString::fromStdString(FixturePath("run1.qbr")), "--details"};
  ASSERT_EQ(RunReport(arguments, {out, err, true}), 0);
  // Complete in green, at least half in yellow, less in red; "-" stays plain.
  EXPECT_NE(out.str().find("  implicit blocks               2         2\033[32m   100.0%\033[0m\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("  functions                     3         4\033[33m    75.0%\033[0m\n"), std::string::npos);
  EXPECT_NE(out.str().find("  loops                         1         3\033[31m    33.3%\033[0m\n"), std::string::npos);
  EXPECT_EQ(RunFixtures().out.find('\033'), std::string::npos);
  const RunOutput help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--fail-under <category=percent>"), std::string::npos) << help.out;
}

TEST_F(ReportTest, HtmlPagesEscapeTheTextsOfTheInputs) {
  std::ofstream(dir + "odd.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"<odd>.c\" \"/s/\"\nFD 1\nTC PR CO\n"
                                      "PR 0 proc \"f<b&\\\"c\" 1 3\nCE 0 \"f<b&\\\"c\" \"x < %2\" 2 2\nDC 1 1\n";
  std::ofstream(dir + "odd.qbr") << "R 1 1\nF 0x1 0x1\nP 0 1\nK 1 1\n";
  const RunOutput run = Run({QString::fromStdString(dir + "odd.c.fdc"), "-r", QString::fromStdString(dir + "odd.qbr"),
                             "--html", QString::fromStdString(dir + "html")});
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
