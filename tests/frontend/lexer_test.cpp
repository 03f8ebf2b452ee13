#include "lexer_fixture.h"

#include "frontend/name_flags.h"

#include <map>

namespace frontend {
namespace {

class LexerTest : public LexerFixture {};

// GNU imaginary constants (complex.h defines I as 1.0iF), the _FloatN, decimal
// and w/q suffixes are one token each; u8 before anything but a quote, and u
// alone, are names.
TEST_F(LexerTest, TokenKindsAndSpellings) {
  const struct {
    const char* text;
    const char* spelled;
  } cases[] = {
      {"0x1.8p3 08 1e 0x 0b101u 0777UL 42llu .5f 1.e+2 0xAbL 1e+",
       "FLOAT_C:0x1.8p3 OCT:0 DEC:8 DEC:1 ID:e OCT:0 ID:x BIN:0b101u OCT:0777UL DEC:42llu FLOAT_C:.5f "
       "FLOAT_C:1.e+2 HEX:0xAbL DEC:1 ID:e +"},
      {"1.0iF 2i 3.5fi 1.0f128 2.5f32x 1e3Li 0x1p3fj 7ULi 1.0f16x 4.0f24",
       "FLOAT_C:1.0iF DEC:2i FLOAT_C:3.5fi FLOAT_C:1.0f128 FLOAT_C:2.5f32x FLOAT_C:1e3Li FLOAT_C:0x1p3fj DEC:7ULi "
       "FLOAT_C:1.0f16 ID:x FLOAT_C:4.0f DEC:24"},
      {"1.5df 2.0DD 3.0dl 1e2DL 7.5q 8.5W 1.0dx",
       "FLOAT_C:1.5df FLOAT_C:2.0DD FLOAT_C:3.0dl FLOAT_C:1e2DL FLOAT_C:7.5q FLOAT_C:8.5W FLOAT_C:1.0 ID:dx"},
      {"u8\"a\" u\"b\" U\"c\" u'd' U'e' u8 u8x u",
       "STR:u8\"a\" STR:u\"b\" STR:U\"c\" CHAR_C:u'd' CHAR_C:U'e' ID:u8 ID:u8x ID:u"},
      {"'a' L'\\'' L\"w\" '' 'ab' L", "CHAR_C:'a' CHAR_C:L'\\'' STR:L\"w\" CHAR_C:'' CHAR_C:'ab' ID:L"},
      {"<% a<:1:> %>", "{ ID:a [ DEC:1 ] }"},
      // An attribute list goes with its arguments; a "]]" in a literal does not end it.
      {"int [[gnu::aligned(8), deprecated(\"]]\")]] x [ [\n y ] ];", "INT ID:x ;"},
      {"#pragma quorb accept \"int\" = 300\nint", "INT"},  // reserved words come before pragma flags
  };
  for (const auto& c : cases) EXPECT_EQ(Spelled(c.text), c.spelled) << c.text;
  Open("<%");
  EXPECT_EQ(Read().code, Code(NodeKind::LEFT_BRACE));
  EXPECT_EQ(LastTokenText(), "<%");
}

TEST_F(LexerTest, DirectiveLinesYieldNoTokenAndKeepTheCountersExact) {
  const auto tokens = Lex("a\n  # define X \\\n  1\nb #\n");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].alpha, "b");
  EXPECT_EQ(tokens[1].physicalLine, 4u);
  EXPECT_EQ(tokens[1].line, 4u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);  // the "#" after b is a stray byte
}

// A string continued over a plain and a CRLF line end is one token; its
// continuation record says where it ends, and the counters go on from there.
TEST_F(LexerTest, AStringSplitByBackslashNewlineIsOneToken) {
  Open("s = \"ab\\\ncd\\\r\nefg\"; t");
  Read();
  Read();
  const LexedToken string = Read();
  EXPECT_EQ(string.code, Code(NodeKind::STRING_LITERAL));
  EXPECT_EQ(string.alpha, "\"abcdefg\"");
  EXPECT_EQ(string.column, 5u);
  const ContinuationRecord& continuation = LexerContinuation();
  EXPECT_TRUE(continuation.pending);
  EXPECT_EQ(continuation.breaks, 2u);
  EXPECT_EQ(continuation.endColumn, 4u);  // efg" on the third line
  const LexedToken semicolon = Read();
  EXPECT_EQ(semicolon.code, Code(NodeKind::SEMICOLON));
  EXPECT_EQ(semicolon.physicalLine, 3u);
  EXPECT_EQ(semicolon.column, 5u);
  EXPECT_EQ(Read().column, 7u);
}

TEST_F(LexerTest, ACommercialAtIsDroppedWithAWarningUnlessAnalysisIsStopped) {
  EXPECT_NE(Warnings("a @ b").find("Lexical input ignored : @ at [/src/a.c,1]"), std::string::npos);
  EXPECT_EQ(lexed.size(), 2u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
  EXPECT_EQ(Warnings("a\n#pragma quorb stop_analyze\n@\n#pragma quorb start_analyze\nb"), "");
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
}

TEST_F(LexerTest, ALineCommentAtTheEndOfTheFileWarns) {
  const std::string warnings = Warnings("a\nb // last");
  EXPECT_NE(warnings.find("End-of-file in C-style comment, started at [/src/a.c,2]"), std::string::npos);
  EXPECT_EQ(Warnings("a // fine\n"), "");
  EXPECT_EQ(Codes("a // continued \\\n b\nc").size(), 2u);
}

TEST_F(LexerTest, TypedefNamesAndUniversalCharacterNames) {
  Open("T \\u00E9t\\U0001F600");
  support::InternName("T")->flags |= kTypedefName;
  EXPECT_EQ(Read().code, Code(NodeKind::TYPEDEF_NAME));
  const LexedToken name = Read();
  EXPECT_EQ(name.code, Code(NodeKind::IDENTIFIER));
  EXPECT_EQ(name.alpha, "\\u00e9t\\U0001f600");
}

TEST_F(LexerTest, DefinitionModeMarksEveryTokenAsNotInstrumented) {
  const auto tokens = Lex("a b", true);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_TRUE(tokens[0].instrStopped && tokens[1].instrStopped);
  EXPECT_FALSE(Lex("a")[0].instrStopped);
}

// Compilers put line markers between a macro's expanded words: a word read
// past as one group (before its "(" or inside it) still applies them.
TEST_F(LexerTest, LineMarkersInsideAReducedGroupMoveTheLogicalLine) {
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
