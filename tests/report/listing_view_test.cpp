// The annotated source where the pages alone would not show a fault: a
// forced decision's table popup, a macro expansion opening with a line
// directive, a loop's popup, and listings broken in every way.
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
  EXPECT_EQ(TextOf(view.lines[2].pieces), "  return x || y;");
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
  EXPECT_EQ(TextOf(view.lines[1].pieces), "  return MAX(a, b);");
  ASSERT_EQ(view.alternatives.size(), 1u);
  EXPECT_EQ(TextOf(view.alternatives[0].expansion), "\n# 2 \"max.c\" 3 4\n((a) > (b) ? (a) : (b))");
  EXPECT_EQ(view.lines[1].tally.State(), HitState::kPartly);  // the else part ran 4 times, the then part never
  EXPECT_EQ(view.alternatives[0].tally.State(), HitState::kPartly);
}

// A block instrumented without function coverage (no function branch in the
// listing's closing tags, which is no fault); w(5) runs the loop more than
// once. The loop's marks, where it begins, each open its popup; its text,
// though inside the popup, is no condition's.
TEST(LoopListingTest, LoopMarksOpenThePopupWhoseTextIsNoCondition) {
  const std::string fdc =
      "VE 3.0e CCOV #i6 8.2.0.1\nFC \"w.c\" \"/src/demo/\"\nFD 1700000000\nTC BS BL\n"
      "BL 0 simple \"w\" /while 1 1\nBL 1 logical \"w\" /while/0 1 1\nBL 2 logical \"w\" /while/1 1 1\n"
      "BL 3 logical \"w\" /while/2+ 1 1\nDC 5 6\n"
      "@RIK\nNODE TYPE=FILE NAME=\"w.c\"@void w(int x) { @POPUP@while (x) @BRANCH MARK=TB ID=0 SUM=20@x--;@/BRANCH@"
      "@-POPUP@loop branches:\n@BRANCH MARK=TB ID=1 SUM=22@  0 loop@/BRANCH@@BRANCH MARK=TB ID=2 SUM=22@  1 loop@/BRANCH@"
      "@BRANCH MARK=TB ID=3 SUM=22@  2 loops or more@/BRANCH@@/POPUP@ }\n@/NODE /RIK@\n";
  const auto loaded = ViewOf(fdc, "R 1 2\nF 0x6 0x5\nB 0 5\nB 3 1\n");
  const ListingView& view = loaded->view;
  ASSERT_EQ(view.lines.size(), 1u);
  ASSERT_EQ(view.popups.size(), 1u);
  EXPECT_EQ(TextOf(view.lines[0].pieces), "void w(int x) { while (x) x--; }");
  std::string marks;  // "id+@popup" of each mark, "-" for a branch that did not run
  for (const ListedPiece& piece : view.lines[0].pieces) {
    if (!piece.text.empty()) {
      EXPECT_EQ(piece.popup, -1) << piece.text;
    }
    if (piece.mark < 0) continue;
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.mark)];
    marks += std::to_string(branch.id) + (branch.hit ? "+@" : "-@") + std::to_string(piece.opens) + " ";
  }
  EXPECT_EQ(marks, "1-@0 2-@0 3+@0 0+@-1 ");
}

// Each listing is broken in one way; the FDC file is then refused whole
// with the line of the fault.
TEST(ListingMarkup, MalformedListingsAreRefusedWithTheirLine) {
  const std::string good = ReadAll(FixturePath("listing.c.fdc"));
  struct Case {
    std::string from, to, message;
  };
  const std::vector<Case> cases = {
      {"@LINK NAME=", "@LUNK NAME=", ":41: bad annotated listing: unknown tag @LUNK NAME=\"sign\"@"},
      {"return 0;@/BRANCH@", "return 0;@/DECISION@", ":54: bad annotated listing: @/DECISION@ closes no open tag of "
                                                      "its kind"},
      {"ID=4&6 SUM=31", "ID=4&9 SUM=31", ":48: bad annotated listing: @BRANCH MARK=TE ID=4&9 SUM=31@ names a branch "
                                          "the block does not have"},
      {"ID=3 SUM=1@", "ID=3 SUM=5@", ":54: bad annotated listing: bad branch tag @BRANCH MARK=TP ID=3 SUM=5@"},
      {"@-ALT@", "", ":53: bad annotated listing: @/ALT@ without an open expansion"},
      {"@/POPUP@)@/ALT@", "@/POPUP@)", ":56: bad annotated listing: the listing ends with tags still open"},
      {"}@/BRANCH@@/NODE@\n@/NODE /RIK@\n", "}@/BRANCH@@/NODE@\n@/NODE /RIK@\nxyz\n",
       ":57: bad annotated listing: text after the end of the listing"},
      {"@/NODE /RIK@\n", "", " is not a valid FDC file"},  // truncated: the block reader refuses it
  };
  for (const Case& broken : cases) {
    std::string text = good;
    const std::size_t at = text.find(broken.from);
    ASSERT_NE(at, std::string::npos) << broken.from;
    text.replace(at, broken.from.size(), broken.to);
    EXPECT_EQ(ParseFdcUnits("listing.c.fdc", text).error, "listing.c.fdc" + broken.message);
  }
}

}  // namespace
}  // namespace report::testing_support
