// The "#pragma quorb" forms that switch instrumentation and analysis, mark
// positions and record insertions, and the dispatcher over all forms.
#include "frontend/pragma_forms.h"

#include "frontend/front_end.h"
#include "frontend/insert_records.h"
#include "frontend/pragmas.h"
#include "support/messages.h"
#include "support/translate.h"


namespace frontend {
namespace {

constexpr std::string_view kInsertWords[] = {"insert", "qbc_insert", "qbt_insert", "qbp_insert", "qbq_insert"};
constexpr std::string_view kIgnoredWords[] = {"sizeof", "signof", "crc", "qbo_stub"};

bool MatchAlone(DirectiveCursor cursor, std::string_view word) {
  return MatchWord(cursor, word) && AtLineEnd(cursor);
}

void StopInstrumentation(const DirectiveContext& context) {
  LexerState& lexer = Lexer();
  if (lexer.instrStopped) WarnDirective("Instrumentation is already stopped : %1", context);
  lexer.instrStopped = true;
}

void StartInstrumentation(const DirectiveContext& context) {
  LexerState& lexer = Lexer();
  if (!lexer.instrStopped) WarnDirective("Instrumentation is already running : %1", context);
  lexer.instrStopped = false;
}

// Tokens are read and dropped until a start_analyze clears the switch; the
// token after it is the result.
int PauseAnalysis(const DirectiveContext& context) {
  LexerState& lexer = Lexer();
  if (lexer.analysisStopped) {
    WarnDirective("Analysis is already stopped : %1", context);
    return 0;
  }
  lexer.analysisStopped = true;
  for (;;) {
    const int code = NextToken();
    if (!lexer.analysisStopped) return code;
    if (code == 0) {
      WarnDirective(
          "End of file encountered but no #pragma quorb start_analyze; check #pragma quorb stop_analyze at %1",
          context);
      return 0;
    }
  }
}

void ResumeAnalysis(const DirectiveContext& context) {
  LexerState& lexer = Lexer();
  if (!lexer.analysisStopped) WarnDirective("Analysis is already started : %1", context);
  lexer.analysisStopped = false;
}

void MarkNothingBefore() {
  const LexerState& lexer = Lexer();
  Pragmas().nothingBefore = {true, {lexer.physicalLine, 1}, lexer.currentFile, lexer.currentDirectory,
                             lexer.logicalLine};
}

std::uint32_t ColumnOf(const DirectiveContext& context, std::size_t offset) {
  return context.origin.hashColumn + static_cast<std::uint32_t>(offset);
}

// The kind comes from what stands before the final "insert" of the keyword
// that ends at keywordEnd (one past its last character).
void PragmaQbxInsert(const DirectiveContext& context, std::size_t keywordEnd) {
  const std::string_view text = context.text;
  const std::size_t insert = keywordEnd - 6;
  std::uint8_t kind = 0;
  if (text[insert - 1] == ' ' || text[insert - 1] == '\t') {
    kind = kInsertAll;
  } else if (insert >= 4) {
    const std::string_view prefix = text.substr(insert - 4, 4);
    kind = prefix == "qbc_" ? kInsertCoverage : prefix == "qbt_" ? kInsertTrace
         : prefix == "qbp_" ? kInsertMemoryProfiling : prefix == "qbq_" ? kInsertPerformanceProfiling : 0;
  }
  if (kind == 0) {
    support::DisplayInternalError(
        support::Translate("Internal Error", "Bad pragma quorb (qb[ctpq]_)?insert in PragmaQbxInsert()"),
        support::CodeLocation::Current());
  }
  const std::size_t tag = text.find("@RELFLINE", keywordEnd);
  const bool tagged = tag != std::string_view::npos && tag < LineWithoutNewline(text).size();
  const std::uint32_t tagStart = tagged ? ColumnOf(context, tag) : 0;
  const LexerState& lexer = Lexer();
  AddInsertRecord(context.origin.physicalLine, ColumnOf(context, keywordEnd - 1), kind, tagStart, tagStart + 8,
                  lexer.currentDirectory, lexer.currentFile, context.origin.logicalLine);
}

bool FormInsert(DirectiveCursor cursor, const DirectiveContext& context) {
  for (std::string_view word : kInsertWords) {
    DirectiveCursor probe = cursor;
    if (!MatchWord(probe, word)) continue;
    const std::size_t keywordEnd = probe.at;
    if (!SkipBlanks(probe)) return false;
    PragmaQbxInsert(context, keywordEnd);
    return true;
  }
  return false;
}

void MarkStartOfMain(const DirectiveContext& context) {
  const std::size_t lastCharacter = LineWithoutNewline(context.text).size() - 1;
  AddInsertRecord(context.origin.physicalLine, ColumnOf(context, lastCharacter), kInsertStartOfMain, 0, 0,
                  nullptr, nullptr, 0);
}

bool FormNothingBefore(DirectiveCursor cursor) {
  if (!MatchWord(cursor, "nothing")) return false;
  SkipBlanks(cursor);
  return MatchWord(cursor, "before") && AtLineEnd(cursor);
}

bool StartsWithIgnoredWord(DirectiveCursor cursor) {
  for (std::string_view word : kIgnoredWords) {
    DirectiveCursor probe = cursor;
    if (MatchWord(probe, word)) return true;
  }
  return false;
}

}  // namespace

bool HandleSwitchForm(DirectiveCursor cursor, const DirectiveContext& context, int& result) {
  result = 0;
  if (MatchAlone(cursor, "stop_instr")) StopInstrumentation(context);
  else if (MatchAlone(cursor, "start_instr")) StartInstrumentation(context);
  else if (MatchAlone(cursor, "stop_analyze") || MatchAlone(cursor, "stop_analyse")) result = PauseAnalysis(context);
  else if (MatchAlone(cursor, "start_analyze") || MatchAlone(cursor, "start_analyse")) ResumeAnalysis(context);
  else if (FormNothingBefore(cursor)) MarkNothingBefore();
  else if (MatchAlone(cursor, "testing_tool_call_place")) MarkStartOfMain(context);
  else if (MatchAlone(cursor, "nointerpret")) Pragmas().noEscapes = true;
  else if (FormInsert(cursor, context)) return true;
  else return StartsWithIgnoredWord(cursor);
  return true;
}

bool HandleQuorbForm(DirectiveCursor cursor, const DirectiveContext& context, int& result) {
  result = 0;
  return HandleWordForm(cursor, context) || HandleExtensionForm(cursor, context) ||
         HandleSwitchForm(cursor, context, result);
}

}  // namespace frontend
