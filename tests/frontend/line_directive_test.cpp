#include "lexer_fixture.h"

#include "frontend/directive_scanner.h"

namespace frontend {
namespace {

class LineDirectiveTest : public LexerFixture {
 protected:
  LexedToken Last(const std::string& text) {
    const auto tokens = Lex(text);
    return tokens.empty() ? LexedToken{} : tokens.back();
  }
  static std::string CurrentPath() {
    const LexerState& lexer = Lexer();
    return lexer.currentDirectory->text + lexer.currentFile->text;
  }
};

TEST_F(LineDirectiveTest, AllThreeFormsSetTheNextLine) {
  EXPECT_EQ(Last("a\n# 12\nb").line, 12u);
  EXPECT_EQ(Last("#line 7 \"/x/y.c\" 1 3\nb").line, 7u);
  EXPECT_EQ(CurrentPath(), "/x/y.c");
  EXPECT_EQ(Last("#  line 30\n\nb").line, 31u);
  EXPECT_EQ(Last("a\n#file \"/f/g.h\"\nb").line, 1u);
  EXPECT_EQ(CurrentPath(), "/f/g.h");
  const LexedToken b = Last("# 5 \"\"\nb");
  EXPECT_EQ(b.line, 5u);
  EXPECT_EQ(CurrentPath(), "/src/a.c");  // an empty name keeps the file
  EXPECT_EQ(b.physicalLine, 2u);
}

TEST_F(LineDirectiveTest, DirectivesThatAreNoLineDirectivesChangeNothing) {
  EXPECT_EQ(Last("#12x\n#line\n#linefoo 4\nb").line, 4u);
  EXPECT_EQ(support::GetMessageCounts().warnings, 0u);
}

TEST_F(LineDirectiveTest, EscapesInFileNames) {
  EXPECT_EQ(InterpretFileName("q\\\"t\\ s\\tx\\101\\z\\"), "q\"t s\txA\\z\\");
  Last("#pragma quorb nointerpret\n# 1 \"a\\\\b.h\"\nx");
  EXPECT_EQ(Lexer().currentFile->text, "a\\\\b.h");
  Last("# 1 \"C:\\dir\\x.c\"\n#pragma quorb nointerpret\n# 1 \"C:\\dir\\\"\nx");
  EXPECT_EQ(Lexer().currentFile->text, "C:\\dir\\");  // without escapes a backslash cannot hide the quote
  Last("# 3 \"/d/\xE9t\xE9.c\"\nx");
  EXPECT_EQ(Lexer().currentFile->text, "\xE9t\xE9.c");  // bytes outside ASCII come back unchanged
}

// A file cut short inside a line directive leaves the name open: the line
// is no line directive and changes neither line nor file.
TEST_F(LineDirectiveTest, ANameWithoutItsClosingQuoteIsNoLineDirective) {
  for (const char* text : {"# 3 \"open\nx", "#line 3 \"open\nx", "#file \"open\nx", "# 3 \"open"}) {
    const auto tokens = Lex(text);
    EXPECT_EQ(Lexer().currentFile->text, "a.c") << text;
    if (tokens.empty()) continue;
    EXPECT_EQ(tokens[0].line, 2u) << text;
  }
  EXPECT_EQ(support::GetMessageCounts().warnings, 0u);
}

TEST_F(LineDirectiveTest, TheLargestLineNumberDoesNotWrapAndALargerOneIsAnInternalError) {
  const auto tokens = Lex("# 4294967295\na\nb");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].line, 4294967295u);
  EXPECT_EQ(tokens[1].line, 4294967295u);
  EXPECT_EXIT(Lex("# 4294967296 \"a.c\"\nx"), ::testing::ExitedWithCode(support::kExitInternal),
              "Line number not readable");
}

}  // namespace
}  // namespace frontend
