#include "frontend/printer.h"

#include "bound_front_end.h"
#include "bound_run.h"
#include "frontend/syntax_tree.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace frontend {
namespace {

class PrinterTest : public ::testing::Test {
 protected:
  BoundRun run_;
  BoundFrontEnd frontEnd;

  TreeNode* Leaf(const char* spelling, NodeKind kind = NodeKind::IDENTIFIER) {
    TreeNode* node = CreateNode(kind, nullptr);
    node->alpha = spelling ? support::InternName(spelling) : nullptr;
    return node;
  }
  TreeNode* Node(NodeKind kind, std::initializer_list<TreeNode*> children) {
    TreeNode* node = CreateNode(kind, nullptr);
    for (TreeNode* child : children) AppendChild(node, child);
    return node;
  }
  std::string Print(TreeNode* root, std::int16_t capacity = 128) {
    std::vector<char> buffer(static_cast<std::size_t>(std::max<int>(capacity, 0)) + 1, '#');
    return PrintNode(root, buffer.data(), capacity);
  }
};

// The forms a source's conditions and callees seldom take; the common ones
// are in the FDC records of every instrumented program.
TEST_F(PrinterTest, ExpressionForms) {
  EXPECT_EQ(Print(Node(NodeKind::AMPERSAND, {Leaf("x")})), "&x");  // unary forms have no blank
  EXPECT_EQ(Print(Node(NodeKind::AMPERSAND, {Leaf("x"), Leaf("y")})), "x & y");
  EXPECT_EQ(Print(Node(NodeKind::AND_OP, {Leaf("out")})), "&&out");  // address of a label
  TreeNode* conditional = Node(NodeKind::QUESTION, {Leaf("c"), CreateNode(NodeKind::EMPTY, nullptr),
                                                    Node(NodeKind::COLON, {Leaf("d")})});
  EXPECT_EQ(Print(conditional), "c ?  : d");  // the middle operand omitted
  EXPECT_EQ(Print(Node(NodeKind::INITIALIZER, {Leaf("a")})), "{...}");
  EXPECT_EQ(Print(CreateNode(NodeKind::WHILE, nullptr)), "<?>");
  EXPECT_EQ(Print(nullptr), "");
}

TEST_F(PrinterTest, FunctionHeaderPrintsSpecifiersAndThePointerDeclaratorWithBlanks) {
  // char *name(void): FUNCTION_HEADER [CHAR, '*'[FUNCTION_DECLARATOR...]] in
  // a two-child '*' form, which the header flag prints as " * " first.
  TreeNode* declarator = Node(NodeKind::FUNCTION_DECLARATOR,
                              {Leaf("name"), Node(NodeKind::LEFT_PAREN, {CreateNode(NodeKind::VOID, nullptr)})});
  TreeNode* pointer = Node(NodeKind::STAR, {CreateNode(NodeKind::CONST, nullptr), declarator});
  EXPECT_EQ(Print(Node(NodeKind::FUNCTION_HEADER, {CreateNode(NodeKind::CHAR, nullptr), pointer})),
            " char  *  const name( void )");
  // Outside a header the same '*' is a multiplication.
  EXPECT_EQ(Print(Node(NodeKind::STAR, {Leaf("a"), Leaf("b")})), "a * b");
  // A word that a pragma mapped to a keyword's code prints nothing.
  EXPECT_EQ(Print(Node(NodeKind::TYPE_NAME, {Leaf("__int64", NodeKind::LONG), Leaf("T", NodeKind::TYPEDEF_NAME)})),
            "T");
}

TEST_F(PrinterTest, ATextLongerThanTheCapacityEndsInTheMarkerWithinTheCapacity) {
  TreeNode* condition = Node(NodeKind::AND_OP, {Node(NodeKind::EQ_OP, {Leaf("alpha"), Leaf("beta")}),
                                                Node(NodeKind::NE_OP, {Leaf("gamma"), Leaf("delta")})});
  // "alpha" (5) and " == " (9) fit; "beta" does not, and 9 is not below
  // 10 - 3, so the marker takes the last four places.
  const std::string text = Print(condition, 10);
  EXPECT_EQ(text, "alpha  ...");
  EXPECT_LE(text.size(), 10u);
  EXPECT_EQ(Print(Node(NodeKind::EQ_OP, {Leaf("ab"), Leaf("cdefgh")}), 10), "ab ==  ...");
  EXPECT_EQ(Print(Node(NodeKind::EQ_OP, {Leaf("ab"), Leaf("c")}), 7), "ab == c");
  EXPECT_EQ(Print(Leaf("abc"), 2), " .");  // a capacity below 4 keeps what fits of the marker
}

TEST_F(PrinterTest, DeepExpressionsPrintWithoutExhaustingTheStack) {
  TreeNode* root = Leaf("a");
  for (int i = 0; i < 200000; ++i) root = Node(NodeKind::PLUS, {root, Leaf("b")});
  const std::string text = Print(root, 32);
  // Seven " + " fit (28 characters, then 32); the next "b" does not.
  EXPECT_EQ(text, "a + b + b + b + b + b + b +  ...");
  EXPECT_LE(text.size(), 32u);
}

}  // namespace
}  // namespace frontend
