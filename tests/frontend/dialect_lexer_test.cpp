// The lexer's forms for the newer dialects: decimal and GNU floating
// suffixes, C23 attribute lists, groups dropped before a statement's ";",
// and __extension__ before a cast.
#include "lexer_fixture.h"

#include <map>

namespace frontend {
namespace {

class DialectLexerTest : public LexerFixture {
 protected:
  std::vector<std::pair<int, std::string>> CodesAndSpellings(const std::string& text) {
    std::vector<std::pair<int, std::string>> seen;
    for (const LexedToken& token : Lex(text)) seen.emplace_back(token.code, token.alpha);
    return seen;
  }
};

TEST_F(DialectLexerTest, DecimalAndGnuFloatingSuffixes) {
  const int floating = Code(NodeKind::FLOAT_CONSTANT);
  const std::vector<std::pair<int, std::string>> expected{
      {floating, "1.5df"}, {floating, "2.0DD"}, {floating, "3.0dl"}, {floating, "1e2DL"},
      {floating, "7.5q"},  {floating, "8.5W"},  {floating, "1.0"},   {Code(NodeKind::IDENTIFIER), "dx"}};
  EXPECT_EQ(CodesAndSpellings("1.5df 2.0DD 3.0dl 1e2DL 7.5q 8.5W 1.0dx"), expected);
}

TEST_F(DialectLexerTest, AttributeListsVanishWithTheirArgumentsAndKeepTheCounters) {
  // "int [[gnu::aligned(8), deprecated("]]")]] x [ [ y ] ]  ,": the
  // bracket inside the literal does not count; spaces may part the brackets.
  const auto tokens = Lex("int [[gnu::aligned(8), deprecated(\"]]\")]] x [ [\n y ] ], a[1];");
  ASSERT_EQ(tokens.size(), 8u);
  EXPECT_EQ(tokens[0].code, Code(NodeKind::INT));
  EXPECT_EQ(tokens[1].alpha, "x");
  EXPECT_EQ(tokens[1].column, 43u);
  EXPECT_EQ(tokens[2].code, Code(NodeKind::COMMA));
  EXPECT_EQ(tokens[2].physicalLine, 2u);
  EXPECT_EQ(tokens[2].column, 7u);
  EXPECT_EQ(tokens[4].code, Code(NodeKind::LEFT_BRACKET));
  EXPECT_EQ(tokens[6].code, Code(NodeKind::RIGHT_BRACKET));
}

TEST_F(DialectLexerTest, ADroppedGroupBeforeAStatementsSemicolonIsOneToken) {
  const auto tokens = Lex("#pragma quorb reduce \"__attribute__\" null\n"
                          "{ __attribute__((fallthrough)); x: [[fallthrough]] ; int y __attribute__((unused)); }\n"
                          "__attribute__((a))\n  __attribute__((b)) ;\n"
                          "struct s {} __attribute__((packed)); f() __attribute__((x));");
  std::vector<int> codes;
  for (const LexedToken& token : tokens) codes.push_back(token.code);
  const int dropped = Code(NodeKind::DROPPED_GROUP);
  const int semicolon = Code(NodeKind::SEMICOLON);
  const std::vector<int> expected{Code(NodeKind::LEFT_BRACE), dropped, semicolon, Code(NodeKind::IDENTIFIER),
                                  Code(NodeKind::COLON), dropped, semicolon, Code(NodeKind::INT),
                                  Code(NodeKind::IDENTIFIER), semicolon, Code(NodeKind::RIGHT_BRACE),
                                  dropped, semicolon, Code(NodeKind::STRUCT), Code(NodeKind::IDENTIFIER),
                                  Code(NodeKind::LEFT_BRACE), Code(NodeKind::RIGHT_BRACE), dropped, semicolon,
                                  Code(NodeKind::IDENTIFIER), Code(NodeKind::LEFT_PAREN),
                                  Code(NodeKind::RIGHT_PAREN), dropped, semicolon};
  EXPECT_EQ(codes, expected);
  // Each group token is where its first dropped group began.
  EXPECT_EQ(tokens[1].column, 3u);
  EXPECT_EQ(tokens[5].column, 36u);
  EXPECT_EQ(tokens[11].physicalLine, 3u);
  EXPECT_EQ(tokens[11].column, 1u);
  EXPECT_EQ(tokens[12].physicalLine, 4u);
  EXPECT_EQ(tokens[12].column, 22u);
}

TEST_F(DialectLexerTest, ExtensionBeforeATypeNameLeavesTheCastToTheParser) {
  const auto tokens = Lex("#pragma quorb \"gnu#__extension__\"\n"
                          "x = __extension__ (int)(long){1}; y = __extension__ (void *)p;");
  std::vector<int> codes;
  for (const LexedToken& token : tokens) codes.push_back(token.code);
  const int open = Code(NodeKind::LEFT_PAREN), close = Code(NodeKind::RIGHT_PAREN);
  const int name = Code(NodeKind::IDENTIFIER);
  const std::vector<int> expected{name, Code(NodeKind::ASSIGN), open, Code(NodeKind::INT), close, open,
                                  Code(NodeKind::LONG), close, Code(NodeKind::LEFT_BRACE),
                                  Code(NodeKind::DEC_CONSTANT), Code(NodeKind::RIGHT_BRACE),
                                  Code(NodeKind::SEMICOLON), name, Code(NodeKind::ASSIGN), open,
                                  Code(NodeKind::VOID), Code(NodeKind::STAR), close, name,
                                  Code(NodeKind::SEMICOLON)};
  EXPECT_EQ(codes, expected);
  // The "(" stands where the keyword stood; the tokens after keep theirs.
  EXPECT_EQ(tokens[2].column, 5u);
  EXPECT_EQ(tokens[3].column, 20u);
  EXPECT_EQ(tokens[14].column, 39u);
  EXPECT_EQ(tokens[15].column, 54u);
}

// Compilers put line markers between a macro's expanded words: a word read
// past as one group (before its "(" or inside it) still applies them.
TEST_F(DialectLexerTest, LineMarkersInsideAReducedGroupMoveTheLogicalLine) {
  const auto tokens = Lex("#pragma quorb reduce \"_Alignof\"\n"
                          "x = _Alignof\n# 40 \"f.c\" 3 4\n(long) + y;\nz\n"
                          "w = _Alignof (\n# 50 \"f.c\"\nlong) ;\nv");
  std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> lines;  // logical, physical
  for (const LexedToken& token : tokens) lines[token.alpha] = {token.line, token.physicalLine};
  EXPECT_EQ(lines["y"], std::make_pair(40u, 4u));
  EXPECT_EQ(lines["z"], std::make_pair(41u, 5u));
  EXPECT_EQ(lines["w"], std::make_pair(42u, 6u));
  EXPECT_EQ(lines["v"], std::make_pair(51u, 9u));
}

}  // namespace
}  // namespace frontend
