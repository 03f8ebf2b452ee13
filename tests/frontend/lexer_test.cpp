#include "lexer_fixture.h"

#include "frontend/name_flags.h"

namespace frontend {
namespace {

class LexerTest : public LexerFixture {};

TEST_F(LexerTest, ATabCountsOneColumn) {
  const auto tokens = Lex("a\tb");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].column, 3u);
  EXPECT_EQ(tokens[1].alpha, "b");
}

TEST_F(LexerTest, ATokenAfterAThreeLineCommentFollowsTheCommentsLastCharacter) {
  // Line 10 starts the comment at column 5; it ends with "*/" at columns 2-3
  // of line 12, so x is at column 4.
  const std::string text = std::string(9, '\n') + "int /* one\ntwo\n */x";
  const auto tokens = Lex(text);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].code, Code(NodeKind::INT));
  EXPECT_EQ(tokens[0].column, 1u);
  EXPECT_EQ(tokens[1].physicalLine, 12u);
  EXPECT_EQ(tokens[1].line, 12u);
  EXPECT_EQ(tokens[1].column, 4u);
}

TEST_F(LexerTest, AStringSplitByBackslashNewlineIsOneToken) {
  const auto tokens = Lex("s = \"ab\\\ncd\"; t");
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[2].code, Code(NodeKind::STRING_LITERAL));
  EXPECT_EQ(tokens[2].alpha, "\"abcd\"");
  EXPECT_EQ(tokens[2].column, 5u);
  const ContinuationRecord& continuation = LexerContinuation();
  EXPECT_TRUE(continuation.pending);
  EXPECT_EQ(continuation.breaks, 1u);
  EXPECT_EQ(continuation.endColumn, 3u);  // cd" on the second line
  EXPECT_EQ(tokens[3].code, Code(NodeKind::SEMICOLON));
  EXPECT_EQ(tokens[3].physicalLine, 2u);
  EXPECT_EQ(tokens[3].column, 4u);
  EXPECT_EQ(tokens[4].column, 6u);
}

TEST_F(LexerTest, TheContinuedStringNodeEndsOnItsLastLine) {
  Open("x \"ab\\\ncd\\\r\nefg\" y");
  NextToken();
  NextToken();
  const TokenValue value = CurrentToken();
  TreeNode* node = CreateNode(NodeKind::STRING_LITERAL, &value);
  SetAlpha(node, &value);
  EXPECT_EQ(node->alpha->text, "\"abcdefg\"");
  EXPECT_EQ(node->end.physical.line, 3u);
  EXPECT_EQ(node->end.line, 3u);
  EXPECT_EQ(node->end.physical.column, 4u);
  FreeTree(node);
  const LexedToken after = Read();
  EXPECT_EQ(after.physicalLine, 3u);
  EXPECT_EQ(after.column, 6u);
}

TEST_F(LexerTest, NumberForms) {
  const auto tokens = Lex("0x1.8p3 08 1e 0x 0b101u 0777UL 42llu .5f 1.e+2 0xAbL 1e+");
  std::vector<std::pair<int, std::string>> seen;
  for (const auto& token : tokens) seen.emplace_back(token.code, token.alpha);
  const std::vector<std::pair<int, std::string>> expected{
      {Code(NodeKind::FLOAT_CONSTANT), "0x1.8p3"}, {Code(NodeKind::OCT_CONSTANT), "0"},
      {Code(NodeKind::DEC_CONSTANT), "8"},         {Code(NodeKind::DEC_CONSTANT), "1"},
      {Code(NodeKind::IDENTIFIER), "e"},           {Code(NodeKind::OCT_CONSTANT), "0"},
      {Code(NodeKind::IDENTIFIER), "x"},           {Code(NodeKind::BIN_CONSTANT), "0b101u"},
      {Code(NodeKind::OCT_CONSTANT), "0777UL"},    {Code(NodeKind::DEC_CONSTANT), "42llu"},
      {Code(NodeKind::FLOAT_CONSTANT), ".5f"},     {Code(NodeKind::FLOAT_CONSTANT), "1.e+2"},
      {Code(NodeKind::HEX_CONSTANT), "0xAbL"},     {Code(NodeKind::DEC_CONSTANT), "1"},
      {Code(NodeKind::IDENTIFIER), "e"},           {Code(NodeKind::PLUS), ""}};
  EXPECT_EQ(seen, expected);
}

// GNU imaginary constants (complex.h defines I as 1.0iF) and the constants
// of the _FloatN types are one token each.
TEST_F(LexerTest, ImaginaryAndFloatWidthSuffixes) {
  const auto tokens = Lex("1.0iF 2i 3.5fi 1.0f128 2.5f32x 1e3Li 0x1p3fj 7ULi 1.0f16x 4.0f24");
  std::vector<std::pair<int, std::string>> seen;
  for (const auto& token : tokens) seen.emplace_back(token.code, token.alpha);
  const int floating = Code(NodeKind::FLOAT_CONSTANT);
  const std::vector<std::pair<int, std::string>> expected{
      {floating, "1.0iF"},   {Code(NodeKind::DEC_CONSTANT), "2i"}, {floating, "3.5fi"},
      {floating, "1.0f128"}, {floating, "2.5f32x"},                {floating, "1e3Li"},
      {floating, "0x1p3fj"}, {Code(NodeKind::DEC_CONSTANT), "7ULi"}, {floating, "1.0f16"},
      {Code(NodeKind::IDENTIFIER), "x"}, {floating, "4.0f"},        {Code(NodeKind::DEC_CONSTANT), "24"}};
  EXPECT_EQ(seen, expected);
}

TEST_F(LexerTest, DigraphsDelimitBlocksLikeBraces) {
  EXPECT_EQ(Codes("<% a<:1:> %>"), Codes("{ a[1] }"));
  Open("<%");
  EXPECT_EQ(Read().code, Code(NodeKind::LEFT_BRACE));
  EXPECT_EQ(LastTokenText(), "<%");
}

TEST_F(LexerTest, OperatorsTakeTheLongestSpelling) {
  EXPECT_EQ(Codes("a<<=b->c...d>>e&&f||g!=h"),
            (std::vector<int>{Code(NodeKind::IDENTIFIER), Code(NodeKind::LEFT_ASSIGN), Code(NodeKind::IDENTIFIER),
                              Code(NodeKind::PTR_OP), Code(NodeKind::IDENTIFIER), Code(NodeKind::ELLIPSIS),
                              Code(NodeKind::IDENTIFIER), Code(NodeKind::RIGHT_OP), Code(NodeKind::IDENTIFIER),
                              Code(NodeKind::AND_OP), Code(NodeKind::IDENTIFIER), Code(NodeKind::OR_OP),
                              Code(NodeKind::IDENTIFIER), Code(NodeKind::NE_OP), Code(NodeKind::IDENTIFIER)}));
}

TEST_F(LexerTest, ACommercialAtIsDroppedWithOneWarning) {
  const std::string warnings = Warnings("a @ b");
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
  EXPECT_NE(warnings.find("Lexical input ignored : @ at [/src/a.c,1]"), std::string::npos);
  EXPECT_EQ(Codes("a @ b").size(), 2u);
}

TEST_F(LexerTest, ACommercialAtIsDroppedSilentlyWhileAnalysisIsStopped) {
  const std::string warnings = Warnings("a\n#pragma quorb stop_analyze\n@\n#pragma quorb start_analyze\nb");
  EXPECT_EQ(warnings, "");
  EXPECT_EQ(support::GetMessageCounts().warnings, 0u);
}

TEST_F(LexerTest, ALineCommentAtTheEndOfTheFileWarns) {
  const std::string warnings = Warnings("a\nb // last");
  EXPECT_NE(warnings.find("End-of-file in C-style comment, started at [/src/a.c,2]"), std::string::npos);
  EXPECT_EQ(Warnings("a // fine\n"), "");
  EXPECT_EQ(Codes("a // continued \\\n b\nc").size(), 2u);
}

TEST_F(LexerTest, ReservedWordsComeBeforePragmaFlags) {
  const auto tokens = Lex("#pragma quorb accept \"int\" = 300\nint");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].code, Code(NodeKind::INT));
  EXPECT_EQ(tokens[0].alpha, "");
  EXPECT_EQ(Codes("inta sizeof_ Int"), (std::vector<int>(3, Code(NodeKind::IDENTIFIER))));
}

TEST_F(LexerTest, TypedefNamesAndUniversalCharacterNames) {
  Open("T \\u00E9t\\U0001F600");
  support::InternName("T")->flags |= kTypedefName;
  EXPECT_EQ(Read().code, Code(NodeKind::TYPEDEF_NAME));
  const LexedToken name = Read();
  EXPECT_EQ(name.code, Code(NodeKind::IDENTIFIER));
  EXPECT_EQ(name.alpha, "\\u00e9t\\U0001f600");
}

TEST_F(LexerTest, CharacterConstantsAndWidePrefixes) {
  const auto tokens = Lex("'a' L'\\'' L\"w\" '' 'ab' L");
  ASSERT_EQ(tokens.size(), 6u);
  EXPECT_EQ(tokens[0].code, Code(NodeKind::CHAR_CONSTANT));
  EXPECT_EQ(tokens[1].alpha, "L'\\''");
  EXPECT_EQ(tokens[2].code, Code(NodeKind::STRING_LITERAL));
  EXPECT_EQ(tokens[2].column, 11u);
  EXPECT_EQ(tokens[3].alpha, "''");
  EXPECT_EQ(tokens[4].alpha, "'ab'");
  EXPECT_EQ(tokens[5].code, Code(NodeKind::IDENTIFIER));
}

// The C11 prefixes; u8 before anything but a quote, and u alone, are names.
TEST_F(LexerTest, UnicodeLiteralPrefixes) {
  const auto tokens = Lex("u8\"a\" u\"b\" U\"c\" u'd' U'e' u8 u8x u");
  std::vector<std::pair<int, std::string>> seen;
  for (const auto& token : tokens) seen.emplace_back(token.code, token.alpha);
  const int string = Code(NodeKind::STRING_LITERAL);
  const int character = Code(NodeKind::CHAR_CONSTANT);
  const int identifier = Code(NodeKind::IDENTIFIER);
  const std::vector<std::pair<int, std::string>> expected{
      {string, "u8\"a\""}, {string, "u\"b\""}, {string, "U\"c\""}, {character, "u'd'"},
      {character, "U'e'"}, {identifier, "u8"},   {identifier, "u8x"}, {identifier, "u"}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(tokens[1].column, 7u);  // after the 5 characters of u8"a" and a blank
}

TEST_F(LexerTest, DirectiveLinesYieldNoTokenAndKeepTheCountersExact) {
  const auto tokens = Lex("a\n  # define X \\\n  1\nb #\n");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].alpha, "b");
  EXPECT_EQ(tokens[1].physicalLine, 4u);
  EXPECT_EQ(tokens[1].line, 4u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);  // the "#" after b is a stray byte
}

TEST_F(LexerTest, LinesAreReportedToTheValidityTableOncePerPhysicalLine) {
  Lex("a b\n\n/* only a comment */\nc\n# 20 \"/inc/h.h\"\nd\n#pragma quorb stop_instr\n");
  support::NameEntry* source = support::InternName("a.c");
  support::NameEntry* sourceDirectory = support::InternName("/src/");
  EXPECT_EQ(ValidLineSum(Front().validLines, source, sourceDirectory), 1u + 4u);
  EXPECT_EQ(ValidLineSum(Front().validLines, support::InternName("h.h"), support::InternName("/inc/")), 20u);
}

TEST_F(LexerTest, DefinitionModeMarksEveryTokenAsNotInstrumented) {
  const auto tokens = Lex("a b", true);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_TRUE(tokens[0].instrStopped);
  EXPECT_TRUE(Lex("a")[0].instrStopped == false);
}

TEST_F(LexerTest, ReadCharAndSkipBalancedCountEveryByte) {
  Open("(a \")\" ')' \\) (b)\n)x");
  EXPECT_EQ(ReadChar(), '(');
  EXPECT_EQ(SkipBalanced('(', ')'), ')');
  const LexedToken x = Read();
  EXPECT_EQ(x.alpha, "x");
  EXPECT_EQ(x.physicalLine, 2u);
  EXPECT_EQ(x.column, 2u);
  EXPECT_EQ(ReadChar(), kEndOfInput);
}

TEST_F(LexerTest, LexTokenCopiesTheValueForTheParser) {
  Open("  name");
  TokenValue value{};
  EXPECT_EQ(LexToken(&value), Code(NodeKind::IDENTIFIER));
  EXPECT_EQ(value.alpha, support::InternName("name"));
  EXPECT_EQ(value.position.physical.column, 3u);
  EXPECT_EQ(value.position.File(), support::InternName("a.c"));
  EXPECT_EQ(value.position.Directory(), support::InternName("/src/"));
  EXPECT_EQ(value.node, nullptr);
  EXPECT_EQ(LexToken(&value), 0);
}

}  // namespace
}  // namespace frontend
