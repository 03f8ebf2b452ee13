#include "frontend/parser_fixture.h"
#include "instrument/composition.h"
#include "instrument/condition_listing.h"

#include <string>

namespace instrument {
namespace {

using frontend::TreeNode;

class CompositionTest : public frontend::ParserFixture {
 protected:
  // The expression of "int f(...) { return <expression>; }".
  const TreeNode* Decision(const std::string& expression) {
    EXPECT_EQ(Parse("int f(int a, int b, int c, int d) { return " + expression + "; }\n"), 0) << shown;
    const TreeNode* body = ItemNode(0)->sons->next;
    return body->sons->sons;  // RETURN [expression]
  }
};

TEST_F(CompositionTest, TablesOfAndOrAndNot) {
  Composition composition = ComposeCases(Decision("a && (b || c)"));
  EXPECT_EQ(composition.table.cells, "TTXTFTTFFFXX");
  EXPECT_EQ(composition.trueRows, 2u);
  composition = ComposeCases(Decision("a || b"));
  EXPECT_EQ(composition.table.cells, "TXFTFF");
  EXPECT_EQ(composition.trueRows, 2u);
  // not swaps the true and the false rows of its operand.
  composition = ComposeCases(Decision("!(a && b)"));
  EXPECT_EQ(composition.table.cells, "TFFXTT");
  EXPECT_EQ(composition.trueRows, 2u);
  EXPECT_EQ(PrefixForm(Decision("!(a && b) || c")), "ONA...");
}

TEST_F(CompositionTest, RowsAreCountedWithoutBuildingTheTable) {
  // (a||b) && (c||d): true rows 2 * 2, false rows 2 * 1 + 1.
  const RowCounts small = CountRows(Decision("(a || b) && (c || d)"));
  EXPECT_EQ(small.trueRows, 4u);
  EXPECT_EQ(small.falseRows, 3u);
  // Forty or-pairs joined by and have 2^40 true rows: the count stops just
  // beyond the bound instead of overflowing.
  std::string pairs = "(a || b)";
  for (int i = 1; i < 40; ++i) pairs += " && (a || b)";
  const RowCounts large = CountRows(Decision(pairs));
  EXPECT_EQ(large.trueRows, kMaxCaseRows + 1);
}

}  // namespace
}  // namespace instrument
