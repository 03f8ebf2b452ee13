#include "parser_fixture.h"

namespace frontend {
namespace {

using ParserTest = ParserFixture;

TEST_F(ParserTest, EmptyFileGivesAnEmptyTranslationUnit) {
  ASSERT_EQ(Parse(""), 0) << shown;
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(DumpTree(root), "TRANSLATION_UNIT");
  EXPECT_EQ(root->end.File()->text, "a.c");
  EXPECT_EQ(root->end.Directory()->text, directory);
}

TEST_F(ParserTest, HeaderOfAFunctionReturningPointerToVoidMarksItsName) {
  ASSERT_EQ(Parse("void *alloc(unsigned n) { return 0; }\nvoid const *other(void) { return 0; }\n"), 0)
      << shown;
  EXPECT_EQ(DumpTree(ItemNode(0)->sons), "FUNCTION_HEADER[VOID *[ID:alloc[([UNSIGNED ID:n]]]]");
  EXPECT_NE(support::InternName("alloc")->flags & 0x80000000u, 0u);
  EXPECT_EQ(DumpTree(ItemNode(1)->sons), "FUNCTION_HEADER[VOID CONST *[ID:other[([VOID]]]]");
  EXPECT_EQ(support::InternName("other")->flags & 0x80000000u, 0u);
}

// A label is no variable: its address does not mark it referenced.
TEST_F(ParserTest, AddressOfALabelDoesNotMarkItReferenced) {
  ASSERT_EQ(Parse("void f(void) { void *p = &&out; goto *p; out: ; }\n"), 0) << shown;
  EXPECT_EQ(support::InternName("out")->flags & 0x10000000u, 0u);
}

TEST_F(ParserTest, TypedefNamesFollowTheirScopes) {
  ASSERT_EQ(Parse("typedef int T;\n"
                  "int f(int T) { return T * 2; }\n"
                  "T g;\n"
                  "void h(void) { T x; { int T; T = 1; } T y; }\n"),
            0)
      << shown;
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:T[ID:T]");
  // Inside f the parameter T is a variable: "T * 2" is a multiplication.
  EXPECT_EQ(DumpTree(BodyNode(1)), "{[RETURN[*[ID:T DEC:2]]]");
  EXPECT_EQ(Item(2), "INIT_DECLARATOR:g[ID:g]");
  EXPECT_NE(support::InternName("T")->flags & 0x1u, 0u);
  EXPECT_EQ(DumpTree(BodyNode(3)),
            "{[INIT_DECLARATOR:x[ID:x] {[INIT_DECLARATOR:T[ID:T] EXPRESSION_STATEMENT[=[ID:T DEC:1]]] "
            "INIT_DECLARATOR:y[ID:y]]");
}

TEST_F(ParserTest, ErrorAtEndOfInputNamesTheEndOfFile) {
  EXPECT_EQ(Parse("int f(void) {"), 1);
  EXPECT_EQ(shown, "Nivrak quorbcc1 - ERROR: syntax error near <end-of-file> [" + directory + "a.c,1]\n");
}

TEST_F(ParserTest, AnachronismsAreWarningsWithEmptyParts) {
  ASSERT_EQ(Parse("int f(int a) {\n  a = a ? : 2;\n  switch (a) { case 1: }\n  switch (a) { default: }\n  "
                  "{ lab: }\n  return a;\n}\n"),
            0)
      << shown;
  const std::string reference = directory + "a.c,";
  EXPECT_EQ(shown,
            "Nivrak quorbcc1 - WARNING: syntax anachronism accepted:\n  <logical.OR.expression> ? : "
            "<conditional.expression>:\n  near:[" + reference + "2]\n"
            "Nivrak quorbcc1 - WARNING: syntax anachronism accepted:\n  case <constant.expression> :}[" +
                reference + "3]\n"
            "Nivrak quorbcc1 - WARNING: syntax anachronism accepted:\n  default :}[" + reference + "4]\n"
            "Nivrak quorbcc1 - WARNING: syntax anachronism accepted:\n  <goto-label> :}[" + reference + "5]\n");
  const TreeNode* body = BodyNode(0);
  EXPECT_EQ(DumpTree(body->sons), "EXPRESSION_STATEMENT[=[ID:a ?[ID:a EMPTY :[DEC:2]]]]");
  EXPECT_EQ(DumpTree(body->sons->next), "SWITCH[ID:a {[CASE[DEC:1 EMPTY]]]");
  EXPECT_EQ(DumpTree(body->sons->next->next), "SWITCH[ID:a {[DEFAULT[EMPTY]]]");
  EXPECT_EQ(DumpTree(body->sons->next->next->next), "{[LABEL[ID:lab EMPTY]]");
}

TEST_F(ParserTest, RealSyntaxErrorAfterALabelIsStillCounted) {
  EXPECT_EQ(Parse("void f(void) { lab: x = ; }\n"), 1);
  EXPECT_NE(shown.find("ERROR: syntax error near ;"), std::string::npos) << shown;
}

TEST_F(ParserTest, FileScopeVariablesForMemoryProfiling) {
  ASSERT_EQ(Parse("int a; struct s { int x; } b; struct s *c; int d[]; int e[2][3]; int f(void); "
                  "typedef int (fn)(void); extern int g; static int h[4];\n"),
            0)
      << shown;
  std::string names;
  for (const support::NameListNode& node : Front().symbols.fileVariables.nodes) {
    names += node.entry->text + " ";
  }
  // b is a struct (not a pointer), d has no size, e is an array of arrays,
  // f is a function and fn a type.
  EXPECT_EQ(names, "a c g h ");
}

TEST_F(ParserTest, BlockStaticsThatAreReferencedComeFirstInTheirBlock) {
  ASSERT_EQ(Parse("int f(void) { static int used, unused; int local = 0; return used + local; }\n"), 0) << shown;
  const TreeNode* body = BodyNode(0);
  ASSERT_EQ(body->sons->kind, BLOCK_STATICS);
  ASSERT_NE(body->sons->statics, nullptr);
  ASSERT_EQ(body->sons->statics->nodes.size(), 1u);
  EXPECT_EQ(body->sons->statics->nodes[0].entry->text, "used");
}

}  // namespace
}  // namespace frontend
