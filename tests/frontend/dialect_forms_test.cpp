// The GNU and C23 forms that the grammar and the bundled definition file
// accept beyond C89 and C11, and the tree each one leaves.
#include "parser_fixture.h"

namespace frontend {
namespace {

using DialectFormsTest = ParserFixture;

// The obsolete forms "y: 2" and "[1] 3" build the shape of the designated ones.
TEST_F(DialectFormsTest, ObsoleteDesignatorsBuildTheDesignatedShape) {
  ParseClean("typedef int T;\n"
             "struct p q = { y: 2, T: 4, [1] 3, [2 ... 3] { 5 }, .x = 1, .y.z = 4 };\n");
  EXPECT_EQ(Item(1),
            "INIT_DECLARATOR:q[ID:q INIT_VALUE[INITIALIZER[=[.[EMPTY ID:y] DEC:2] =[.[EMPTY ID:T] DEC:4] "
            "=[[[EMPTY DEC:1] DEC:3] =[[[EMPTY ...[DEC:2 DEC:3]] INITIALIZER[DEC:5]] =[.[EMPTY ID:x] DEC:1] "
            "=[.[.[EMPTY ID:y] ID:z] DEC:4]]]]");
  // "y: 2": both the '=' and the '.' are at the ":"; "[1] 3": the '=' is at the "[".
  const TreeNode* items = ItemNode(1)->sons->next->sons->sons;
  EXPECT_EQ(At(items->start), "2:17");
  EXPECT_EQ(At(items->sons->start), "2:17");
  EXPECT_EQ(At(items->next->next->start), "2:28");
}

TEST_F(DialectFormsTest, ATypedefNameIsALabelAGotoTargetAndAnAddress) {
  ParseClean("typedef int T;\n"
             "void f(void) { void *p = &&T; goto T; T: ; T x; x = 1; goto *p; }\n");
  EXPECT_EQ(DumpTree(BodyNode(1)),
            "{[INIT_DECLARATOR:p[*[ID:p] INIT_VALUE[&&[ID:T]]] GOTO[ID:T] LABEL[ID:T EXPRESSION_STATEMENT[EMPTY]] "
            "INIT_DECLARATOR:x[ID:x] EXPRESSION_STATEMENT[=[ID:x DEC:1]] GOTO[*[ID:p]]]");
}

TEST_F(DialectFormsTest, AParameterListOfAnEllipsisAlone) {
  ParseClean("static double promote(...);\nvoid (*handler)(...);\n");
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:promote[ID:promote[([...]]]");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:handler[FUNCTION_DECLARATOR:handler[*[ID:handler] ([...]]]");
}

TEST_F(DialectFormsTest, C23KeywordsAndExtendedTypesOfTheDefinitionFile) {
  ParseClean("bool b = true; static_assert(1, \"x\"); alignas(8) int a; thread_local int t;\n"
             "constexpr int c = 3; void *p = nullptr; int s = alignof(int); typeof_unqual(a) u;\n"
             "unsigned _BitInt(12) bits; _Decimal64 d = 1.0dd; __complex z; _Complex w = 1.0iF;\n"
             "__float80 e; int bool_user(void) { int bool = 1; return bool; }\n");
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:b[ID:b INIT_VALUE[ID:true]]");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:a[ID:a]");
  EXPECT_EQ(Item(4), "INIT_DECLARATOR:p[*[ID:p] INIT_VALUE[ID:nullptr]]");
  EXPECT_EQ(Item(5), "INIT_DECLARATOR:s[ID:s INIT_VALUE[ID:alignof]]");
  EXPECT_EQ(Item(7), "INIT_DECLARATOR:bits[ID:bits]");
  EXPECT_EQ(Item(8), "INIT_DECLARATOR:d[ID:d INIT_VALUE[FLOAT_C:1.0dd]]");
  EXPECT_EQ(Item(10), "INIT_DECLARATOR:w[ID:w INIT_VALUE[FLOAT_C:1.0iF]]");
  EXPECT_EQ(DumpTree(ItemNode(12)->sons->next),
            "{[INIT_DECLARATOR:bool[ID:bool INIT_VALUE[DEC:1]] RETURN[ID:bool]]");
}

TEST_F(DialectFormsTest, DroppedGroupsBeforeADeclarationsSemicolon) {
  ParseClean("struct s { struct { int a; } __attribute__((packed)); _Static_assert(1, \"\"); };\n"
             "enum e { A } __attribute__((packed));\n"
             "__asm__(\".globl x\");\n"
             "void f(void) { struct t { int b; } [[gnu::packed]]; }\n");
  // Nothing is declared but the function, whose body stays empty.
  EXPECT_EQ(DumpTree(root), "TRANSLATION_UNIT[FUNCTION_DEFINITION:f[FUNCTION_HEADER[VOID ID:f[([VOID]]] {]]");
}

TEST_F(DialectFormsTest, DroppedGroupsAfterAParenthesis) {
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
