// Deep and long constructs of every kind, and token soup:
// each is a clean parse or a syntax error, never a crash or an exhausted
// call stack. The tree walks here follow one child at a time, without
// recursion.
#include "parser_fixture.h"

#include <random>

namespace frontend {
namespace {

constexpr int kDepth = 100000;

std::string Repeat(const std::string& text, int count) {
  std::string result;
  result.reserve(text.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

/// How many nodes of that kind follow each other down the n-th child.
int ChainLength(const TreeNode* node, NodeKind kind, int child = 0) {
  int length = 0;
  while (node && node->kind == kind) {
    ++length;
    const TreeNode* next = node->sons;
    for (int i = 0; next && i < child; ++i) next = next->next;
    node = next;
  }
  return length;
}

int CountSiblings(const TreeNode* node) {
  int count = 0;
  for (; node; node = node->next) ++count;
  return count;
}

class DeepInputTest : public ParserFixture {
 protected:
  /// The body of the only function of a source "void f(int a) { body }".
  const TreeNode* ParseBody(const std::string& body) {
    EXPECT_EQ(Parse("void f(int a) {\n" + body + "\n}\n"), 0) << shown.substr(0, 300);
    const TreeNode* definition = ItemNode(0);
    return definition ? definition->sons->next : nullptr;
  }
};

TEST_F(DeepInputTest, NestedStatements) {
  const TreeNode* body = ParseBody(Repeat("{", kDepth) + Repeat("}", kDepth));
  EXPECT_EQ(ChainLength(body, NodeKind::LEFT_BRACE), kDepth + 1);
  body = ParseBody(Repeat("while (a) for (;;) ", kDepth / 2) + ";");
  int loops = 0;
  for (const TreeNode* node = body->sons; node && node->kind != NodeKind::EXPRESSION_STATEMENT; ++loops) {
    node = node->kind == NodeKind::WHILE ? node->sons->next : node->sons->next->next->next;
  }
  EXPECT_EQ(loops, kDepth);
  body = ParseBody(Repeat("x: ", kDepth) + "return;");
  EXPECT_EQ(ChainLength(body->sons, NodeKind::LABEL, 1), kDepth);
}

TEST_F(DeepInputTest, LongAndNestedExpressions) {
  const TreeNode* body = ParseBody("a = a" + Repeat(" + a", kDepth - 1) + ";");
  EXPECT_EQ(ChainLength(body->sons->sons->sons->next, NodeKind::PLUS), kDepth - 1);
  body = ParseBody(Repeat("a = ", kDepth) + "1;");
  EXPECT_EQ(ChainLength(body->sons->sons, NodeKind::ASSIGN, 1), kDepth);
  body = ParseBody("a = " + Repeat("- ", kDepth) + Repeat("(int)", kDepth) + Repeat("!", kDepth) + "a;");
  EXPECT_EQ(ChainLength(body->sons->sons->sons->next, NodeKind::MINUS), kDepth);
  body = ParseBody(Repeat("f(", kDepth) + "a" + Repeat(")", kDepth) + ";");
  EXPECT_EQ(ChainLength(body->sons->sons, NodeKind::CALL, 1), kDepth);
  for (const std::string& text : {"a = a" + Repeat(" ? a : a", kDepth) + ";",
                                  Repeat("a = ({ ", kDepth / 10) + "a;" + Repeat(" });", kDepth / 10),
                                  "a = a" + Repeat("[a]", kDepth) + Repeat(".m", kDepth) + ";"}) {
    ASSERT_NE(ParseBody(text), nullptr);
  }
}

TEST_F(DeepInputTest, NestedDeclaratorsAndInitializers) {
  ASSERT_EQ(Parse("int " + Repeat("(", kDepth) + "x" + Repeat(")", kDepth) + "[2];\n"), 0) << shown.substr(0, 300);
  EXPECT_EQ(ChainLength(ItemNode(0)->sons, NodeKind::LEFT_PAREN), kDepth);
  ASSERT_EQ(Parse("int " + Repeat("*", kDepth) + "p;\nint " + Repeat("(*", kDepth) + "q" + Repeat(")", kDepth) +
                  ";\nint m" + Repeat("[1]", kDepth) + ";\n"),
            0);
  EXPECT_EQ(ChainLength(ItemNode(0)->sons, NodeKind::STAR), kDepth);
  EXPECT_EQ(CountSiblings(ItemNode(2)->sons->sons), kDepth);  // the '[' parts of m
  ASSERT_EQ(Parse("int v = " + Repeat("{", kDepth) + "1" + Repeat("}", kDepth) + ";\n"), 0);
  EXPECT_EQ(ChainLength(ItemNode(0)->sons->next->sons, NodeKind::INITIALIZER), kDepth);
  ASSERT_EQ(Parse(Repeat("struct s { ", kDepth / 10) + "int x;" + Repeat(" } m;", kDepth / 10) + "\n"), 0);
  ASSERT_EQ(Parse("void g(" + Repeat("int (*)(", kDepth / 10) + "void" + Repeat(")", kDepth / 10) + ");\n"), 0);
}

TEST_F(DeepInputTest, LongLists) {
  std::string names = "int a0";
  for (int i = 1; i < kDepth; ++i) names += ", a" + std::to_string(i);
  ASSERT_EQ(Parse(names + ";\nint v[] = {" + Repeat("1, ", kDepth) + "};\n" + Repeat("int w;\n", kDepth)), 0);
  EXPECT_EQ(CountSiblings(root->sons), 2 * kDepth + 1);
  EXPECT_EQ(CountSiblings(ItemNode(kDepth)->sons->next->sons->sons), kDepth);
  const TreeNode* body = ParseBody("f(a" + Repeat(", a", kDepth - 1) + ");" + Repeat("a;", kDepth) + "\"s\"" +
                                   Repeat(" \"t\"", kDepth) + ";");
  EXPECT_EQ(CountSiblings(body->sons->sons->sons), kDepth + 1);  // the callee and its arguments
  EXPECT_EQ(CountSiblings(body->sons), kDepth + 2);
  const TreeNode* last = body->sons;
  while (last->next) last = last->next;
  EXPECT_EQ(ChainLength(last->sons, NodeKind::STRING_CONCAT), kDepth);
}

TEST_F(DeepInputTest, UnbalancedDeepInputIsASyntaxError) {
  EXPECT_GE(Parse("void f(void) " + Repeat("{", kDepth)), 1);
  EXPECT_GE(Parse("int x = " + Repeat("(", kDepth) + "1;"), 1);
  EXPECT_GE(Parse("int " + Repeat("*(", kDepth) + "x;"), 1);
  EXPECT_GE(Parse("void f(void) { " + Repeat("if (", kDepth)), 1);
  EXPECT_EQ(Parse("int after;\n"), 0) << shown;  // nothing stays behind from the broken parses
}

// Random token soup and random bytes: an error count, a clean state for the
// next parse.
TEST_F(DeepInputTest, TokenSoupAndRandomBytes) {
  support::SetQuietMode();
  const std::vector<std::string> words{"int", "x", "(", ")", "{", "}", "[", "]", ";", ",", "=", "*", "if", "else",
                                       "typedef", "T", "struct", "case", "1", ":", "?", "\"s\"", "...", "&&",
                                       "for", "goto", "return", "sizeof", "enum", "."};
  std::mt19937 random(11);
  std::string soup;
  for (int i = 0; i < 200000; ++i) soup += words[random() % words.size()] + " ";
  EXPECT_GE(Parse(soup), 1);
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>((i * 7919) % 251 + 1);
  EXPECT_GE(Parse(bytes), 1);
  EXPECT_EQ(Parse("typedef int T; T after;\n"), 0);
}

}  // namespace
}  // namespace frontend
