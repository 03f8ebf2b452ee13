#include "parser_fixture.h"

#include <sstream>

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

TEST_F(ParserTest, DeclarationItemsEndAtTheSemicolon) {
  ASSERT_EQ(Parse("int x = 1, *p;\nstatic int s = 2;\n"), 0) << shown;
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:x[ID:x INIT_VALUE[DEC:1]]");
  EXPECT_EQ(Item(1), "INIT_DECLARATOR:p[*[ID:p]]");
  EXPECT_EQ(Item(2), "INIT_DECLARATOR:s[ID:s STATIC_INIT_VALUE[DEC:2]]");
  // int x = 1, *p;  x at column 5, "*" at 12, ";" at 14, "=" at 7
  EXPECT_EQ(At(ItemNode(0)->start), "1:5");
  EXPECT_EQ(At(ItemNode(0)->end), "1:14");
  EXPECT_EQ(At(ItemNode(1)->start), "1:12");
  EXPECT_EQ(At(ItemNode(0)->sons->next->start), "1:7");
}

TEST_F(ParserTest, FunctionDefinitionWithIfElse) {
  ASSERT_EQ(Parse("int f(int a)\n{\n  if (a) return 1; else a = 2;\n  return a;\n}\n"), 0) << shown;
  EXPECT_EQ(Item(0),
            "FUNCTION_DEFINITION:f[FUNCTION_HEADER[INT ID:f[([INT ID:a]]] {[IF[ID:a RETURN[DEC:1] "
            "ELSE[EXPRESSION_STATEMENT[=[ID:a DEC:2]]]] RETURN[ID:a]]]");
  const TreeNode* definition = ItemNode(0);
  EXPECT_EQ(At(definition->start), "1:5");  // the declarator's first token
  EXPECT_EQ(At(definition->end), "1:5");    // f is one character long
  const TreeNode* body = definition->sons->next;
  EXPECT_EQ(At(body->start), "2:1");
  EXPECT_EQ(At(body->end), "5:1");
  const TreeNode* ifNode = body->sons;
  EXPECT_EQ(At(ifNode->end), "-");  // an if records no end
  const TreeNode* assignment = ifNode->sons->next->next->sons;
  // "  if (a) return 1; else a = 2;": "=" at column 27, ";" at 30
  EXPECT_EQ(At(assignment->start), "3:30");  // the statement stands at its ";"
  EXPECT_EQ(At(assignment->end), "3:30");
  EXPECT_EQ(At(assignment->sons->start), "3:27");  // the "=" itself
  EXPECT_EQ(At(body->sons->next->end), "4:11");    // return ... ;
}

TEST_F(ParserTest, LoopsSwitchAndJumps) {
  ASSERT_EQ(Parse("void g(int n) {\n"
                  "  for (int i = 0, j = 1; i < n; i++) continue;\n"
                  "  for (;;) break;\n"
                  "  while (n) n--;\n"
                  "  do ++n; while (n < 3);\n"
                  "  switch (n) { case 1 ... 3: goto out; case 4: default: break; }\n"
                  "out: return;\n"
                  "}\n"),
            0)
      << shown;
  const TreeNode* body = ItemNode(0)->sons->next;
  const TreeNode* first = body->sons;
  EXPECT_EQ(DumpTree(first),
            "FOR[DECLARATION_GROUP[INIT_DECLARATOR:i[ID:i INIT_VALUE[OCT:0]] INIT_DECLARATOR:j[ID:j "
            "INIT_VALUE[DEC:1]]] <[ID:i ID:n] POST++[ID:i] CONTINUE]");
  const TreeNode* second = first->next;
  EXPECT_EQ(DumpTree(second), "FOR[EMPTY EMPTY EMPTY BREAK]");
  EXPECT_EQ(At(second->sons->start), "3:8");         // missing initialisation: at the first ";"
  EXPECT_EQ(At(second->sons->next->next->start), "3:10");  // missing step: at the ")"
  EXPECT_EQ(DumpTree(second->next), "WHILE[ID:n EXPRESSION_STATEMENT[POST--[ID:n]]]");
  EXPECT_EQ(At(second->next->sons->next->sons->end), "4:15");  // n-- ends one past its "-"
  const TreeNode* loop = second->next->next;
  EXPECT_EQ(DumpTree(loop), "DO[<[ID:n DEC:3] EXPRESSION_STATEMENT[PRE_INC[ID:n]]]");
  EXPECT_EQ(At(loop->end), "5:24");
  const TreeNode* choice = loop->next;
  EXPECT_EQ(DumpTree(choice),
            "SWITCH[ID:n {[CASE[...[DEC:1 DEC:3] GOTO[ID:out]] CASE[DEC:4 DEFAULT[BREAK]]]]");
  EXPECT_EQ(At(choice->end), "6:12");
  EXPECT_EQ(DumpTree(choice->next), "LABEL[ID:out RETURN[EMPTY]]");
}

TEST_F(ParserTest, HeaderOfAFunctionReturningPointerToVoidMarksItsName) {
  ASSERT_EQ(Parse("void *alloc(unsigned n) { return 0; }\nvoid const *other(void) { return 0; }\n"), 0)
      << shown;
  EXPECT_EQ(DumpTree(ItemNode(0)->sons), "FUNCTION_HEADER[VOID *[ID:alloc[([UNSIGNED ID:n]]]]");
  EXPECT_NE(support::InternName("alloc")->flags & 0x80000000u, 0u);
  EXPECT_EQ(DumpTree(ItemNode(1)->sons), "FUNCTION_HEADER[VOID CONST *[ID:other[([VOID]]]]");
  EXPECT_EQ(support::InternName("other")->flags & 0x80000000u, 0u);
}

TEST_F(ParserTest, OldStyleDefinitionsAndFunctionPointers) {
  ASSERT_EQ(Parse("f(a, b) int a; char *b; { return a; }\n"
                  "int (*pick(int k))(char) { return 0; }\n"),
            0)
      << shown;
  EXPECT_EQ(DumpTree(ItemNode(0)->sons),
            "FUNCTION_HEADER[ID:f[([ID:a ID:b]] INIT_DECLARATOR:a[ID:a] INIT_DECLARATOR:b[*[ID:b]]]");
  EXPECT_EQ(DumpTree(ItemNode(1)->sons),
            "FUNCTION_HEADER[INT FUNCTION_DECLARATOR:pick[*[ID:pick[([INT ID:k]]] ([CHAR]]]");
}

TEST_F(ParserTest, DesignatedInitializersAndCompoundLiterals) {
  ASSERT_EQ(Parse("struct p { int x, y; } a = { .x = 1, [2] = 3, .y.z = 4, 5 };\n"
                  "void h(void) { struct p *q = &(struct p){ 1, 2 }; }\n"),
            0)
      << shown;
  EXPECT_EQ(Item(0),
            "INIT_DECLARATOR:a[ID:a INIT_VALUE[INITIALIZER[=[.[EMPTY ID:x] DEC:1] =[[[EMPTY DEC:2] DEC:3] "
            "=[.[.[EMPTY ID:y] ID:z] DEC:4] DEC:5]]]");
  const TreeNode* declaration = ItemNode(1)->sons->next->sons;
  EXPECT_EQ(DumpTree(declaration),
            "INIT_DECLARATOR:q[*[ID:q] INIT_VALUE[&[CAST[INITIALIZER[DEC:1 DEC:2]]]]]");
}

TEST_F(ParserTest, ExpressionsAndStatementExpressions) {
  ASSERT_EQ(Parse("int k(int a, int *b) {\n"
                  "  a = a ? b[1] : sizeof(int) + sizeof a + (int)1.5 + \"s\" \"t\";\n"
                  "  return ({ int t = a; t; }) + f(a, 2)->m.n;\n"
                  "}\n"),
            0)
      << shown;
  const TreeNode* body = ItemNode(0)->sons->next;
  EXPECT_EQ(DumpTree(body->sons),
            "EXPRESSION_STATEMENT[=[ID:a ?[ID:a [[ID:b DEC:1] :[+[+[+[SIZEOF[TYPE_NAME[INT]] SIZEOF[ID:a]] "
            "CAST[FLOAT_C:1.5]] STRING_CONCAT[STR:\"s\" STR:\"t\"]]]]]]");
  EXPECT_EQ(DumpTree(body->sons->next),
            "RETURN[+[([{[INIT_DECLARATOR:t[ID:t INIT_VALUE[ID:a]] EXPRESSION_STATEMENT[ID:t]]] "
            ".[->[CALL[ID:f ID:a DEC:2] ID:m] ID:n]]]");
}

TEST_F(ParserTest, AddressOfALabelIsAUnaryAndOperator) {
  ASSERT_EQ(Parse("void f(void) { void *p = &&out; goto *p; out: ; }\n"), 0) << shown;
  EXPECT_EQ(DumpTree(ItemNode(0)->sons->next),
            "{[INIT_DECLARATOR:p[*[ID:p] INIT_VALUE[&&[ID:out]]] GOTO[*[ID:p]] "
            "LABEL[ID:out EXPRESSION_STATEMENT[EMPTY]]]");
  // A label is no variable: its address does not mark it referenced.
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
  EXPECT_EQ(DumpTree(ItemNode(1)->sons->next), "{[RETURN[*[ID:T DEC:2]]]");
  EXPECT_EQ(Item(2), "INIT_DECLARATOR:g[ID:g]");
  EXPECT_NE(support::InternName("T")->flags & 0x1u, 0u);
  EXPECT_EQ(DumpTree(ItemNode(3)->sons->next),
            "{[INIT_DECLARATOR:x[ID:x] {[INIT_DECLARATOR:T[ID:T] EXPRESSION_STATEMENT[=[ID:T DEC:1]]] "
            "INIT_DECLARATOR:y[ID:y]]");
}

TEST_F(ParserTest, DefinitionFileTypedefsCarryIntoTheSource) {
  ASSERT_EQ(Parse("V v; int main(void) { return sizeof(V); }\n", "typedef long V;\n"), 0) << shown;
  EXPECT_EQ(definitionErrors, 0);
  EXPECT_EQ(Item(0), "INIT_DECLARATOR:v[ID:v]");
}

TEST_F(ParserTest, MissingSemicolonIsReportedAtTheNextTokenAndParsingGoesOn) {
  EXPECT_EQ(Parse("int f(void) {\n  int a = 1\n  return a;\n}\nint g(void) { return 2 }\nint h;\n"), 2);
  const std::string reference = "[" + directory + "a.c,";
  EXPECT_EQ(shown, "Nivrak quorbcc1 - ERROR: syntax error near return " + reference + "3]\n" +
                       "Nivrak quorbcc1 - ERROR: syntax error near } " + reference + "5]\n");
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
  const TreeNode* body = ItemNode(0)->sons->next;
  EXPECT_EQ(DumpTree(body->sons), "EXPRESSION_STATEMENT[=[ID:a ?[ID:a EMPTY :[DEC:2]]]]");
  EXPECT_EQ(DumpTree(body->sons->next), "SWITCH[ID:a {[CASE[DEC:1 EMPTY]]]");
  EXPECT_EQ(DumpTree(body->sons->next->next), "SWITCH[ID:a {[DEFAULT[EMPTY]]]");
  EXPECT_EQ(DumpTree(body->sons->next->next->next), "{[LABEL[ID:lab EMPTY]]");
}

TEST_F(ParserTest, RealSyntaxErrorAfterALabelIsStillCounted) {
  EXPECT_EQ(Parse("void f(void) { lab: x = ; }\n"), 1);
  EXPECT_NE(shown.find("ERROR: syntax error near ;"), std::string::npos) << shown;
}

TEST_F(ParserTest, DeepNestingGrowsTheParserStacks) {
  const int depth = 100000;
  std::string source = "int x = " + std::string(depth, '(') + "1" + std::string(depth, ')') + ";\n";
  source += "void f(void) " + std::string(2000, '{') + std::string(2000, '}') + "\n";
  ASSERT_EQ(Parse(source), 0) << shown.substr(0, 200);
}

TEST_F(ParserTest, HostileInputIsASyntaxErrorNotACrash) {
  EXPECT_GE(Parse(std::string(1000000, '{')), 1);
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>((i * 7919) % 251 + 1);
  EXPECT_GE(Parse(bytes), 1);
  EXPECT_EQ(Parse("int ok;\n"), 0) << "the next parse starts clean";
  EXPECT_GE(Parse("int f(void) { return (1 + ;"), 1);
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
  const TreeNode* body = ItemNode(0)->sons->next;
  ASSERT_EQ(body->sons->kind, BLOCK_STATICS);
  ASSERT_NE(body->sons->statics, nullptr);
  ASSERT_EQ(body->sons->statics->nodes.size(), 1u);
  EXPECT_EQ(body->sons->statics->nodes[0].entry->text, "used");
}

}  // namespace
}  // namespace frontend
