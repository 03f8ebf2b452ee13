// Handlers of the words with a specific meaning: the inline-assembler
// keywords and the GNU extension keyword. Both read on from the word, and
// the token they return ends where the construct ends.
#include "frontend/front_end.h"
#include "frontend/lexer.h"
#include "frontend/lexer_internal.h"
#include "support/name_table.h"

#include <cctype>

namespace frontend::detail {
namespace {

// "_asm { ... }": brace counting up to the matching "}".
std::int64_t SkipAssemblerBlock(const TokenValue& keyword, std::uint32_t startLine) {
  LexerState& lexer = Lexer();
  ReadChar();
  int depth = 1;
  while (depth > 0) {
    const int c = ReadCodeChar();
    if (c == kEndOfInput) {
      WarnAtLine("_asm keyword used with { but without } : %1", startLine);
      break;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
  }
  lexer.current = keyword;
  SetContinuation(lexer.physicalLine, LastReadColumn());
  return TokenCode(NodeKind::ASM);
}

// "_asm mov ax, 1": the statement runs to the end of the line, unless a "}"
// ends the enclosing block first.
std::int64_t ReadAssemblerLine(const TokenValue& keyword, std::string& text) {
  LexerState& lexer = Lexer();
  for (int c = PeekByte(lexer.input, 0); c != kEndOfInput && c != '\n'; c = PeekByte(lexer.input, 0)) {
    if (c == '}') {
      lexer.input.keep = lexer.input.pos;
      BeginToken(1);
      lexer.input.pos += 1;
      lexer.current.alpha = nullptr;
      lexer.lastText.assign(1, '}');
      return TokenCode(NodeKind::RIGHT_BRACE);
    }
    text += static_cast<char>(ReadChar());
  }
  const std::uint32_t endLine = lexer.physicalLine;
  const std::uint32_t endColumn = LastReadColumn();
  ReadChar();  // the newline, counted
  lexer.current = keyword;
  lexer.current.alpha = support::InternName(text);
  SetContinuation(endLine, endColumn);
  return TokenCode(NodeKind::ASM);
}

void CloseGroup(int code, int& depth, const TokenPosition& where, SourcePosition& closing) {
  if (code == TokenCode(NodeKind::LEFT_PAREN)) ++depth;
  if (code == TokenCode(NodeKind::RIGHT_PAREN) && --depth == 0) closing = where.physical;
}

// The words that can start a type name.
bool StartsTypeName(int code) {
  switch (static_cast<NodeKind>(code)) {
    case NodeKind::VOID: case NodeKind::CHAR: case NodeKind::SHORT: case NodeKind::INT:
    case NodeKind::LONG: case NodeKind::FLOAT: case NodeKind::DOUBLE: case NodeKind::SIGNED:
    case NodeKind::UNSIGNED: case NodeKind::STRUCT: case NodeKind::UNION: case NodeKind::ENUM:
    case NodeKind::CONST: case NodeKind::VOLATILE: case NodeKind::TYPEDEF_NAME:
      return true;
    default:
      return false;
  }
}

// A group that opens with a type name is a cast or a compound literal
// ("__extension__ (__m128)(__v4sf){ ... }"): the parser reads it as such,
// from a "(" at the keyword's place; the tokens read inside come back next.
std::int64_t OpenTypeGroup(const TokenValue& keyword, const TokenValue& opening, int first, const TokenValue& firstValue) {
  LexerState& lexer = Lexer();
  PushBackToken(first, firstValue);
  lexer.current = opening;
  lexer.current.position = keyword.position;
  return TokenCode(NodeKind::LEFT_PAREN);
}

// "__extension__ (" ...: the tokens right after the parenthesis ("(",
// "void )" "(") are counted, the rest of the group is skipped raw.
std::int64_t SkipExtensionGroup(const TokenValue& keyword, std::uint32_t startLine) {
  LexerState& lexer = Lexer();
  const TokenValue opening = lexer.current;
  int depth = 1;
  SourcePosition closing{};
  int code = NextToken();
  if (StartsTypeName(code) && code != TokenCode(NodeKind::VOID)) return OpenTypeGroup(keyword, opening, code, lexer.current);
  CloseGroup(code, depth, lexer.current.position, closing);
  if (code == TokenCode(NodeKind::VOID)) {
    const TokenValue voidValue = lexer.current;
    code = NextToken();
    if (code != TokenCode(NodeKind::RIGHT_PAREN) && code != 0) {
      // "(void *)": a cast; both tokens come back, the void first.
      PushBackToken(code);
      return OpenTypeGroup(keyword, opening, TokenCode(NodeKind::VOID), voidValue);
    }
    CloseGroup(code, depth, lexer.current.position, closing);
    if (depth == 0 && code != 0) {
      code = NextToken();
      if (code == TokenCode(NodeKind::LEFT_PAREN)) depth = 1;
      else if (code != 0) PushBackToken(code);
    }
  }
  if (code == 0 && depth > 0) {
    WarnAtLine("Non terminated gnu __extension__ beginning at %1", startLine);
  } else if (depth > 0) {
    if (SkipBalanced('(', ')', depth) == kEndOfInput) {
      WarnAtLine("Non terminated gnu __extension__ beginning at %1", startLine);
    }
    closing = {lexer.physicalLine, LastReadColumn()};
  }
  lexer.current = keyword;
  if (closing.line != 0) SetContinuation(closing.line, closing.column);
  return TokenCode(NodeKind::IDENTIFIER);
}

}  // namespace

std::int64_t HandleInlineAssembler(support::NameEntry* word) {
  LexerState& lexer = Lexer();
  const TokenValue keyword = lexer.current;
  const std::uint32_t startLine = lexer.logicalLine;
  std::string text = word->text;
  for (int c = PeekByte(lexer.input, 0); c != kEndOfInput; c = PeekByte(lexer.input, 0)) {
    if (c == '{') return SkipAssemblerBlock(keyword, startLine);
    if (c == 0 || std::isalpha(c)) break;
    text += static_cast<char>(ReadChar());
  }
  return ReadAssemblerLine(keyword, text);
}

std::int64_t HandleExtensionKeyword(support::NameEntry*) {
  LexerState& lexer = Lexer();
  if (lexer.handlerDepth >= kMaxHandlerDepth) return kKeepScanning;
  const TokenValue keyword = lexer.current;
  const std::uint32_t startLine = lexer.logicalLine;
  ++lexer.handlerDepth;
  int code = NextToken();
  if (code == TokenCode(NodeKind::VOLATILE)) {
    code = NextToken();
    if (code != TokenCode(NodeKind::LEFT_PAREN)) {
      --lexer.handlerDepth;
      lexer.current.position = keyword.position;
      return static_cast<std::uint32_t>(code);
    }
  }
  std::int64_t result = code;
  if (code == TokenCode(NodeKind::LEFT_PAREN)) {
    result = SkipExtensionGroup(keyword, startLine);
  } else if (code != TokenCode(NodeKind::FLOAT_CONSTANT)) {
    lexer.current.position = keyword.position;
  }
  --lexer.handlerDepth;
  return static_cast<std::uint32_t>(result);
}

}  // namespace frontend::detail
