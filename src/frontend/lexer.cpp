// The lexer's main loop: one pattern per step, in priority order, each step
// either yielding a token or skipping text (blanks, newlines, comments,
// directive lines, dropped words). Words and stray bytes go through the
// pragma flags (lexer_words.cpp); directive lines go to the directive
// scanner, which may itself read tokens (the analysis pause), so no step
// keeps a pointer into the buffer across a call that can read further.
#include "frontend/lexer.h"

#include "frontend/directive_scanner.h"
#include "frontend/front_end.h"
#include "frontend/lexer_internal.h"
#include "frontend/lexer_patterns.h"
#include "frontend/line_validity.h"
#include "frontend/pragmas.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <limits>

namespace frontend {
namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view PendingText(std::size_t length) {
  LexerState& state = Lexer();
  return {state.input.data + state.input.pos, length};
}

void SkipBlanks() {
  LexerState& state = Lexer();
  std::size_t count = 0;
  while (IsBlank(PeekByte(state.input, count))) ++count;
  state.input.pos += count;
  state.column += static_cast<std::uint32_t>(count);
}

bool DirectiveAhead() {
  LexerState& state = Lexer();
  std::size_t at = 0;
  for (int c = PeekByte(state.input, 0); c == ' ' || c == '\t'; c = PeekByte(state.input, at)) ++at;
  return PeekByte(state.input, at) == '#';
}

// "# <digits>" or "#line": a line marker that raw text, read past token by
// token, must still apply (other directives stay text there).
bool LineMarkerAhead() {
  LexerState& state = Lexer();
  std::size_t at = 0;
  while (PeekByte(state.input, at) == ' ' || PeekByte(state.input, at) == '\t') ++at;
  if (PeekByte(state.input, at) != '#') return false;
  ++at;
  while (PeekByte(state.input, at) == ' ' || PeekByte(state.input, at) == '\t') ++at;
  const int c = PeekByte(state.input, at);
  if (c >= '0' && c <= '9') return true;
  return c == 'l' && PeekByte(state.input, at + 1) == 'i' && PeekByte(state.input, at + 2) == 'n' &&
         PeekByte(state.input, at + 3) == 'e';
}

// The directive text runs from "#" to the newline that no backslash
// continues; every newline inside is counted.
std::int64_t ScanDirectiveLine() {
  LexerState& state = Lexer();
  InputBuffer& input = state.input;
  state.column += state.previousLength;
  state.previousLength = 0;
  std::size_t blanks = 0;
  while (PeekByte(input, blanks) != '#') ++blanks;
  state.directive = {state.physicalLine, state.logicalLine, state.column + static_cast<std::uint32_t>(blanks)};
  input.pos += blanks;
  std::string text;
  std::uint32_t continuations = 0;
  bool ended = false;
  for (std::size_t at = 0;; ++at) {
    const int c = PeekByte(input, at);
    if (c == kEndOfInput) break;
    if (c != '\n') continue;
    const bool continued = (at > 0 && input.data[input.pos + at - 1] == '\\') ||
                           (at > 1 && input.data[input.pos + at - 1] == '\r' && input.data[input.pos + at - 2] == '\\');
    if (continued) {
      ++continuations;
      continue;
    }
    text.assign(input.data + input.pos, at + 1);
    input.pos += at + 1;
    ended = true;
    break;
  }
  if (!ended) {
    text.assign(input.data + input.pos, input.end - input.pos);
    input.pos = input.end;
  }
  for (std::uint32_t i = 0; i < continuations; ++i) detail::CountNewline();
  if (ended) detail::CountNewline();
  const int code = ScanDirective(std::move(text));
  return code != 0 ? code : detail::kKeepScanning;
}

void SkipBlockComment() {
  LexerState& state = Lexer();
  state.column += state.previousLength;
  state.previousLength = 2;
  state.input.pos += 2;
  const std::uint32_t startLine = state.logicalLine;
  for (;;) {
    const int c = ReadChar();
    if (c == kEndOfInput) break;
    if (c == '*' && PeekByte(state.input, 0) == '/') {
      ReadChar();
      return;
    }
  }
  detail::WarnAtLine("End-of-file in C-style comment, started at %1", startLine);
}

// A backslash before the newline (or before its carriage return) continues
// the comment.
void SkipLineComment() {
  LexerState& state = Lexer();
  state.column += state.previousLength;
  state.previousLength = 2;
  state.input.pos += 2;
  const std::uint32_t startLine = state.logicalLine;
  int before = 0;
  int last = 0;
  for (;;) {
    const int c = ReadChar();
    if (c == kEndOfInput) break;
    if (c == '\n' && last != '\\' && !(last == '\r' && before == '\\')) return;
    before = last;
    last = c;
  }
  detail::WarnAtLine("End-of-file in C-style comment, started at %1", startLine);
}

// A line break inside a literal at that offset: its length (LF, CR LF, and
// either after a backslash), or 0.
std::size_t LineBreakLength(std::size_t at) {
  LexerState& state = Lexer();
  InputBuffer& input = state.input;
  std::size_t length = PeekByte(input, at) == '\\' ? 1 : 0;
  if (PeekByte(input, at + length) == '\r') ++length;
  if (PeekByte(input, at + length) == '\n') return length + 1;
  return 0;
}

// String literals and character constants, terminated or not: the spelling
// loses its line breaks, and the counters continue after the last one.
bool IsQuote(int c) { return c == '"' || c == '\''; }

// The encoding prefix of a wide or Unicode literal (L, u, U, u8) right
// before its quote: the prefix's length, 0 when there is none.
std::size_t LiteralPrefixLength(InputBuffer& input) {
  const int c = PeekByte(input, 0);
  if (c != 'L' && c != 'u' && c != 'U') return 0;
  if (IsQuote(PeekByte(input, 1))) return 1;
  return c == 'u' && PeekByte(input, 1) == '8' && IsQuote(PeekByte(input, 2)) ? 2 : 0;
}

std::int64_t ScanLiteral(std::size_t prefixLength) {
  LexerState& state = Lexer();
  InputBuffer& input = state.input;
  const int quote = PeekByte(input, prefixLength);
  state.column += state.previousLength;
  detail::FillPosition();
  std::string& spelling = state.scratch;
  spelling.assign(input.data + input.pos, prefixLength + 1);
  input.pos += prefixLength + 1;
  std::uint32_t breaks = 0;
  std::uint32_t lineLength = static_cast<std::uint32_t>(prefixLength + 1);
  for (;;) {
    input.keep = input.pos;
    const int c = PeekByte(input, 0);
    if (c == kEndOfInput) break;
    if (const std::size_t lineBreak = (c == '\\' || c == '\r' || c == '\n') ? LineBreakLength(0) : 0) {
      input.pos += lineBreak;
      ++breaks;
      lineLength = 0;
      continue;
    }
    const std::size_t length = c == '\\' && PeekByte(input, 1) != kEndOfInput ? 2 : 1;
    spelling.append(input.data + input.pos, length);
    input.pos += length;
    lineLength += static_cast<std::uint32_t>(length);
    if (c == quote) break;
  }
  state.previousLength = lineLength;
  if (breaks > 0) {
    detail::AddLogicalLines(breaks);
    state.physicalLine += breaks;
    state.column = 1;
    LexerContinuation() = {true, state.current.position, breaks, lineLength};
  }
  state.current.alpha = support::InternName(spelling);
  state.lastText = spelling;
  return TokenCode(quote == '"' ? NodeKind::STRING_LITERAL : NodeKind::CHAR_CONSTANT);
}

std::int64_t ScanIdentifier(std::size_t length) {
  LexerState& state = Lexer();
  std::string_view spelling = PendingText(length);
  if (spelling.find('\\') != std::string_view::npos) {
    // Hexadecimal digits of universal character names are lower-cased.
    std::string& lowered = state.scratch;
    lowered.assign(spelling);
    for (std::size_t i = 0; i + 1 < lowered.size(); ++i) {
      if (lowered[i] != '\\') continue;
      const std::size_t digits = lowered[i + 1] == 'u' ? 4 : 8;
      for (std::size_t k = i + 2; k < i + 2 + digits; ++k) {
        if (lowered[k] >= 'A' && lowered[k] <= 'F') lowered[k] = static_cast<char>(lowered[k] - 'A' + 'a');
      }
    }
    spelling = lowered;
  }
  detail::BeginToken(static_cast<std::uint32_t>(length));
  state.lastText.assign(spelling);
  state.input.pos += length;
  state.current.alpha = nullptr;
  return detail::ProcessWord(state.lastText);
}

std::int64_t ScanSpelledToken(std::size_t length, NodeKind kind, bool interned) {
  LexerState& state = Lexer();
  const std::string_view spelling = PendingText(length);
  detail::BeginToken(static_cast<std::uint32_t>(length));
  state.lastText.assign(spelling);
  state.current.alpha = interned ? support::InternName(spelling) : nullptr;
  state.input.pos += length;
  return TokenCode(kind);
}

std::int64_t ScanOtherByte() {
  LexerState& state = Lexer();
  detail::BeginToken(1);
  state.lastText.assign(PendingText(1));
  state.input.pos += 1;
  state.current.alpha = nullptr;
  return detail::ProcessByte(state.lastText);
}

std::int64_t EndOfInput() {
  LexerState& state = Lexer();
  state.current.alpha = nullptr;
  TokenPosition& position = state.current.position;
  position.line = state.logicalLine;
  position.SetPlace(state.currentFile, state.currentDirectory);
  position.instrStopped = state.instrStopped ? 1 : 0;
  position.physical = {state.physicalLine, state.column + state.previousLength};
  state.lastText.clear();
  return 0;
}

// The offset of the first byte at or after `from` that is no blank or line
// break; a directive line stops the search at its "#".
std::size_t SkipSpaceAhead(std::size_t from) {
  LexerState& state = Lexer();
  std::size_t at = from;
  for (int c = PeekByte(state.input, at); IsBlank(c) || c == '\n'; c = PeekByte(state.input, at)) ++at;
  return at;
}

// A C23 attribute list "[[ ... ]]" is dropped with everything in it; the
// brackets of its arguments are counted, those in literals are not.
std::int64_t SkipAttributeList() {
  LexerState& state = Lexer();
  detail::BeginToken(1);
  const TokenPosition start = state.current.position;
  const std::size_t second = SkipSpaceAhead(1);
  state.input.pos += 1;
  for (std::size_t i = 1; i <= second; ++i) ReadChar();
  SkipBalanced('[', ']', 2);
  return detail::EndDroppedGroup(start);
}

std::int64_t ScanPunctuationOrByte() {
  LexerState& state = Lexer();
  const PatternMatch punctuator = MatchPunctuator(state.input);
  if (punctuator.length == 1 && punctuator.kind == NodeKind::LEFT_BRACKET &&
      PeekByte(state.input, SkipSpaceAhead(1)) == '[') {
    return SkipAttributeList();
  }
  if (punctuator.length) return ScanSpelledToken(punctuator.length, punctuator.kind, false);
  return ScanOtherByte();
}

// One pattern at the read position.
std::int64_t ScanStep() {
  LexerState& state = Lexer();
  InputBuffer& input = state.input;
  input.keep = input.pos;
  const bool lineStart = state.atLineStart;
  const int c = PeekByte(input, 0);
  if (c == kEndOfInput) return EndOfInput();
  if (c == '\n') {
    input.pos += 1;
    detail::CountNewline();
    return detail::kKeepScanning;
  }
  state.atLineStart = false;
  if (lineStart && (c == ' ' || c == '\t' || c == '#') && DirectiveAhead()) return ScanDirectiveLine();
  if (IsBlank(c)) {
    SkipBlanks();
    return detail::kKeepScanning;
  }
  if (c == '/' && PeekByte(input, 1) == '*') {
    SkipBlockComment();
    return detail::kKeepScanning;
  }
  if (c == '/' && PeekByte(input, 1) == '/') {
    SkipLineComment();
    return detail::kKeepScanning;
  }
  if (c == '"' || c == '\'') return ScanLiteral(0);
  if (const std::size_t prefix = LiteralPrefixLength(input)) return ScanLiteral(prefix);
  if (const std::size_t length = IdentifierLength(input)) return ScanIdentifier(length);
  const PatternMatch number = MatchNumber(input);
  if (number.length) return ScanSpelledToken(number.length, number.kind, true);
  return ScanPunctuationOrByte();
}

}  // namespace

void StartLexing(std::FILE* file, std::string_view path, bool definitionMode, support::NameList* noInstrDirList) {
  LexerState& state = Lexer();
  FinishLexing();
  const support::SplitResult split = support::SplitPath(path);
  state.logicalLine = 1;
  state.physicalLine = 1;
  state.column = 1;
  state.previousLength = 0;
  state.currentFile = split.name;
  state.currentDirectory = split.directory;
  state.instrStopped = definitionMode;
  state.analysisStopped = false;
  state.atLineStart = true;
  state.current = {};
  state.lastText.clear();
  state.reportedPhysicalLine = 0;
  state.reportedFile = nullptr;
  state.reportedDirectory = nullptr;
  state.directive = {};
  state.noInstrDirList = noInstrDirList;
  state.handlerDepth = 0;
  state.pushbackCount = 0;
  state.lastCode = 0;
  state.hasDroppedGroup = false;
  LexerContinuation() = {};
  ResetLineDirectiveCache();
  OpenInputBuffer(state.input, file);
}

void FinishLexing() { CloseInputBuffer(Lexer().input); }

int NextToken() {
  LexerState& state = Lexer();
  if (state.pushbackCount > 0) {
    --state.pushbackCount;
    state.current = state.pushbackValues[state.pushbackCount];
    state.lastCode = state.pushbackCodes[state.pushbackCount];
    return state.lastCode;
  }
  for (;;) {
    const std::int64_t code = ScanStep();
    if (code == detail::kKeepScanning) continue;
    state.hasDroppedGroup = false;
    // Codes given by pragmas are unsigned 32-bit; the conversion is modular.
    state.lastCode = static_cast<int>(static_cast<std::uint32_t>(code));
    return state.lastCode;
  }
}

const TokenValue& CurrentToken() { return Lexer().current; }

int LexToken(TokenValue* value) {
  LexerState& state = Lexer();
  const int code = NextToken();
  if (value) *value = state.current;
  return code;
}

std::string_view LastTokenText() { return Lexer().lastText; }

int ReadChar() {
  LexerState& state = Lexer();
  InputBuffer& input = state.input;
  const int c = PeekByte(input, 0);
  if (c == kEndOfInput) return c;
  input.pos += 1;
  input.keep = input.pos;
  if (c == '\n') {
    detail::CountNewline();
  } else {
    state.previousLength += 1;
    state.atLineStart = false;
  }
  return c;
}

int ReadCodeChar() {
  LexerState& state = Lexer();
  while (state.atLineStart && LineMarkerAhead()) ScanDirectiveLine();
  return ReadChar();
}

// Quotes open literals in which the counted bytes do not count; a backslash
// escapes the byte after it everywhere.
int SkipBalanced(char open, char close, int depth) {
  int quote = 0;
  int c = 0;
  while (depth > 0) {
    c = ReadCodeChar();
    if (c == kEndOfInput) return c;
    if (c == '\\') {
      if (ReadChar() == kEndOfInput) return kEndOfInput;
      continue;
    }
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == open) {
      ++depth;
    } else if (c == close) {
      --depth;
    }
  }
  return c;
}

ReferencePlace CurrentReferencePlace(std::uint32_t logicalLine) {
  LexerState& state = Lexer();
  return {state.currentDirectory, state.currentFile, logicalLine};
}

std::string ReferenceText(const ReferencePlace& place) {
  const std::string_view directory = place.directory ? place.directory->text : std::string_view();
  const std::string_view file = place.file ? place.file->text : std::string_view();
  return support::LocationText(directory, file, place.logicalLine);
}

std::string ReferenceText(std::uint32_t logicalLine) { return ReferenceText(CurrentReferencePlace(logicalLine)); }

namespace detail {

void CountNewline() {
  LexerState& state = Lexer();
  AddLogicalLines(1);
  if (state.physicalLine != std::numeric_limits<std::uint32_t>::max()) ++state.physicalLine;
  state.column = 1;
  state.previousLength = 0;
  state.atLineStart = true;
}

void AddLogicalLines(std::uint32_t count) {
  LexerState& state = Lexer();
  const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - state.logicalLine;
  state.logicalLine += count < room ? count : room;
}

void BeginToken(std::uint32_t length) {
  LexerState& state = Lexer();
  state.column += state.previousLength;
  state.previousLength = length;
  FillPosition();
}

// Lines are reported to the line-validity table once per physical line.
void FillPosition() {
  LexerState& state = Lexer();
  TokenPosition& position = state.current.position;
  position.line = state.logicalLine;
  position.SetPlace(state.currentFile, state.currentDirectory);
  position.instrStopped = state.instrStopped ? 1 : 0;
  position.physical = {state.physicalLine, state.column};
  if (state.physicalLine == state.reportedPhysicalLine) return;
  state.reportedPhysicalLine = state.physicalLine;
  if (state.currentFile != state.reportedFile || state.currentDirectory != state.reportedDirectory) {
    state.reportedFile = state.currentFile;
    state.reportedDirectory = state.currentDirectory;
    SetCurrentValidFile(state.currentFile, state.currentDirectory, state.logicalLine);
    return;
  }
  ValidLine(state.logicalLine);
}

std::uint32_t LastReadColumn() { return Lexer().column + Lexer().previousLength - 1; }

void SetContinuation(std::uint32_t endLine, std::uint32_t endColumn) {
  LexerState& state = Lexer();
  const TokenPosition& start = state.current.position;
  const std::uint32_t breaks = endLine >= start.physical.line ? endLine - start.physical.line : 0;
  LexerContinuation() = {true, start, breaks, endColumn};
}

std::int64_t EndDroppedGroup(const TokenPosition& start) {
  LexerState& state = Lexer();
  if (!state.hasDroppedGroup) {
    state.hasDroppedGroup = true;
    state.droppedGroupStart = start;
  }
  if (PeekByte(state.input, SkipSpaceAhead(0)) != ';') return kKeepScanning;
  switch (static_cast<NodeKind>(state.lastCode)) {
    case NodeKind::NONE: case NodeKind::SEMICOLON: case NodeKind::LEFT_BRACE: case NodeKind::RIGHT_BRACE:
    case NodeKind::COLON: case NodeKind::RIGHT_PAREN: case NodeKind::ELSE: case NodeKind::DO:
      break;
    default:
      return kKeepScanning;
  }
  state.current.alpha = nullptr;
  state.current.position = state.droppedGroupStart;
  return TokenCode(NodeKind::DROPPED_GROUP);
}

void PushBackToken(int code) { PushBackToken(code, Lexer().current); }

void PushBackToken(int code, const TokenValue& value) {
  LexerState& state = Lexer();
  // Handlers push back only right before they return, so the slots suffice.
  if (state.pushbackCount == kMaxPushback) {
    support::DisplayInternalError(support::Translate("Internal Error", "Too many tokens put back in the lexer"),
                                  support::CodeLocation::Current());
  }
  state.pushbackCodes[state.pushbackCount] = code;
  state.pushbackValues[state.pushbackCount] = value;
  ++state.pushbackCount;
}

}  // namespace detail
}  // namespace frontend
