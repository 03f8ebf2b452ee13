// Reading FDC blocks and results files, and bad input of every kind.
#include "report/condition_tables.h"
#include "report/fdc_units.h"
#include "report/results_file.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

constexpr const char* kHeader = "VE 3.0e CCOV #i6 8.2.0.1\nFC \"a.c\" \"/d/\"\nFD 5\nTC PR BS\n";

TEST(FdcUnits, SplitsBlocksWithoutRikSkipsForeignOnesAndReadsQuotedNames) {
  const std::string text = std::string(kHeader) + "PR 0 proc \"f\" 1 2\nDC 1 2\n" +
                           "VE 2.0 CCOV #i6 8.2.0.1\nFC \"old.c\" \"/d/\"\nFD 5\nTC PR\nPR 0 proc \"f\" 1 2\nDC 3\n" +
                           "VE 3.0e CCOV #i6 8.2.0.1\nFC \"b\r\\\\\\\"\\n.c\" \"/d\r/\"\nFD 5\nTC PR\nPR 0 proc \"g\" 1 2\nDC 4\n"
                           "@RIK\n  SRC=\"b.c\"\nNODE TYPE=FILE NAME=\"b.c\"@\nVE text of the listing\n@/NODE /RIK@\n"
                           "VE 3.0e CCOV #i6 8.2.0.1\nFC \"c.c\" \"/d/\"\nFD 5\nTC PR\nPR 0 proc \"h\" 1 2\nDC 5\n";
  const FdcReadOutcome read = ParseFdcUnits("x.fdc", text);
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.units.size(), 3u);
  EXPECT_EQ(read.units[0].sourceName, "a.c");
  // A raw carriage return, an escaped backslash, quote and line feed (as
  // quorbcc1 writes them, read by the reader fdc_format_test checks).
  EXPECT_EQ(read.units[1].sourceName, "b\r\\\"\n.c");
  EXPECT_EQ(read.units[1].sourceDirectory, "/d\r/");
  EXPECT_EQ(read.units[2].sourceName, "c.c");
  // Without a key on the DC line, the key of the full source path.
  EXPECT_EQ(read.units[2].key, 0x4A4A4A4Au ^ 0x2F642F63u ^ 0x2E630000u);
}

TEST(FdcUnits, RejectsMalformedRecordsWithTheirLine) {
  const char* bad[] = {
      "PR 0 start \"f\" 1 2\n",            // unknown kind word
      "PR 0 proc f 1 2\n",                 // unquoted name
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
      "CE 2 \"f\" \"x\" 1 1\n",              // out of sequence: the first is 0
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

TEST(ResultsFile, RejectsBadLinesWithTheirNumber) {
  EXPECT_EQ(ParseResults("q", "F 0x1 0x2\n").error, "q:1: F line before any R line");
  EXPECT_EQ(ParseResults("q", "R\nP 0 1\n").error, "q:2: branch line outside an F group");
  EXPECT_EQ(ParseResults("q", "R\nF 1 2\n").error, "q:2: bad F line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x123456789 0x2\n").error, "q:2: bad F line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nQ 0 1\n").error, "q:3: unknown line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nP -1 1\n").error, "q:3: bad branch line");
  EXPECT_EQ(ParseResults("q", "R\nF 0x1 0x2\nP 1\n").error, "q:3: bad branch line");
}

// Prefix forms are evaluated on 2,000 random decisions in mcdc_verdict_test;
// here their shape, and a depth no recursion would survive.
TEST(ConditionTables, PrefixFormsCheckTheirShape) {
  EXPECT_EQ(PrefixWidth("AO..N."), 3u);
  for (const char* bad : {"A.", "..", "N", "A.x"}) EXPECT_FALSE(PrefixWidth(bad)) << bad;
  EXPECT_EQ(PrefixWidth(std::string(200000, 'N') + "."), 1u);
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
