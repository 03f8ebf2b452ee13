// Reading FDC blocks and results files, and bad input of every kind.
#include "report/condition_tables.h"
#include "report/fdc_units.h"
#include "report/results_file.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

constexpr const char* kHeader = "VE 3.0e CCOV #i6 8.2.0.1\nFC \"a.c\" \"/d/\"\nFD 5\nTC PR BS\n";

TEST(FdcUnits, ReadsEveryRecordKindWithItsFields) {
  const FdcReadOutcome read = ParseFdcUnits(
      "x.fdc", std::string(kHeader) +
                   "PR 0 proc \"f\\\"q\" 3 9\nAP 0 \"f\\\"q\" \"g (1)\" 4 4\nBL 0 simple \"f\\\"q\"  3 9\n"
                   "BL 1 logical \"f\\\"q\" for/2+ 5 6\nCA 0 \"f\\\"q\" \"case 1\" 7 7\nCE 1 \"f\\\"q\" \"x\" 8 8\n"
                   "CE 3 \"f\\\"q\" \"y\" 8 8\nCC 5 2 1 3 3 TTTFFX 1\nDC 77 12\n");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.units.size(), 1u);
  const FdcUnit& unit = read.units[0];
  EXPECT_EQ(unit.SourcePath(), "/d/a.c");
  EXPECT_EQ(unit.coverage, 0x0009);
  EXPECT_EQ(unit.checksum, 77u);
  EXPECT_EQ(unit.key, 12u);
  EXPECT_EQ(unit.procs[0].function, "f\"q");
  EXPECT_EQ(unit.calls[0].callee, "g (1)");
  EXPECT_EQ(unit.blocks[0].path, "");
  EXPECT_EQ(unit.blocks[1].path, "for/2+");
  EXPECT_EQ(unit.blocks[1].kind, BlockKind::kLogical);
  EXPECT_TRUE(unit.cases[0].isCase);
  EXPECT_EQ(unit.decisions[0].operands, (std::vector<std::uint32_t>{1, 3}));
  EXPECT_EQ(unit.decisions[0].trueRows, 1u);
  // Ids taken: 1 PR, 1 AP, 2 BL; CA 0, CE 1-2 and 3-4, CC 5-7.
  EXPECT_EQ(unit.procIds, 1u);
  EXPECT_EQ(unit.blockIds, 2u);
  EXPECT_EQ(unit.conditionIds, 8u);
}

TEST(FdcUnits, SplitsBlocksWithoutRikAndSkipsForeignOnes) {
  const std::string text = std::string(kHeader) + "PR 0 proc \"f\" 1 2\nDC 1 2\n" +
                           "VE 2.0 CCOV #i6 8.2.0.1\nFC \"old.c\" \"/d/\"\nFD 5\nTC PR\nPR 0 proc \"f\" 1 2\nDC 3\n" +
                           "VE 3.0e CCOV #i6 8.2.0.1\nFC \"b.c\" \"/d/\"\nFD 5\nTC PR\nPR 0 proc \"g\" 1 2\nDC 4\n"
                           "@RIK\n  SRC=\"b.c\"\nNODE TYPE=FILE NAME=\"b.c\"@\nVE text of the listing\n@/NODE /RIK@\n"
                           "VE 3.0e CCOV #i6 8.2.0.1\nFC \"c.c\" \"/d/\"\nFD 5\nTC PR\nPR 0 proc \"h\" 1 2\nDC 5\n";
  const FdcReadOutcome read = ParseFdcUnits("x.fdc", text);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.units.size(), 3u);
  EXPECT_EQ(read.units[0].sourceName, "a.c");
  EXPECT_EQ(read.units[1].sourceName, "b.c");
  EXPECT_EQ(read.units[2].sourceName, "c.c");
  // Without a key on the DC line, the key of the full source path.
  EXPECT_EQ(read.units[2].key, 0x4A4A4A4Au ^ 0x2F642F63u ^ 0x2E630000u);
}

TEST(FdcUnits, RejectsMalformedRecordsWithTheirLine) {
  const char* bad[] = {
      "PR 0 start \"f\" 1 2\n",            // unknown kind word
      "PR 0 proc f 1 2\n",                 // unquoted name
      "AP 0 \"f\" \"g\" 1\n",              // missing last line
      "BL 0 simple \"f\" then 1 2 3\n",    // extra field
      "CC 0 2 0 2 3 TTTF 1\n",             // rows do not fill the table
      "CC 0 2 0 2 3 TTTFQX 1\n",           // not a row character
      "CC 0 2 0 2 3 TTTFFX 4\n",           // more true rows than rows
      "CC 0 2 0 2 4 A.\n",                 // prefix form of one condition
      "CC 0 2 0 2 5 A..\n",                // forced table is not 2 to the width
      "XX 1 2\n",                          // unknown record
      "\n",                                // empty line
      "P\n",                               // a lone letter
      "PR 99999999999 proc \"f\" 1 2\n",   // number beyond 32 bits
      "PR 4000000000 proc \"f\" 1 2\n",    // out of sequence: the first is 0
      "CE 2 \"f\" \"x\" 1 1\n",              // likewise
  };
  for (const char* record : bad) {
    const FdcReadOutcome read = ParseFdcUnits("x.fdc", std::string(kHeader) + record + "DC 1\n");
    EXPECT_EQ(read.error, "x.fdc:5: bad branch record") << record;
  }
  EXPECT_EQ(ParseFdcUnits("x.fdc", "").error, "x.fdc is not a valid FDC file");
  EXPECT_EQ(ParseFdcUnits("x.fdc", "hello\n").error, "x.fdc is not a valid FDC file");
  EXPECT_EQ(ParseFdcUnits("x.fdc", "VE 3.0e CCOV #i6\nFC \"a\" \"b\"\nFD 1\n").error,
            "TC expected but not found in x.fdc");
}

TEST(ResultsFile, ReadsSectionsGroupsAndHits) {
  const ResultsReadOutcome read =
      ParseResults("q.qbr", "R 1 2\nF 0x1A 0xff\nP 0 1\nK 7 4294967295\nR\nF 0x1A 0xFF\n\nB 2 3\n");
  ASSERT_EQ(read.error, "");
  EXPECT_EQ(read.file.sections, 2u);
  ASSERT_EQ(read.file.groups.size(), 2u);
  EXPECT_EQ(read.file.groups[0].key, 0x1Au);
  EXPECT_EQ(read.file.groups[0].checksum, 0xFFu);
  EXPECT_EQ(read.file.groups[0].hits[1].kind, BranchKind::kCondition);
  EXPECT_EQ(read.file.groups[0].hits[1].count, 4294967295u);
  EXPECT_EQ(read.file.groups[1].section, 2u);
  EXPECT_EQ(read.file.groups[1].hits[0].line, 8u);
}

TEST(ResultsFile, RejectsBadLinesWithTheirNumber) {
  EXPECT_EQ(ParseResults("q", "F 0x1 0x2\n").error, "q:1: F line before any R line");
  EXPECT_EQ(ParseResults("q", "R\nP 0 1\n").error, "q:2: branch line outside an F group");
  EXPECT_EQ(ParseResults("q", "R\nF 1 2\n").error, "q:2: bad F line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x123456789 0x2\n").error, "q:2: bad F line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nQ 0 1\n").error, "q:3: unknown line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nP -1 1\n").error, "q:3: bad branch line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nP 1\n").error, "q:3: bad branch line");
}

TEST(ConditionTables, PrefixFormsEvaluateAndCheckTheirShape) {
  EXPECT_EQ(PrefixWidth("AO..N."), 3u);
  EXPECT_EQ(PrefixWidth("."), 1u);
  EXPECT_FALSE(PrefixWidth("A."));
  EXPECT_FALSE(PrefixWidth(".."));
  EXPECT_FALSE(PrefixWidth("N"));
  EXPECT_FALSE(PrefixWidth("A.x"));
  EXPECT_EQ(PrefixWidth(std::string(200000, 'N') + "."), 1u);
  // (c0 || c1) && !c2, bit i for condition i.
  EXPECT_TRUE(EvaluatePrefix("AO..N.", 0b001));
  EXPECT_TRUE(EvaluatePrefix("AO..N.", 0b010));
  EXPECT_FALSE(EvaluatePrefix("AO..N.", 0b011 | 0b100));
  EXPECT_FALSE(EvaluatePrefix("AO..N.", 0b000));
  EXPECT_EQ(CombinationText(0b101, 3), "TFT");
}

TEST_F(ReportTest, BadInputEndsWithStatusOne) {
  auto fixture = [](const char* name) { return Q(FixturePath(name)); };
  const QString results = Q(dir + "bad.qbr");
  std::ofstream(dir + "bad.qbr") << "R 1 2\nF 0x1234 0x2328\nP 9 1\n";
  RunOutput run = Run({fixture("prog.c.fdc"), "-r", results});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: " + dir + "bad.qbr:3: branch 9 is not in the FDC block of /src/demo/prog.c\n");
  run = Run({fixture("prog.c.fdc"), "-r", Q(dir + "none.qbr")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: " + dir + "none.qbr: cannot be read\n");
  run = Run({fixture("prog.c.fdc"), "-r", fixture("prog.c")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: " + FixturePath("prog.c") + ":1: unknown line\n");
  run = Run({fixture("run1.qbr"), "-r", fixture("run1.qbr")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: " + FixturePath("run1.qbr") + " is not a valid FDC file\n");
  EXPECT_EQ(Run({"--bogus"}).status, 1);
}

// One source compiled twice with other macros (as lz4hc.c includes lz4.c):
// two blocks with the source's date and other checksums are both current,
// each counted with its own results; a block with another date is an older
// build, whose results are stale. v.c's variants: f ran of {f}, h of {g, h}.
TEST_F(ReportTest, VariantsOfOneSourceCountEachOlderBuildsNot) {
  auto fdcBlock = [](const char* date, const char* records, const char* checksum) {
    return std::string("VE 3.0e CCOV #i6 8.2.0.1\nFC \"v.c\" \"/src/\"\nFD ") + date + "\nTC PR\n" + records + "DC " +
           checksum + " 4660\n";
  };
  std::ofstream(dir + "v.c.fdc") << fdcBlock("1700000100", "PR 0 proc \"f\" 1 2\n", "100")
                                 << fdcBlock("1700000100", "PR 0 proc \"g\" 4 5\nPR 1 proc \"h\" 7 8\n", "200")
                                 << fdcBlock("1600000000", "PR 0 proc \"old\" 1 2\n", "300");
  std::ofstream(dir + "v.qbr") << "R 1 2\nF 0x1234 0x64\nP 0 1\nF 0x1234 0xC8\nP 1 1\nF 0x1234 0x12C\nP 0 1\n";
  const RunOutput run = Run({Q(dir + "v.c.fdc"), "-r", Q(dir + "v.qbr")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "quorbreport: warning: " + dir + "v.qbr:6: stale results, not counted: key 0x1234, checksum "
                     "0x12C is an older build of v.c\n");
  EXPECT_NE(run.out.find("\nv.c       100.0%\nv.c        50.0%\nTOTAL      66.6%\n"), std::string::npos) << run.out;
}

TEST_F(ReportTest, AnOutputThatCannotBeWrittenIsAnErrorAndDamagesNothing) {
  RunOutput run = RunFixtures({"--json", Q(dir + "missing/r.json")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("quorbreport: error: " + dir + "missing/r.json: "), std::string::npos) << run.err;
  // An HTML directory that is a file: the file stays as it was.
  std::ofstream(dir + "taken") << "previous";
  run = RunFixtures({"--html", Q(dir + "taken")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadAll(dir + "taken"), "previous");
}

}  // namespace
}  // namespace report::testing_support
