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

// The tables and prefix forms themselves are checked against an evaluator
// of short-circuit evaluation on random decisions (mcdc_verdict_test), and
// the rows of each decision's table by the count oracle.
TEST_F(CompositionTest, RowCountStopsBeyondTheBound) {
  // Forty or-pairs joined by and have 2^40 true rows: the count stops just
  // beyond the bound instead of overflowing.
  std::string pairs = "(a || b)";
  for (int i = 1; i < 40; ++i) pairs += " && (a || b)";
  const RowCounts large = CountRows(Decision(pairs));
  EXPECT_EQ(large.trueRows, kMaxCaseRows + 1);
}

}  // namespace
}  // namespace instrument
