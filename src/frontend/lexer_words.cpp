// Identifier processing: reserved words first, then the meanings that
// pragmas recorded in the word's flags, in a fixed order. Stray bytes that a
// pragma names go through the same meanings.
#include "frontend/front_end.h"
#include "frontend/lexer.h"
#include "frontend/lexer_internal.h"
#include "frontend/lexer_patterns.h"
#include "frontend/name_flags.h"
#include "frontend/pragmas.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QString>
#include <algorithm>

namespace frontend::detail {
namespace {

constexpr std::int64_t kNotApplied = -2;

// Tokens are dropped until one of the record's codes; the record is copied,
// since a pragma met while skipping may change the table.
std::int64_t SkipAcceptedSequence(const support::NameEntry* word) {
  LexerState& lexer = Lexer();
  SequenceMode(word);
  const SequenceRecord record = FindSequence(word);
  if (lexer.handlerDepth >= kMaxHandlerDepth) return kKeepScanning;
  const std::uint32_t startLine = lexer.logicalLine;
  ++lexer.handlerDepth;
  std::int64_t result = 0;
  for (;;) {
    const int code = NextToken();
    if (code == 0) {
      WarnAtLine("Non terminated lexical-accepted sequence beginning at %1", startLine);
      break;
    }
    const auto unsignedCode = static_cast<std::uint32_t>(code);
    if (std::find(record.codes.begin(), record.codes.end(), unsignedCode) == record.codes.end()) continue;
    result = record.mode == SequenceEndMode::kTo ? code : NextToken();
    break;
  }
  --lexer.handlerDepth;
  return static_cast<std::uint32_t>(result);
}

// Raw bytes up to the next opening byte, then the balanced group. With a
// result the token keeps the word's value and ends at the closing byte.
std::int64_t SkipReducedGroup(std::int64_t result, char open, char close) {
  LexerState& lexer = Lexer();
  const TokenValue word = lexer.current;
  const std::uint32_t startLine = lexer.logicalLine;
  int c = 0;
  while ((c = ReadCodeChar()) != kEndOfInput && c != open) {
  }
  if (c == kEndOfInput) {
    WarnAtLine("Malformed reduced sequence beginning at %1", startLine);
  } else if (SkipBalanced(open, close) == kEndOfInput) {
    WarnAtLine("Non terminated reduced sequence beginning at %1", startLine);
  }
  if (result == kKeepScanning) return open == '(' ? EndDroppedGroup(word.position) : kKeepScanning;
  lexer.current = word;
  SetContinuation(lexer.physicalLine, LastReadColumn());
  return result;
}

// "_Atomic" followed by a parenthesised group is the type specifier: word and
// group read as one type name. Without a group it is a qualifier and, like
// the other qualifiers that change nothing for coverage, vanishes.
std::int64_t HandleAtomic() {
  LexerState& lexer = Lexer();
  std::size_t offset = 0;
  for (int c = PeekByte(lexer.input, 0); c == ' ' || c == '\t' || c == '\n' || c == '\r';
       c = PeekByte(lexer.input, offset)) {
    ++offset;
  }
  if (PeekByte(lexer.input, offset) != '(') return kKeepScanning;
  return SkipReducedGroup(TokenCode(NodeKind::TYPEDEF_NAME), '(', ')');
}

std::int64_t RunHandler(support::NameEntry* word, std::uint32_t handler) {
  switch (handler) {
    case kHandlerInlineAssembler: return HandleInlineAssembler(word);
    case kHandlerExtensionKeyword: return word->text == "_Atomic" ? HandleAtomic() : HandleExtensionKeyword(word);
    default: return kNotApplied;
  }
}

// Steps 4 to 8 of identifier processing; kNotApplied when no flag applies.
std::int64_t ApplyPragmaMeaning(support::NameEntry* word, std::uint32_t flags) {
  if (flags & kAcceptCode) return AcceptCode(word);
  if (flags & kAcceptSequence) return SkipAcceptedSequence(word);
  switch (ReduceRuleOf(flags)) {
    case kReduceIdentifier: return SkipReducedGroup(TokenCode(NodeKind::IDENTIFIER), '(', ')');
    case kReduceTypedefName: return SkipReducedGroup(TokenCode(NodeKind::TYPEDEF_NAME), '(', ')');
    case kReduceNull: return SkipReducedGroup(kKeepScanning, '(', ')');
    case kReduceEmpty: return SkipReducedGroup(TokenCode(NodeKind::EMPTY), '(', ')');
    case kReduceCode: return SkipReducedGroup(AcceptCode(word), '(', ')');
    default: break;
  }
  if (flags & kFunctionReduce) return SkipReducedGroup(kKeepScanning, '{', '}');
  if (flags & kAcceptedWord) return kKeepScanning;
  return kNotApplied;
}

}  // namespace

void WarnAtLine(const char* text, std::uint32_t logicalLine) {
  support::DisplayWarning(support::Translate("User Warning", text, "%1 : file and line reference")
                              .arg(support::FromLocal(ReferenceText(logicalLine))));
}

std::int64_t ProcessWord(std::string_view spelling) {
  LexerState& lexer = Lexer();
  if (const int reserved = frontend::FindReservedWord(spelling)) return reserved;
  support::NameEntry* word = support::InternName(spelling);
  lexer.current.alpha = word;
  const std::uint32_t flags = word->flags;
  if (flags & kSpecificMeaning) {
    const std::int64_t code = RunHandler(word, HandlerIndexOf(flags));
    if (code != kNotApplied) return code != 0 ? code : kKeepScanning;
    support::DisplayWarning(support::Translate("User Warning",
                                               "Cannot have specific meaning and generic meaning for %1 in quorb pragmas",
                                               "%1 : the identifier")
                                .arg(support::FromLocal(word->text)));
  }
  if (flags & kTypedefName) return TokenCode(NodeKind::TYPEDEF_NAME);
  if (flags & kTypeModifier) return kKeepScanning;
  const std::int64_t code = ApplyPragmaMeaning(word, flags);
  return code == kNotApplied ? TokenCode(NodeKind::IDENTIFIER) : code;
}

std::int64_t ProcessByte(std::string_view byte) {
  LexerState& lexer = Lexer();
  support::NameEntry* entry = support::InternName(byte);
  lexer.current.alpha = entry;
  const std::int64_t code = ApplyPragmaMeaning(entry, entry->flags);
  if (code != kNotApplied) return code;
  if (!lexer.analysisStopped) {
    support::DisplayWarning(
        support::Translate("User Warning", "Lexical input ignored : %1 at %2",
                           "%1 : the lexical input, %2 : file and line reference")
            .arg(support::FromLocal(byte), support::FromLocal(ReferenceText(lexer.logicalLine))));
  }
  return kKeepScanning;
}

}  // namespace frontend::detail
