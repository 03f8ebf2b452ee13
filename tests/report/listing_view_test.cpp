// The annotated source of fixtures/listing.c, worked out by hand from its
// listing, records and results (listing.qbr):
//   sign() entered twice; a true once and false once, b true once and never
//   false; rows TT and FX of a && b seen, TF not, so a is shown by rows 0
//   and 1 and b is not; "return 1" once; POSITIVE(a) never true, false
//   once; "return 2" never, "return 0" once.
// Line 4 holds the implicit block, both basic conditions (4 branches), the
// two pairs and the four rows the popup names: 8 of 11 ran. Line 6 shows
// its macro, whose expansion hides the implicit block and both branches of
// ((a) > 0): 2 of 3.
#include "report/listing_view.h"
#include "report/rik_markup.h"

#include "report_fixture.h"

#include <memory>

namespace report::testing_support {
namespace {

// The view of a listing given in memory, with its results.
struct MemoryListing {
  Report report;
  RikListing listing;
  ListingView view;
};

std::unique_ptr<MemoryListing> ViewOf(const std::string& fdc, const std::string& results) {
  auto loaded = std::make_unique<MemoryListing>();
  CoverageData data;
  FdcReadOutcome read = ParseFdcUnits("memory.c.fdc", fdc);
  EXPECT_EQ(read.error, "");
  AddUnits(data, std::move(read.units));
  std::string error;
  EXPECT_TRUE(AddResults(data, ParseResults("memory.qbr", results).file, error)) << error;
  loaded->report = BuildReport(data);
  std::size_t offset = 0;
  if (loaded->report.files.size() != 1 ||
      !ParseRikListing(loaded->report.files[0].listing, loaded->listing, error, offset)) {
    ADD_FAILURE() << "no listing: " << error;
    return loaded;
  }
  loaded->view = BuildListingView(loaded->listing, loaded->report.files[0]);
  return loaded;
}

std::string TextOf(const std::vector<ListedPiece>& pieces) {
  std::string text;
  for (const ListedPiece& piece : pieces) text += piece.text;
  return text;
}

class ListingViewTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    ASSERT_EQ(view.lines.size(), 9u);
  }

  // "sum:id+ " for a mark of a branch that ran, "sum:id- " for one that did not.
  std::string MarksOf(const std::vector<ListedPiece>& pieces) const {
    std::string marks;
    for (const ListedPiece& piece : pieces) {
      if (piece.mark < 0) continue;
      const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.mark)];
      marks += std::to_string(branch.sum) + ":" + std::to_string(branch.id) + (branch.hit ? "+ " : "- ");
    }
    return marks;
  }

  const std::unique_ptr<MemoryListing> loaded =
      ViewOf(ReadAll(FixturePath("listing.c.fdc")), ReadAll(FixturePath("listing.qbr")));
  const ListingView& view = loaded->view;
};

TEST_F(ListingViewTest, LinesAreTheSourceLinesWithTheirBranchesCounted) {
  const std::vector<std::string> source = {"#define POSITIVE(x) ((x) > 0) /* a@b */",
                                           "int sign(int a, int b)",
                                           "{",
                                           "  if (a && b)",
                                           "    return 1;",
                                           "  if (POSITIVE(a))",
                                           "    return 2;",
                                           "  return 0;",
                                           "}"};
  const std::vector<ListedLine>& lines = view.lines;
  ASSERT_EQ(lines.size(), source.size());
  for (std::size_t i = 0; i < source.size(); ++i) {
    EXPECT_EQ(lines[i].number, i + 1);
    EXPECT_EQ(TextOf(lines[i].pieces), source[i]) << "line " << i + 1;
  }
  const std::vector<std::pair<std::size_t, std::size_t>> tallies = {{0, 0}, {0, 0}, {1, 1}, {8, 11}, {2, 2},
                                                                    {2, 3}, {0, 2}, {1, 1}, {0, 0}};
  for (std::size_t i = 0; i < tallies.size(); ++i) {
    EXPECT_EQ(lines[i].tally.hit, tallies[i].first) << "line " << i + 1;
    EXPECT_EQ(lines[i].tally.total, tallies[i].second) << "line " << i + 1;
  }
  EXPECT_FALSE(lines[1].tally.State().has_value());
  EXPECT_EQ(lines[2].tally.State(), HitState::kCovered);
  EXPECT_EQ(lines[3].tally.State(), HitState::kPartly);
  EXPECT_EQ(lines[6].tally.State(), HitState::kNever);
  EXPECT_EQ(lines[1].function, "sign");
  EXPECT_TRUE(lines[0].pieces.front().comment);
  EXPECT_FALSE(lines[1].pieces.front().comment);
}

TEST_F(ListingViewTest, MarksNameTheBranchesByKindAndNumber) {
  const std::vector<ListedLine>& lines = view.lines;
  EXPECT_EQ(MarksOf(lines[2].pieces), "0:0+ ");
  EXPECT_EQ(MarksOf(lines[3].pieces), "21:1+ ");
  EXPECT_EQ(MarksOf(lines[4].pieces), "20:0+ 1:1+ ");
  EXPECT_EQ(MarksOf(lines[5].pieces), "");  // hidden in the expansion
  EXPECT_EQ(MarksOf(lines[6].pieces), "20:2- 1:2- ");
  EXPECT_EQ(MarksOf(lines[7].pieces), "1:3+ ");
  const ListedBranch& entry = view.branches[static_cast<std::size_t>(lines[2].pieces[0].mark)];
  EXPECT_EQ(entry.count, 2u);
}

TEST_F(ListingViewTest, MacroExpansionKeepsItsBranchesWithItsLine) {
  const ListedLine& line = view.lines[5];
  ASSERT_EQ(line.alternatives.size(), 1u);
  const ListedAlternative& alternative = view.alternatives[static_cast<std::size_t>(line.alternatives[0])];
  EXPECT_EQ(TextOf(alternative.expansion), "  if (((a) > 0))");
  EXPECT_EQ(MarksOf(alternative.expansion), "21:3+ ");
  EXPECT_EQ(alternative.tally.hit, 2u);
  EXPECT_EQ(alternative.tally.total, 3u);
  for (const ListedPiece& piece : line.pieces) EXPECT_EQ(piece.alternative, line.alternatives[0]);
}

TEST_F(ListingViewTest, PopupsAreTiedToConditionsAndTheirDecision) {
  ASSERT_EQ(view.popups.size(), 4u);
  // Opened in this order: the decision a && b, a, b, ((a) > 0).
  ASSERT_NE(view.popups[0].decision, nullptr);
  EXPECT_EQ(view.popups[0].decision->id, 4u);
  EXPECT_EQ(view.popups[0].tally.hit, 4u);  // pair a, rows TT, FX, TT; not pair b nor row TF
  EXPECT_EQ(view.popups[0].tally.total, 6u);
  EXPECT_EQ(view.popups[1].tally.State(), HitState::kCovered);
  EXPECT_EQ(view.popups[2].tally.State(), HitState::kPartly);
  EXPECT_EQ(view.popups[3].tally.State(), HitState::kPartly);
  EXPECT_EQ(view.popups[1].decision, nullptr);
  // Text of line 4 by popup: "a" is its own, " && " the decision's.
  std::string byPopup;
  for (const ListedPiece& piece : view.lines[3].pieces) {
    if (!piece.text.empty()) byPopup += "[" + piece.text + "]" + std::to_string(piece.popup);
  }
  EXPECT_EQ(byPopup, "[  ]-1[if (]-1[a]1[ && ]0[b]2[)]-1");
  // The body of b's popup: its true branch ran, its false branch did not.
  std::string body;
  for (const ListedPiece& piece : view.popups[2].body) {
    if (piece.branch >= 0) body += piece.text + (view.branches[static_cast<std::size_t>(piece.branch)].hit ? "+" : "-");
  }
  EXPECT_EQ(body, "True+False-");
}

// pick() returns x || y with both conditions forced; combinations FF and TF
// ran: x is shown by them, y is not (it needs FF and FT). The table popup
// names no branch of its own and is tied to its decision through x and y.
TEST(ForcedListingTest, ConditionTablePopupShowsItsForcedDecision) {
  const std::string fdc =
      "VE 3.0e CCOV CMCDC #i6 8.2.0.1\nFC \"pick.c\" \"/src/demo/\"\nFD 1700000000\nTC PR CO CC CF\n"
      "PR 0 proc \"pick\" 1 4\nCE 0 \"pick\" \"x\" 3 3\nCE 2 \"pick\" \"y\" 3 3\nCC 4 2 0 2 4 O..\nDC 7000 5\n"
      "@RIK\n  TOKEN=\"CCOV CMCDC\"\nNODE TYPE=FILE NAME=\"pick.c\"@"
      "int @NODE TYPE=FUNCTION NAME=\"pick\"@pick(int x, int y)\n@BRANCH MARK=TP ID=0 SUM=0@{\n  return "
      "@POPUP@@POPUP@x@-POPUP@basic boolean conditions:\n  @BRANCH MARK=TE ID=0 SUM=30@True@/BRANCH@ "
      "@BRANCH MARK=TE ID=1 SUM=30@False@/BRANCH@@/POPUP@ || @POPUP@y@-POPUP@basic boolean conditions:\n  "
      "@BRANCH MARK=TE ID=2 SUM=30@True@/BRANCH@ @BRANCH MARK=TE ID=3 SUM=30@False@/BRANCH@@/POPUP@"
      "@-POPUP BITCOND=(@forced modified and multiple conditions:@,@\n  @,@ needs\n      @,@\n   or @,@\n"
      "other multiple conditions:@,@\n@,\"O..\",0,TE,31,32,@x@,@y@) /POPUP@;\n}@/BRANCH@@/NODE@\n@/NODE /RIK@\n";
  const auto loaded = ViewOf(fdc, "R 1 2\nF 0x5 0x1B58\nP 0 2\nK 0 1\nK 1 1\nK 3 2\nK 4 1\nK 5 1\n");
  const ListingView& view = loaded->view;
  ASSERT_EQ(view.lines.size(), 4u);
  ASSERT_EQ(view.popups.size(), 3u);
  ASSERT_NE(view.popups[0].decision, nullptr);
  EXPECT_TRUE(view.popups[0].decision->forced);
  EXPECT_EQ(view.popups[0].tally.hit, 1u);
  EXPECT_EQ(view.popups[0].tally.total, 2u);
  EXPECT_EQ(view.lines[2].tally.hit, 4u);  // x true and false, y false, x shown
  EXPECT_EQ(view.lines[2].tally.total, 6u);
  std::string text;
  for (const ListedPiece& piece : view.lines[2].pieces) text += piece.text;
  EXPECT_EQ(text, "  return x || y;");
}

// A function-like macro in the middle of line 2, whose expansion begins
// with the block branch of the ternary and holds a line directive: the
// expansion's line feeds start no source line, and the line feed after
// "@-ALT@" belongs to the expansion here, not to the source line.
TEST(InlineAlternativeTest, ExpansionLineFeedsStartNoSourceLine) {
  const std::string fdc =
      "VE 3.0e CCOV #i6 8.2.0.1\nFC \"max.c\" \"/src/demo/\"\nFD 1700000000\nTC PR BS\n"
      "PR 0 proc \"f\" 1 3\nBL 0 simple \"f\" then 2 2\nBL 1 simple \"f\" else 2 2\nDC 9 6\n"
      "@RIK\nNODE TYPE=FILE NAME=\"max.c\"@int f(int a, int b) {\n  return @ALT@MAX(a, b)@-ALT@"
      "@BRANCH MARK=TB ID=0 SUM=20@\n# 2 \"max.c\" 3 4\n((a) > (b) ? (a)@/BRANCH@ : "
      "@BRANCH MARK=TB ID=1 SUM=20@(b))@/BRANCH@@/ALT@;\n}\n@/NODE /RIK@\n";
  const auto loaded = ViewOf(fdc, "R 1 2\nF 0x6 0x9\nB 1 4\n");
  const ListingView& view = loaded->view;
  ASSERT_EQ(view.lines.size(), 3u);
  std::string line2;
  for (const ListedPiece& piece : view.lines[1].pieces) line2 += piece.text;
  EXPECT_EQ(line2, "  return MAX(a, b);");
  ASSERT_EQ(view.alternatives.size(), 1u);
  std::string expansion;
  for (const ListedPiece& piece : view.alternatives[0].expansion) expansion += piece.text;
  EXPECT_EQ(expansion, "\n# 2 \"max.c\" 3 4\n((a) > (b) ? (a) : (b))");
  EXPECT_EQ(view.lines[1].tally.State(), HitState::kPartly);  // the else part ran 4 times, the then part never
  EXPECT_EQ(view.alternatives[0].tally.State(), HitState::kPartly);
}

// count(5): the while loop runs 5 times ("2 loops or more"), then the do
// loop 3 times (n from 0 to 3: "2 loops or more"); its condition n < 3 is
// true twice and false once. Each loop's branches are one popup over the
// whole loop, the do loop's holding the popup of its condition.
const char* const kLoopFdc =
    "VE 3.0e CCOV #i6 8.2.0.1\nFC \"count.c\" \"/src/demo/\"\nFD 1700000000\nTC PR BS BL CO\n"
    "PR 0 proc \"count\" 1 7\n"
    "BL 0 simple \"count\" /while 4 4\nBL 1 logical \"count\" /while/0 3 4\nBL 2 logical \"count\" /while/1 3 4\n"
    "BL 3 logical \"count\" /while/2+ 3 4\n"
    "BL 4 simple \"count\" /do 5 5\nBL 5 logical \"count\" /do/1 5 5\nBL 6 logical \"count\" /do/2+ 5 5\n"
    "CE 0 \"count\" \"n < 3\" 5 5\nDC 9 6\n"
    "@RIK\nNODE TYPE=FILE NAME=\"count.c\"@"
    "int @NODE TYPE=FUNCTION NAME=\"count\"@count(int n)\n{\n"
    "  @POPUP@while (n > 0)\n    @BRANCH MARK=TB ID=0 SUM=20@n--;@/BRANCH@@-POPUP@loop branches:\n"
    "@BRANCH MARK=TB ID=1 SUM=22@  0 loop@/BRANCH@@BRANCH MARK=TB ID=2 SUM=22@  1 loop@/BRANCH@"
    "@BRANCH MARK=TB ID=3 SUM=22@  2 loops or more@/BRANCH@@/POPUP@\n"
    "  @POPUP@do @BRANCH MARK=TB ID=4 SUM=20@n++;@/BRANCH@ while (@POPUP@n < 3@-POPUP@basic boolean conditions:\n  "
    "@BRANCH MARK=TE ID=0 SUM=30@True@/BRANCH@ @BRANCH MARK=TE ID=1 SUM=30@False@/BRANCH@@/POPUP@);"
    "@-POPUP@loop branches:\n@BRANCH MARK=TB ID=5 SUM=22@  1 loop@/BRANCH@"
    "@BRANCH MARK=TB ID=6 SUM=22@  2 loops or more@/BRANCH@@/POPUP@\n"
    "  return n;\n}@/NODE@\n@/NODE /RIK@\n";
const char* const kLoopResults = "R 1 2\nF 0x6 0x9\nP 0 1\nB 0 5\nB 3 1\nB 4 3\nB 6 1\nK 0 2\nK 1 1\n";

std::string MarksIn(const ListingView& view, const std::vector<ListedPiece>& pieces) {
  std::string marks;
  for (const ListedPiece& piece : pieces) {
    if (piece.mark < 0) continue;
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.mark)];
    marks += std::to_string(branch.sum) + ":" + std::to_string(branch.id) + (branch.hit ? "+" : "-") + "@" +
             std::to_string(piece.opens) + " ";
  }
  return marks;
}

// The labelled branches of a popup's body: "label+" ran, "label-" did not.
std::string BodyOf(const ListingView& view, const ListedPopup& popup) {
  std::string body;
  for (const ListedPiece& piece : popup.body) {
    body += piece.branch < 0 ? "[" + piece.text + "]"
                             : piece.text + (view.branches[static_cast<std::size_t>(piece.branch)].hit ? "+" : "-");
  }
  return body;
}

TEST(LoopListingTest, LoopBranchesAreMarkedWhereTheLoopBeginsAndLabelledInItsPopup) {
  const auto loaded = ViewOf(kLoopFdc, kLoopResults);
  const ListingView& view = loaded->view;
  ASSERT_EQ(view.lines.size(), 7u);
  ASSERT_EQ(view.popups.size(), 3u);  // the while loop, the do loop, n < 3
  EXPECT_EQ(TextOf(view.lines[2].pieces), "  while (n > 0)");
  EXPECT_EQ(TextOf(view.lines[4].pieces), "  do n++; while (n < 3);");
  // Each loop's branches once, where it begins, each mark opening its popup.
  EXPECT_EQ(MarksIn(view, view.lines[2].pieces), "22:1-@0 22:2-@0 22:3+@0 ");
  EXPECT_EQ(MarksIn(view, view.lines[3].pieces), "20:0+@-1 ");
  EXPECT_EQ(MarksIn(view, view.lines[4].pieces), "22:5-@1 22:6+@1 20:4+@-1 ");
  EXPECT_EQ(view.branches.size(), 9u);  // 5 loop branches, 2 blocks, n < 3 true and false
  EXPECT_EQ(view.lines[2].tally.hit, 1u);
  EXPECT_EQ(view.lines[2].tally.total, 3u);
  EXPECT_EQ(view.lines[3].tally.total, 1u);
  EXPECT_EQ(view.lines[4].tally.hit, 4u);  // "2 loops or more", the body, true and false
  EXPECT_EQ(view.lines[4].tally.total, 5u);
  EXPECT_EQ(view.popups[0].tally.hit, 1u);
  EXPECT_EQ(view.popups[0].tally.total, 3u);
  EXPECT_EQ(view.popups[1].tally.hit, 1u);
  EXPECT_EQ(view.popups[1].tally.total, 2u);
  EXPECT_EQ(view.popups[2].tally.State(), HitState::kCovered);
  EXPECT_EQ(view.popups[0].decision, nullptr);
  // The loop's text is not its popup's; a condition inside keeps its own.
  for (const ListedLine& line : view.lines) {
    for (const ListedPiece& piece : line.pieces) {
      if (piece.text.empty()) continue;
      EXPECT_EQ(piece.popup, piece.text == "n < 3" ? 2 : -1) << piece.text;
    }
  }
  EXPECT_EQ(BodyOf(view, view.popups[0]), "[loop branches:\n]  0 loop-  1 loop-  2 loops or more+");
  EXPECT_EQ(BodyOf(view, view.popups[1]), "[loop branches:\n]  1 loop-  2 loops or more+");
  EXPECT_EQ(BodyOf(view, view.popups[2]), "[basic boolean conditions:\n  ]True+[ ]False+");
  // The body names the marked branches themselves, not copies.
  EXPECT_EQ(view.popups[0].body[3].branch, view.lines[2].pieces[3].mark);
}

TEST_F(ReportTest, HtmlPageLabelsTheLoopBranchesInTheLoopsPopup) {
  std::ofstream(dir + "count.c.fdc") << kLoopFdc;
  std::ofstream(dir + "count.qbr") << kLoopResults;
  const RunOutput run =
      Run({Q(dir + "count.c.fdc"), "-r", Q(dir + "count.qbr"), "--html", Q(dir + "html"), "--details"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The summary counts the 5 loop branches, of which "2 loops or more" ran for both loops.
  EXPECT_NE(run.out.find("  loops                         2         5    40.0%\n"), std::string::npos) << run.out;
  const std::string page = ReadAll(dir + "html/file-1.html");
  // One results group, and B 0 counts 5: the counts are executions.
  EXPECT_NE(page.find("<tr id=\"L3\" class=\"partly\"><td>3</td><td>1/3</td><td>  <span class=\"mark never\" "
                      "data-pop=\"0\" title=\"loop /while, 0 iterations: never ran\">L</span>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<span class=\"mark covered\" data-pop=\"1\" title=\"loop /do, 2+ iterations: ran once\">L</span>"),
            std::string::npos);
  EXPECT_NE(page.find("<div class=\"popup\" id=\"pop-0\" hidden><pre>loop branches:\n"
                      "<span class=\"br never\" title=\"loop /while, 0 iterations: never ran\">  0 loop</span>"
                      "<span class=\"br never\" title=\"loop /while, 1 iteration: never ran\">  1 loop</span>"
                      "<span class=\"br covered\" title=\"loop /while, 2+ iterations: ran once\">  2 loops or more</span>"
                      "</pre></div>"),
            std::string::npos);
  EXPECT_EQ(page.find("class=\"cond never\" data-pop=\"0\""), std::string::npos);  // no underlined loop text
  EXPECT_EQ(page.find("data-pop=\"0\">while"), std::string::npos);
}

// A block instrumented without function coverage: the listing's closing
// tags name no branch, so there being no function branch is no fault.
TEST(LoopListingTest, ListingWithoutFunctionBranchesIsRead) {
  const std::string fdc =
      "VE 3.0e CCOV #i6 8.2.0.1\nFC \"w.c\" \"/src/demo/\"\nFD 1700000000\nTC BS BL\n"
      "BL 0 simple \"w\" /while 1 1\nBL 1 logical \"w\" /while/0 1 1\nBL 2 logical \"w\" /while/1 1 1\n"
      "BL 3 logical \"w\" /while/2+ 1 1\nDC 5 6\n"
      "@RIK\nNODE TYPE=FILE NAME=\"w.c\"@void w(int x) { @POPUP@while (x) @BRANCH MARK=TB ID=0 SUM=20@x--;@/BRANCH@"
      "@-POPUP@loop branches:\n@BRANCH MARK=TB ID=1 SUM=22@  0 loop@/BRANCH@@BRANCH MARK=TB ID=2 SUM=22@  1 loop@/BRANCH@"
      "@BRANCH MARK=TB ID=3 SUM=22@  2 loops or more@/BRANCH@@/POPUP@ }\n@/NODE /RIK@\n";
  const FdcReadOutcome read = ParseFdcUnits("w.c.fdc", fdc);
  EXPECT_EQ(read.error, "");
  ASSERT_EQ(read.units.size(), 1u);
  EXPECT_FALSE(read.units[0].listing.empty());
}

// Each listing is broken in one way; the FDC file is then refused whole
// with the line of the fault.
TEST_F(ReportTest, MalformedListingsAreRefusedWithTheirLine) {
  const std::string good = ReadAll(FixturePath("listing.c.fdc"));
  struct Case {
    std::string from, to, message;
  };
  const std::vector<Case> cases = {
      {"@LINK NAME=", "@LUNK NAME=", "listing.c.fdc:41: bad annotated listing: unknown tag @LUNK NAME=\"sign\"@"},
      {"@/NODE /RIK@\n", "", "listing.c.fdc is not a valid FDC file"},  // truncated: the block reader refuses it
      {"return 0;@/BRANCH@", "return 0;@/DECISION@", "listing.c.fdc:54: bad annotated listing: @/DECISION@ closes no "
                                                      "open tag of its kind"},
      {"@BRANCH MARK=TP ID=3 SUM=1@", "@BRANCH MARK=TP ID=4 SUM=1@",
       "listing.c.fdc:54: bad annotated listing: @BRANCH MARK=TP ID=4 SUM=1@ names a branch the block does not have"},
      {"ID=4&6 SUM=31", "ID=4&9 SUM=31", "listing.c.fdc:48: bad annotated listing: @BRANCH MARK=TE ID=4&9 SUM=31@ "
                                          "names a branch the block does not have"},
      {"ID=3 SUM=1@", "ID=3 SUM=5@", "listing.c.fdc:54: bad annotated listing: bad branch tag @BRANCH MARK=TP ID=3 SUM=5@"},
      {"@-ALT@", "", "listing.c.fdc:53: bad annotated listing: @/ALT@ without an open expansion"},
      {"}@/BRANCH@@/NODE@\n@/NODE /RIK@\n", "}@/BRANCH@@/NODE@\n@/NODE /RIK@\nxyz\n", "listing.c.fdc:57: bad annotated "
                                                                                "listing: text after the end of the listing"},
  };
  for (const Case& broken : cases) {
    std::string text = good;
    const std::size_t at = text.find(broken.from);
    ASSERT_NE(at, std::string::npos) << broken.from;
    text.replace(at, broken.from.size(), broken.to);
    EXPECT_EQ(ParseFdcUnits("listing.c.fdc", text).error, broken.message);
  }
}

TEST_F(ReportTest, MalformedListingEndsTheCommandWithStatusOne) {
  std::string text = ReadAll(FixturePath("listing.c.fdc"));
  text.replace(text.find("@/POPUP@)@/ALT@"), 15, "@/POPUP@)");
  const std::string path = dir + "broken.c.fdc";
  std::ofstream(path) << text;
  const RunOutput run = Run({Q(path), "-r", Q(FixturePath("listing.qbr"))});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "quorbreport: error: " + path +
                         ":56: bad annotated listing: the listing ends with tags still open\n");
}

TEST_F(ReportTest, FunctionsOptionListsEachFunctionUnderItsFile) {
  const RunOutput run = Run({Q(FixturePath("listing.c.fdc")), "-r", Q(FixturePath("listing.qbr")), "--functions",
                             "--details"});
  ASSERT_EQ(run.status, 0) << run.err;
  // One function: its figures are the file's, its names two columns further
  // in, the numbers where they were.
  const std::string figures = DetailsLine("functions", 1, 1, "100.0%") + DetailsLine("exits", 2, 3, "66.6%") +
                              DetailsLine("statement blocks", 1, 2, "50.0%") +
                              DetailsLine("implicit blocks", 2, 2, "100.0%") + DetailsLine("decisions", 3, 4, "75.0%") +
                              DetailsLine("basic conditions", 4, 6, "66.6%") +
                              DetailsLine("modified conditions", 1, 2, "50.0%") +
                              DetailsLine("multiple conditions", 2, 3, "66.6%");
  std::string indented;
  std::istringstream lines(figures);
  for (std::string line; std::getline(lines, line);) indented += "  " + line.substr(0, 23) + line.substr(25) + "\n";
  EXPECT_EQ(run.out, "Coverage of 1 file under /src/demo from 1 results section\n\n"
                     "                          covered     total  percent\n"
                     "listing.c\n" + figures + "  sign (lines 2-9)\n" + indented + "TOTAL\n" + figures);
}

}  // namespace
}  // namespace report::testing_support
