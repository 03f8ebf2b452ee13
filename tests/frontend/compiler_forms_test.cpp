// The C99, C11 and GNU forms of real compiler output, parsed after the
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

// __real__ and __imag__ are unary operators, as tightly bound as "+".
TEST_F(CompilerFormsTest, GnuWordsTheDefinitionFileTeaches) {
  ParseClean("struct s { int a; _Static_assert(1, \"member\"); };\n"
             "void f(double _Complex z) {\n"
             "  __label__ a, b;\n"
             "  __auto_type k = 1;\n"
             "  __asm__ volatile (\"\" ::: \"memory\");\n"
             "  k = __real__ z + __imag__ z;\n"
             "  a: b: return;\n"
             "}\n"
             "double _Complex i = 1.0iF;\n");
  EXPECT_EQ(DumpTree(BodyNode(0)),
            "{[INIT_DECLARATOR:k[ID:k INIT_VALUE[DEC:1]] EMPTY "
            "EXPRESSION_STATEMENT[=[ID:k +[+:__real__[ID:z] +:__imag__[ID:z]]]] LABEL[ID:a LABEL[ID:b RETURN[EMPTY]]]]");
  // The assembler statement is one EMPTY from "__asm__" to its ";".
  const TreeNode* assembler = BodyNode(0)->sons->next;
  EXPECT_EQ(At(assembler->start), "5:3");
  EXPECT_EQ(At(assembler->end), "5:37");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:i[ID:i INIT_VALUE[FLOAT_C:1.0iF]]");
}

}  // namespace
}  // namespace frontend
