// Runs the lexer over a text written to a temporary file, as a parse does,
// and collects the tokens with their spellings and positions.
#pragma once

#include "bound_front_end.h"
#include "bound_run.h"
#include "frontend/lexer.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "tree_dump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace frontend {

struct LexedToken {
  int code;
  std::string alpha;  // "" for none
  std::uint32_t line;
  std::uint32_t physicalLine;
  std::uint32_t column;
  bool instrStopped;
};

class LexerFixture : public ::testing::Test {
 protected:
  // Destroyed from the last: the front end before the file and the list it
  // reads, the names last.
  BoundRun run_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, &std::fclose};
  support::NameList noInstrDirs;
  BoundFrontEnd frontEnd;

  void Open(const std::string& text, bool definitionMode = false) {
    file.reset(std::tmpfile());
    ASSERT_NE(file.get(), nullptr);
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
    StartLexing(file.get(), "/src/a.c", definitionMode, &noInstrDirs);
  }

  static LexedToken Read() {
    const int code = NextToken();
    const TokenValue& value = CurrentToken();
    return {code, value.alpha ? value.alpha->text : std::string(), value.position.line,
            value.position.physical.line, value.position.physical.column, value.position.instrStopped != 0};
  }

  std::vector<LexedToken> Lex(const std::string& text, bool definitionMode = false) {
    Open(text, definitionMode);
    std::vector<LexedToken> tokens;
    for (LexedToken token = Read(); token.code != 0; token = Read()) tokens.push_back(token);
    return tokens;
  }

  std::vector<int> Codes(const std::string& text) {
    std::vector<int> codes;
    for (const LexedToken& token : Lex(text)) codes.push_back(token.code);
    return codes;
  }

  /// The tokens as "KIND:spelling" (the kind alone when the token has no
  /// spelling), separated by blanks.
  static std::string Spelled(const std::vector<LexedToken>& tokens) {
    std::string spelled;
    for (const LexedToken& token : tokens) {
      if (!spelled.empty()) spelled += ' ';
      spelled += KindName(static_cast<NodeKind>(token.code)) + (token.alpha.empty() ? "" : ":" + token.alpha);
    }
    return spelled;
  }
  std::string Spelled(const std::string& text) { return Spelled(Lex(text)); }

  /// Runs the lexer over the text, keeping its tokens in `lexed`, and
  /// returns what it wrote on stderr.
  std::string Warnings(const std::string& text) {
    ::testing::internal::CaptureStderr();
    lexed = Lex(text);
    return ::testing::internal::GetCapturedStderr();
  }

  static int Code(NodeKind kind) { return TokenCode(kind); }

  FrontEnd& Front() { return *frontEnd; }

  std::vector<LexedToken> lexed;
};

}  // namespace frontend
