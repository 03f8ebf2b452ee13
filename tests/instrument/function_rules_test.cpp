#include "driver/options.h"
#include "frontend/parser_fixture.h"
#include "instrument/falls_through.h"
#include "instrument/function_metrics.h"
#include "instrument/instr_state.h"
#include "instrument/return_instrumentation.h"
#include "output/fdc_file.h"
#include "output/tsf_file.h"

namespace instrument {
namespace {

using frontend::TreeNode;

class FunctionRulesTest : public frontend::ParserFixture {
 protected:
  const TreeNode* Body(int n) const { return ItemNode(n)->sons->next; }
  const TreeNode* LastStatement(int n) const {
    const TreeNode* last = Body(n)->sons;
    while (last && last->next) last = last->next;
    return last;
  }
};

// Ifs, gotos, switches and breaks are the count oracle's, whose programs
// record where a closing brace is reached.
TEST_F(FunctionRulesTest, ClosingBraceIsReachableUnlessTheBodySurelyLeaves) {
  ASSERT_EQ(Parse("void g(void) { { exit(1); } }\n"
                  "void h(void) { for (;;) return; }\n",
                  "#pragma quorb exit_instr = \"exit\"\n"),
            0)
      << shown;
  EXPECT_FALSE(FallsThrough(LastStatement(0)));  // call of a terminating function
  EXPECT_TRUE(FallsThrough(LastStatement(1)));   // loops are taken as reachable
  EXPECT_TRUE(FallsThrough(nullptr));            // empty body
}

TEST_F(FunctionRulesTest, MetricsCountDecisionsStatementsAndNesting) {
  ASSERT_EQ(Parse("int m(int a, int b) {\n"
                  "  if (a && b) { while (a) a--; }\n"
                  "  return a ? b : 0;\n"
                  "}\nvoid n(void) { }\n"),
            0)
      << shown;
  // Cyclomatic: the function, IF, AND_OP, WHILE and '?' = 5. Statements: IF,
  // WHILE, the expression statement a-- and RETURN = 4. Nesting: the
  // function at 1, IF at 2, WHILE at 3.
  const FunctionMetrics metrics = ComputeFunctionMetrics(ItemNode(0));
  EXPECT_EQ(metrics.cyclomatic, 5u);
  EXPECT_EQ(metrics.statements, 4u);
  EXPECT_EQ(metrics.nesting, 3u);
  const FunctionMetrics empty = ComputeFunctionMetrics(ItemNode(1));
  EXPECT_EQ(empty.cyclomatic, 1u);
  EXPECT_EQ(empty.statements, 0u);
  EXPECT_EQ(empty.nesting, 0u);
}

// The four forms of a traced return are the command-line case
// traced_function_texts's; with -BEFORE_RETURN_EXPR a call keeps the simple one.
TEST_F(FunctionRulesTest, BeforeReturnExpressionKeepsTheSimpleForm) {
  ASSERT_EQ(Parse("int i(void) { return g(); }\n"), 0) << shown;
  driver::Options options;
  output::FdcWriter fdc({});
  output::TsfWriter tsf({});
  InstrState state(options, Front(), fdc, tsf, nullptr, nullptr);
  const InstrScope binding(state);
  FunctionWalk walk;
  const WalkScope scope(state, walk);
  Instr().walk->functionName = ItemNode(0)->alpha;
  Instr().walk->function = ItemNode(0);
  EXPECT_EQ(ChooseReturnForm(ItemNode(0)->sons, Body(0)->sons->sons, false).form, ReturnForm::Integral);
  EXPECT_EQ(ChooseReturnForm(ItemNode(0)->sons, Body(0)->sons->sons, true).form, ReturnForm::Simple);
}

}  // namespace
}  // namespace instrument
