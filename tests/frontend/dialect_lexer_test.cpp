// The lexer's forms for the newer dialects: C23 attribute lists, groups
// dropped before a statement's ";", and __extension__ before a cast.
#include "lexer_fixture.h"

#include <map>

namespace frontend {
namespace {

using DialectLexerTest = LexerFixture;

TEST_F(DialectLexerTest, AttributeListsVanishWithTheirArgumentsAndKeepTheCounters) {
  // "int [[gnu::aligned(8), deprecated("]]")]] x [ [ y ] ]  ,": the
  // bracket inside the literal does not count; spaces may part the brackets.
  const auto tokens = Lex("int [[gnu::aligned(8), deprecated(\"]]\")]] x [ [\n y ] ], a[1];");
  ASSERT_EQ(Spelled(tokens), "INT ID:x , ID:a [ DEC:1 ] ;");
  EXPECT_EQ(tokens[1].column, 43u);
  EXPECT_EQ(tokens[2].physicalLine, 2u);
  EXPECT_EQ(tokens[2].column, 7u);
}

TEST_F(DialectLexerTest, ADroppedGroupBeforeAStatementsSemicolonIsOneToken) {
  const auto tokens = Lex("#pragma quorb reduce \"__attribute__\" null\n"
                          "{ __attribute__((fallthrough)); x: [[fallthrough]] ; int y __attribute__((unused)); }\n"
                          "__attribute__((a))\n  __attribute__((b)) ;\n"
                          "struct s {} __attribute__((packed)); f() __attribute__((x));");
  EXPECT_EQ(Spelled(tokens),
            "{ DROPPED ; ID:x : DROPPED ; INT ID:y ; } DROPPED ; STRUCT ID:s { } DROPPED ; ID:f ( ) DROPPED ;");
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
  EXPECT_EQ(Spelled(tokens), "ID:x = ( INT ) ( LONG ) { DEC:1 } ; ID:y = ( VOID * ) ID:p ;");
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
