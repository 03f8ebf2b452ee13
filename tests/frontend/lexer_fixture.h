// Runs the lexer over a text written to a temporary file, as a parse does,
// and collects the tokens with their spellings and positions.
#pragma once

#include "bound_front_end.h"
#include "bound_run.h"
#include "frontend/lexer.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
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
  BoundRun run_;

  void SetUp() override {
    frontEnd.emplace();
  }
  void TearDown() override {
    frontEnd.reset();
    if (file) std::fclose(file);
  }

  void Open(const std::string& text, bool definitionMode = false) {
    if (file) std::fclose(file);
    file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    StartLexing(file, "/src/a.c", definitionMode, &noInstrDirs);
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

  /// Runs the lexer over the text and returns what it wrote on stderr.
  std::string Warnings(const std::string& text) {
    ::testing::internal::CaptureStderr();
    Lex(text);
    return ::testing::internal::GetCapturedStderr();
  }

  static int Code(NodeKind kind) { return TokenCode(kind); }

  FrontEnd& Front() { return **frontEnd; }

  std::optional<BoundFrontEnd> frontEnd;
  std::FILE* file = nullptr;
  support::NameList noInstrDirs;
};

}  // namespace frontend
