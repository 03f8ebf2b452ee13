#include "lexer_fixture.h"

#include "frontend/name_flags.h"

#include <random>

namespace frontend {
namespace {

class BadInputTest : public LexerFixture {
 protected:
  void SetUp() override {
    LexerFixture::SetUp();
    support::SetQuietMode();  // counted, not shown
  }
};

// A NUL is ignored input; bytes from 0x80 on are parts of identifiers, as
// the UTF-8 of extended characters in Clang's output.
TEST_F(BadInputTest, NulBytesAreIgnoredAndHighBytesJoinIdentifiers) {
  const std::string text("a\0b\x80\xFF" "c \xCE\xBB", 9);
  const auto tokens = Lex(text);
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].alpha, "b\x80\xFF" "c");
  EXPECT_EQ(tokens[1].column, 3u);
  EXPECT_EQ(tokens[2].alpha, "\xCE\xBB");
  EXPECT_EQ(tokens[2].column, 8u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);  // the NUL
  EXPECT_EQ(Lex(std::string("\"x\0y\"", 5))[0].alpha, std::string("\"x\0y\"", 5));
}

TEST_F(BadInputTest, BinaryGarbageEndsWithoutCrash) {
  std::mt19937 random(7);
  std::string text(200000, '\0');
  for (char& c : text) c = static_cast<char>(random());
  Lex(text);
  EXPECT_EQ(Read().code, 0);
  EXPECT_EQ(Read().code, 0);  // end of input stays the end
}

TEST_F(BadInputTest, AOneMegabyteTokenOnOneLine) {
  const std::string name(1 << 20, 'n');
  const auto tokens = Lex("a " + name + " b");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].alpha.size(), name.size());
  EXPECT_EQ(tokens[2].column, 3u + (1u << 20) + 1u);
  const std::string literal = "\"" + std::string(1 << 20, 's') + "\"";
  EXPECT_EQ(Lex(literal + "x").size(), 2u);
}

TEST_F(BadInputTest, UnterminatedLiteralsAndCommentsAtTheEnd) {
  const auto tokens = Lex("a \"open\nstring");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].code, Code(NodeKind::STRING_LITERAL));
  EXPECT_EQ(tokens[1].alpha, "\"openstring");
  EXPECT_EQ(Lex("'x").back().code, Code(NodeKind::CHAR_CONSTANT));
  support::RunMessages messages;
  const support::RunMessagesScope binding(messages);
  support::SetQuietMode();
  Lex("a /* never closed\n\n");
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
}

TEST_F(BadInputTest, CrlfLineEndsCountOneLineEach) {
  const auto tokens = Lex("a\r\n b\r\n/* c\r\n */ d\r\n\"e\\\r\nf\" g");
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[1].physicalLine, 2u);
  EXPECT_EQ(tokens[1].column, 2u);
  EXPECT_EQ(tokens[2].physicalLine, 4u);
  EXPECT_EQ(tokens[2].column, 5u);
  EXPECT_EQ(tokens[3].alpha, "\"ef\"");
  EXPECT_EQ(tokens[4].physicalLine, 6u);
  EXPECT_EQ(tokens[4].column, 4u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 0u);
}

TEST_F(BadInputTest, LongDirectiveLinesAndPragmaStrings) {
  const auto tokens = Lex("#define X " + std::string(100000, 'x') + "\ny\n#pragma quorb " +
                          std::string(100000, 'q') + "\nz");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].physicalLine, 4u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);  // the unknown pragma
  const std::string word(10000, 'w');
  const auto accepted = Lex("#pragma quorb accept \"" + word + "\"\n" + word + " v");
  ASSERT_EQ(accepted.size(), 1u);
  EXPECT_EQ(accepted[0].alpha, "v");
  EXPECT_NE(support::InternName(word)->flags & kAcceptedWord, 0u);
}

TEST_F(BadInputTest, ALongRunOfHandlerWordsDoesNotExhaustTheStack) {
  std::string text = "#pragma quorb \"gnu#__extension__\"\n#pragma quorb accept \"S\" to 259\n";
  for (int i = 0; i < 100000; ++i) text += "__extension__ S ";
  text += "int x";
  const auto tokens = Lex(text);
  ASSERT_FALSE(tokens.empty());
  EXPECT_EQ(tokens.back().alpha, "x");
}

}  // namespace
}  // namespace frontend
