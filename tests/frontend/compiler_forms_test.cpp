// The C99, C11, C23 and GNU forms of real compiler output, parsed after the
// bundled definition file for GCC and Clang: the tree each one leaves.
#include "parser_fixture.h"

namespace frontend {
namespace {

using CompilerFormsTest = ParserFixture;

TEST_F(CompilerFormsTest, ArrayParametersWithQualifiersAndStatic) {
  ParseClean("void f(int n, int a[static 10], int b[const 5], int c[static const 3], int d[const static 2],"
             " int e[*], int g[const]);\n"
             "void k(int [static 4], char [const]);\n"
             "int h(int a[static 2]), v = 1;\n");
  EXPECT_EQ(Item(0),
            "INIT_DECLARATOR:f[ID:f[([INT ID:n INT ID:a[[[DEC:10]] INT ID:b[[[DEC:5]] INT ID:c[[[DEC:3]] "
            "INT ID:d[[[DEC:2]] INT ID:e[[] INT ID:g[[]]]]");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:k[ID:k[([INT [[DEC:4] CHAR []]]");
  // The "static" between brackets is no storage class of the declaration.
  EXPECT_EQ(Item(3), "INIT_DECLARATOR:v[ID:v INIT_VALUE[DEC:1]]");
}

TEST_F(CompilerFormsTest, EmptyCompoundLiteral) {
  ParseClean("void f(void) {\n  g((struct p){});\n}\n");
  EXPECT_EQ(DumpTree(BodyNode(0)), "{[EXPRESSION_STATEMENT[CALL[ID:g CAST[INITIALIZER]]]]");
  const TreeNode* literal = BodyNode(0)->sons->sons->sons->next;
  // "  g((struct p){});": "(" at column 5, ")" at 14, "{" at 15, "}" at 16
  EXPECT_EQ(At(literal->start), "2:5");
  EXPECT_EQ(At(literal->end), "2:14");
  EXPECT_EQ(At(literal->sons->start), "2:15");
  EXPECT_EQ(At(literal->sons->end), "2:16");
}

TEST_F(CompilerFormsTest, AParameterListOfAnEllipsisAlone) {
  ParseClean("static double promote(...);\nvoid (*handler)(...);\n");
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:promote[ID:promote[([...]]]");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:handler[FUNCTION_DECLARATOR:handler[*[ID:handler] ([...]]]");
}

// C23 words the definition file teaches; "bool" stays usable as a name, and
// a structure with only a _Static_assert besides its members declares nothing.
TEST_F(CompilerFormsTest, C23KeywordsOfTheDefinitionFile) {
  ParseClean("bool b = true; thread_local int t; constexpr int c = 3; void *p = nullptr;\n"
             "int s = alignof(int); typeof_unqual(s) u; struct m { int a; _Static_assert(1, \"member\"); };\n"
             "int bool_user(void) { int bool = 1; return bool; }\n");
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:b[ID:b INIT_VALUE[ID:true]]");
  EXPECT_EQ(Item(3), "INIT_DECLARATOR:p[*[ID:p] INIT_VALUE[ID:nullptr]]");
  EXPECT_EQ(Item(4), "INIT_DECLARATOR:s[ID:s INIT_VALUE[ID:alignof]]");
  EXPECT_EQ(DumpTree(BodyNode(6)), "{[INIT_DECLARATOR:bool[ID:bool INIT_VALUE[DEC:1]] RETURN[ID:bool]]");
}

TEST_F(CompilerFormsTest, DroppedGroupsAfterAParenthesis) {
  ParseClean("void stop(void) __attribute__((noreturn)), quit(void) __asm__(\"q\");\n"
             "struct ops { void (*run)(void) __attribute__((cold)); };\n"
             "int k(a) int (*a)(void) __attribute__((unused)); { return 0; }\n"
             "void spin(volatile int *busy) {\n"
             "  while (*busy) __asm__ volatile(\"pause\");\n"
             "  if (*busy) __asm__(\"\"); else __asm__(\"\");\n"
             "  do __asm__(\"\"); while (0);\n"
             "}\n");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:quit[ID:quit[([VOID]]]");
  // The items of the declaration end at its ";", after the group.
  EXPECT_EQ(At(ItemNode(1)->end), "1:67");
  EXPECT_EQ(DumpTree(BodyNode(3)), "{[WHILE[*[ID:busy] EMPTY] IF[*[ID:busy] EMPTY ELSE[EMPTY]] DO[OCT:0 EMPTY]]");
  // "  while (*busy) __asm__ volatile("pause");": the body is columns 17 to 42.
  const TreeNode* body = BodyNode(3)->sons->sons->next;
  EXPECT_EQ(At(body->start), "5:17");
  EXPECT_EQ(At(body->end), "5:42");
}

}  // namespace
}  // namespace frontend
