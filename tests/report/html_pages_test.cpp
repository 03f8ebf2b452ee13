// The HTML pages' text where no browser is needed: a listing of branches by
// line laid on the source's lines, conditions labelled by the source as
// written, and the missed branches.
#include "report_fixture.h"

namespace report::testing_support {
namespace {

// A source that the instrumentor listed by line (its line markers went
// backwards): first() on lines 2-7, and gone(), whose lines 20-22 are not in
// this source. The listing puts the /seq block on line 9, past its end.
constexpr const char* kSource =
    "#ifndef SECOND\nint first(int x)\n{\n  if (x > 0)\n    return 1;\n  return 0;\n}\n#endif\n";

std::string ByLineFdc(const std::string& directory) {
  return "VE 3.0e CCOV #i6 8.2.0.1\nFC \"s.c\" \"" + directory +
         "\"\nFD 1700000000\nTC PR BS BI\n"
         "BL 0 simple \"first\" /then 5 5\nBL 1 implicit \"first\" /else 4 5\nBL 2 simple \"first\" /seq 6 6\n"
         "PR 0 proc \"first\" 3 7\nBL 3 simple \"first\"  3 7\nPR 1 proc \"gone\" 20 22\nBL 4 simple \"gone\"  20 22\n"
         "DC 7000 5\n@RIK\n  TOKEN=\"CCOV\"\nNODE TYPE=FILE NAME=\"s.c\"@@COMMENT@/* This document presents all "
         "functions and branches per source line. */@/COMMENT@\n\n\n"
         "  @NODE TYPE=FUNCTION NAME=\"first\"@Function first ()\n"
         "    @BRANCH MARK=TP ID=0 SUM=0@Incoming@/BRANCH@, line 3\n"
         "    @BRANCH MARK=TB ID=3 SUM=20@Statement block@/BRANCH@, line 3\n"
         "    @BRANCH MARK=TB ID=1 SUM=21@@/BRANCH@, line 4\n"
         "    @BRANCH MARK=TB ID=0 SUM=20@Statement block@/BRANCH@, line 5\n"
         "    @BRANCH MARK=TB ID=2 SUM=20@Statement block@/BRANCH@, line 9\n@/NODE@\n"
         "  @NODE TYPE=FUNCTION NAME=\"gone\"@Function gone ()\n"
         "    @BRANCH MARK=TP ID=1 SUM=0@Incoming@/BRANCH@, line 20\n"
         "    @BRANCH MARK=TB ID=4 SUM=20@Statement block@/BRANCH@, line 20\n@/NODE@\n  \n@/NODE /RIK@\n";
}

// first() ran with x > 0: its entry, body and then ran; else, /seq and gone() not.
constexpr const char* kByLineResults = "R 1 2\nF 0x5 0x1B58\nP 0 1\nB 0 1\nB 3 1\n";

class HtmlPagesTest : public ReportTest {
 protected:
  std::string ByLinePage() {
    std::ofstream(dir + "s.c.fdc") << ByLineFdc(dir);
    std::ofstream(dir + "s.qbr") << kByLineResults;
    const RunOutput run = Run({Q(dir + "s.c.fdc"), "-r", Q(dir + "s.qbr"), "--html", Q(dir + "html")});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadAll(dir + "html/file-1.html");
  }
};

TEST_F(HtmlPagesTest, BranchesListedByLineAreShownOnTheSourceLines) {
  std::ofstream(dir + "s.c") << kSource;
  const std::string page = ByLinePage();
  // Every line of the source, its marks after its text.
  EXPECT_NE(page.find("<tr id=\"L1\"><td>1</td><td></td><td>#ifndef SECOND</td></tr>"), std::string::npos) << page;
  EXPECT_NE(page.find("<tr id=\"L3\" class=\"covered\"><td>3</td><td>2/2</td><td>{  <span class=\"mark covered\" "
                      "title=\"first entry: ran in 1 run\">F</span><span class=\"mark covered\""),
            std::string::npos);
  EXPECT_NE(page.find("<tr id=\"L4\" class=\"never\"><td>4</td><td>0/1</td><td>  if (x &gt; 0)  <span class=\"mark "
                      "never\" title=\"implicit blocks /else: never ran\">I</span></td></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<tr id=\"L5\" class=\"covered\"><td>5</td><td>1/1</td><td>    return 1;  <span"),
            std::string::npos);
  // The /seq block named line 9 of an 8-line source; gone() is not in it.
  EXPECT_NE(page.find("<tr id=\"L6\"><td>6</td><td></td><td>  return 0;</td></tr>"), std::string::npos);
  EXPECT_NE(page.find("<tr id=\"L8\"><td>8</td><td></td><td>#endif</td></tr>"), std::string::npos);
  EXPECT_EQ(page.find("id=\"L9\""), std::string::npos);
  EXPECT_NE(page.find("Not aligned, left out: gone ("), std::string::npos);
  EXPECT_NE(page.find("1 listed lines name a line past the source's 8 lines"), std::string::npos);
  EXPECT_EQ(page.find("Statement block, line"), std::string::npos);  // nothing of the made-up list
  // The missed else links to its line.
  EXPECT_NE(page.find("<tr><td data-v=\"4\"><a href=\"#L4\">4</a></td><td>first</td><td class=\"what\">implicit "
                      "blocks: /else</td></tr>"),
            std::string::npos);
}

TEST_F(HtmlPagesTest, BranchesListedByLineStayListedWhenTheSourceIsMissing) {
  const std::string page = ByLinePage();
  EXPECT_NE(page.find("shown as listed: the source " + dir + "s.c could not be read."), std::string::npos) << page;
  EXPECT_NE(page.find("Statement block, line 5"), std::string::npos);
  // The listed lines are no source lines: the misses name lines unlinked.
  EXPECT_NE(page.find("<tr><td data-v=\"4\">4</td><td>first</td>"), std::string::npos);
}

// listing.c: "if (POSITIVE(a))" on line 6 expands to "if (((a) > 0))"; the
// condition "(a) > 0" never was true. On line 4, "a && b": b never false,
// rows TT and FX ran but not TF, so b's independence is not shown.
TEST_F(HtmlPagesTest, MissesLabelConditionsByTheSourceAsWritten) {
  const RunOutput run =
      Run({Q(FixturePath("listing.c.fdc")), "-r", Q(FixturePath("listing.qbr")), "--html", Q(dir + "html")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = ReadAll(dir + "html/file-1.html");
  // The source escaped, its lines in their states, the expansion hidden.
  EXPECT_NE(page.find("((x) &gt; 0) /* a@b */"), std::string::npos);
  EXPECT_NE(page.find("<tr id=\"L7\" class=\"never\">"), std::string::npos);
  EXPECT_NE(page.find("<tr id=\"L4\" class=\"partly\">"), std::string::npos);
  EXPECT_NE(page.find("<tr class=\"expansion\" id=\"alt-0\" hidden>"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"cond partly\" data-pop=\"2\">b</span>"), std::string::npos);
  EXPECT_NE(page.find("<tr><td data-v=\"6\"><a href=\"#L6\">6</a></td><td>sign</td><td class=\"what\"><span "
                      "class=\"expanded\" title=\"expands to (a) &gt; 0\">if (POSITIVE(a))</span> never true</td></tr>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<tr><td data-v=\"4\"><a href=\"#L4\">4</a></td><td>sign</td><td class=\"what\">b never false; "
                      "decision: 2 of 3 rows seen; independence of b not shown</td></tr>"),
            std::string::npos);
  // The misses lead the page, before the source.
  EXPECT_LT(page.find("id=\"misses\""), page.find("<table class=\"source\""));
  // Shared files, not inlined: one style sheet and one script per page.
  EXPECT_NE(page.find("<script src=\"report.js\"></script>"), std::string::npos);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("<style"), std::string::npos);
  // The decision's table is in its popup only, not repeated below.
  std::size_t tables = 0;
  for (std::size_t at = page.find("<table class=\"decision"); at != std::string::npos;
       at = page.find("<table class=\"decision", at + 1)) {
    ++tables;
  }
  EXPECT_EQ(tables, 1u);
}

}  // namespace
}  // namespace report::testing_support
