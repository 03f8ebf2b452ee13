// Exclusion markers through the whole report, on two small programs whose
// figures are counted by hand.
//
// f.c, read from disk (its FDC block has no listing); f(0) ran:
//    1 int f(int a)
//    2 { /* quorb: exclude "nothing begins here" */        -> warning
//    3   if (a > 0) /* quorb: exclude "only for negative input" */
//    4     return 1;
//    5   /* quorb: exclude start "debug" */
//    6   if (a == 7)
//    7     return 7;
//    8   /* quorb: exclude stop */
//    9   return 0; // quorb: exclude                      -> warning
//   10 }
//   11 /* quorb: exclude start "never closed" */           -> warning
// Line 3 excludes a > 0 (2 branches) and the implicit else (1); lines 5-8
// a == 7 (2), its then (1), its implicit else (1) and the return on 7 (1).
// Left: the entry (ran), the returns on 4 (not run) and 9 (ran), the then on
// 4 (not run): functions 1/1, exits 1/2 (1 excluded), statement blocks 0/1
// (1 excluded), implicit blocks 0/0 (2 excluded), decisions 0/1 (3
// excluded), basic conditions 0/0 (4 excluded).
//
// listing.c, read from its listing, with a marker added on line 4, which
// begins "if (a && b)": a and b (4 branches), the decision (2 modified
// conditions, 3 rows) and the implicit else go; left are POSITIVE(a) (its
// false branch ran), then on 5 (ran), then on 7 (not), implicit on 6 (ran).
#include "report_fixture.h"

namespace report::testing_support {
namespace {

constexpr auto Line = DetailsLine;  // every call gives the excluded column

constexpr const char* kSource =
    "int f(int a)\n"
    "{ /* quorb: exclude \"nothing begins here\" */\n"
    "  if (a > 0) /* quorb: exclude \"only for negative input\" */\n"
    "    return 1;\n"
    "  /* quorb: exclude start \"debug\" */\n"
    "  if (a == 7)\n"
    "    return 7;\n"
    "  /* quorb: exclude stop */\n"
    "  return 0; // quorb: exclude\n"
    "}\n"
    "/* quorb: exclude start \"never closed\" */\n";

class ExclusionTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    std::ofstream(dir + "f.c") << kSource;
    std::ofstream(dir + "f.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"f.c\" \"" << dir << "\"\nFD 1\nTC PR RE BS BI CO\n"
                                      "PR 0 proc \"f\" 1 10\nCE 0 \"f\" \"a > 0\" 3 3\nBL 0 simple \"f\" then 4 4\n"
                                      "BL 1 implicit \"f\" else 3 4\nPR 1 return \"f\" 4 4\nCE 2 \"f\" \"a == 7\" 6 6\n"
                                      "BL 2 simple \"f\" then 7 7\nBL 3 implicit \"f\" else 6 7\n"
                                      "PR 2 return \"f\" 7 7\nPR 3 return \"f\" 9 9\nDC 5 5\n";
    std::ofstream(dir + "f.qbr") << "R 1 1\nF 0x5 0x5\nP 0 1\nK 1 1\nB 1 1\nK 3 1\nB 3 1\nP 3 1\n";
  }

  RunOutput RunF(const QStringList& extra) {
    return Run(QStringList{Q(dir + "f.c.fdc"), "-r", Q(dir + "f.qbr")} + extra);
  }

  std::string Path(const char* name) const { return dir + name; }
};

TEST_F(ExclusionTest, FiguresCountExcludedBranchesApartAndDetailsGiveTheReasons) {
  const RunOutput run = RunF({"--details"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string figures = Line("functions", 1, 1, "100.0%", 0) + Line("exits", 1, 2, "50.0%", 1) +
                              Line("statement blocks", 0, 1, "0.0%", 1) + Line("implicit blocks", 0, 0, "-", 2) +
                              Line("decisions", 0, 1, "0.0%", 3) + Line("basic conditions", 0, 0, "-", 4);
  const std::string root = dir.substr(0, dir.size() - 1);
  EXPECT_EQ(run.out, "Coverage of 1 file under " + root + " from 1 results section\n\n"
                     "                          covered     total  percent  excluded\n"
                     "f.c\n" + figures +
                     "  excluded: line 2 \"nothing begins here\" (0 branches)\n"
                     "  excluded: line 3 \"only for negative input\" (3 branches)\n"
                     "  excluded: lines 5-8 \"debug\" (5 branches)\n"
                     "TOTAL\n" + figures);
  EXPECT_EQ(run.err,
            "quorbreport: warning: f.c:2: exclusion marker excludes no branch (none begins on its line)\n"
            "quorbreport: warning: f.c:9: exclusion marker without a reason (write quorb: exclude \"why\"), excludes "
            "nothing\n"
            "quorbreport: warning: f.c:11: exclusion region never closed (add quorb: exclude stop), excludes nothing\n");
  const RunOutput table = RunF({});
  EXPECT_NE(table.out.find("\nExcluded by markers: 8 branches (3 markers; --details lists the reasons)\n"),
            std::string::npos)
      << table.out;
}

TEST_F(ExclusionTest, ThresholdsCountWithoutExcludedBranches) {
  EXPECT_EQ(RunF({"--fail-under", "exits=50"}).status, 0);
  EXPECT_EQ(RunF({"--fail-under", "exits=50.1"}).status, 2);
  EXPECT_EQ(RunF({"--fail-under-file", "statement_blocks=1"}).status, 2);
  // Every implicit block is excluded: nothing to check, and no error.
  const RunOutput implicit = RunF({"--fail-under", "implicit_blocks=100"});
  EXPECT_EQ(implicit.status, 0);
  EXPECT_NE(implicit.err.find("quorbreport: note: no implicit blocks branch counts; its threshold has nothing to "
                              "check\n"),
            std::string::npos)
      << implicit.err;
}

TEST_F(ExclusionTest, LcovCoberturaAndSonarQubeLeaveExcludedBranchesOut) {
  ASSERT_EQ(RunF({"--lcov", Q(Path("cov.info")), "--cobertura", Q(Path("cov.xml")), "--sonarqube", Q(Path("s.xml"))})
                .status,
            0);
  // Left: the entry on 1 and the then on 4, a group of one branch.
  EXPECT_EQ(ReadAll(Path("cov.info")), "TN:\nSF:f.c\nFN:1,f\nFNDA:1,f\nFNF:1\nFNH:1\nBRDA:4,0,0,0\nBRF:1\nBRH:0\n"
                                       "DA:1,1\nDA:4,0\nLF:2\nLH:1\nend_of_record\n");
  const std::string cobertura = ReadAll(Path("cov.xml"));
  EXPECT_NE(cobertura.find("branches-covered=\"0\" branches-valid=\"1\""), std::string::npos) << cobertura;
  EXPECT_NE(cobertura.find("lines-covered=\"1\" lines-valid=\"2\""), std::string::npos) << cobertura;
  EXPECT_EQ(ReadAll(Path("s.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<coverage version=\"1\">\n"
            "    <file path=\"f.c\">\n"
            "        <lineToCover lineNumber=\"1\" covered=\"true\"/>\n"
            "        <lineToCover lineNumber=\"4\" covered=\"false\" branchesToCover=\"1\" coveredBranches=\"0\"/>\n"
            "    </file>\n"
            "</coverage>\n");
}

TEST_F(ExclusionTest, MarkdownListsFilesCategoriesAndExclusions) {
  ASSERT_EQ(RunF({"--markdown", Q(Path("summary.md"))}).status, 0);
  EXPECT_EQ(ReadAll(Path("summary.md")),
            "### Coverage of 1 file\n\n"
            "| file | functions | exits | statement blocks | implicit blocks | decisions | basic conditions |\n"
            "| :--- | ---: | ---: | ---: | ---: | ---: | ---: |\n"
            "| f.c | 100.0% (1/1) | 50.0% (1/2, 1 excluded) | 0.0% (0/1, 1 excluded) | - (2 excluded) | "
            "0.0% (0/1, 3 excluded) | - (4 excluded) |\n"
            "| **total** | **100.0% (1/1)** | **50.0% (1/2, 1 excluded)** | **0.0% (0/1, 1 excluded)** | "
            "**- (2 excluded)** | **0.0% (0/1, 3 excluded)** | **- (4 excluded)** |\n"
            "\nExcluded by markers: 8 branches.\n\n"
            "| file | lines | reason | branches |\n"
            "| :--- | ---: | :--- | ---: |\n"
            "| f.c | 2 | nothing begins here | 0 |\n"
            "| f.c | 3 | only for negative input | 3 |\n"
            "| f.c | 5-8 | debug | 5 |\n");
}

TEST_F(ExclusionTest, JsonMarksExcludedBranchesAndListsTheExclusions) {
  ASSERT_EQ(RunF({"--json", Q(Path("r.json"))}).status, 0);
  const QJsonObject root = ReadJson(Path("r.json"));
  EXPECT_EQ(root["mode"].toString(), "all");
  EXPECT_TRUE(root["changes"].isNull());
  // The summary part's keys, as README's table lists them.
  EXPECT_EQ(root.keys(), (QStringList{"analyses", "changes", "fdc_files", "files", "format", "left_out", "mode",
                                      "results_files", "root", "sections", "stale", "total"}));
  const QJsonObject file = root["files"][0].toObject();
  EXPECT_EQ(file.keys(), (QStringList{"changed_lines", "checksum", "coverage", "exclusions", "fdc", "functions",
                                      "groups", "key", "marker_warnings", "source"}));
  EXPECT_EQ(file["marker_warnings"][0].toObject().keys(), (QStringList{"line", "message"}));
  EXPECT_TRUE(file["changed_lines"].isNull());
  EXPECT_EQ(file["coverage"]["exits"].toObject(),
            (QJsonObject{{"covered", 1}, {"excluded", 1}, {"missed", 1}, {"percent", 50.0}, {"total", 2}}));
  const QJsonArray exclusions = file["exclusions"].toArray();
  ASSERT_EQ(exclusions.size(), 3);
  EXPECT_EQ(exclusions[2].toObject(), (QJsonObject{{"first_line", 5}, {"last_line", 8}, {"region", true},
                                                   {"reason", "debug"}, {"branches", 5}}));
  const QJsonArray warnings = file["marker_warnings"].toArray();
  ASSERT_EQ(warnings.size(), 3);
  EXPECT_EQ(warnings[1]["line"].toInt(), 9);
  // Branches name their exclusion by index: the return on 7 is in "debug", the one on 9 counts.
  const QJsonArray branches = file["functions"][0]["branches"].toArray();
  ASSERT_EQ(branches.size(), 8);  // 4 procedure records and 4 blocks
  for (const QJsonValue& branch : branches) {
    const int line = branch["first_line"].toInt();
    const QJsonValue expected = line == 3 ? QJsonValue(1) : line >= 5 && line <= 8 ? QJsonValue(2) : QJsonValue();
    EXPECT_EQ(branch["exclusion"], expected) << "line " << line;
  }
  EXPECT_EQ(file["functions"][0]["conditions"][0]["exclusion"].toInt(), 1);
}

TEST_F(ReportTest, MarkersAreReadFromTheListingsSourceText) {
  std::string fdc = ReadAll(FixturePath("listing.c.fdc"));
  const std::string lineFour = "@/POPUP@)\n    @BRANCH MARK=TB ID=0";
  const std::size_t at = fdc.find(lineFour);
  ASSERT_NE(at, std::string::npos);
  fdc.insert(at + 9, " /* quorb: exclude \"both known\" */");
  std::ofstream(dir + "listing.c.fdc") << fdc;
  const RunOutput run = Run({Q(dir + "listing.c.fdc"), "-r", Q(FixturePath("listing.qbr")), "--details"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string figures = Line("functions", 1, 1, "100.0%", 0) + Line("exits", 2, 3, "66.6%", 0) +
                              Line("statement blocks", 1, 2, "50.0%", 0) + Line("implicit blocks", 1, 1, "100.0%", 1) +
                              Line("decisions", 2, 3, "66.6%", 1) + Line("basic conditions", 1, 2, "50.0%", 4) +
                              Line("modified conditions", 0, 0, "-", 2) + Line("multiple conditions", 0, 0, "-", 3);
  EXPECT_NE(run.out.find("listing.c\n" + figures + "  excluded: line 4 \"both known\" (10 branches)\nTOTAL\n"),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace report::testing_support
