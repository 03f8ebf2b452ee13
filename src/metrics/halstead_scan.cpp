// Token actions of the Halstead scanner: operators and operands, the code
// and comment marks of the current line, line classification and comment
// ranges. Every action advances the byte offset by the token's length.
#include "metrics/halstead_scan.h"

#include "frontend/lexer_patterns.h"
#include "support/messages.h"

#include <string_view>

namespace metrics {
namespace {

constexpr int kFirstReservedCode = 257;

HalsteadCounts& Counts() { return *Halstead().counts; }

// One finished line, by its marks.
void ClassifyLine() {
  HalsteadScan& scan = Halstead();
  HalsteadCounts& counts = Counts();
  ++counts[kTotalLines];
  if (!scan.codeMark) {
    ++counts[kCommentLines];
  } else if (scan.commentMark) {
    ++counts[kCodeAndCommentLines];
  } else {
    ++counts[kCodeLines];
  }
}

void AppendHiddenRange(std::uint64_t start, std::uint64_t end) { Halstead().hiddenRanges->push_back({start, end}); }

// A token that is code: it marks its line and is not a line start.
void Advance(std::size_t length) {
  HalsteadScan& scan = Halstead();
  scan.codeMark = true;
  scan.atLineStart = false;
  scan.offset += length;
}

}  // namespace

std::size_t ReadScannerInput(char* buffer, std::size_t capacity) {
  const std::size_t read = output::ReadDecoded(Halstead().input, buffer, capacity);
  if (read == 0 && Halstead().input.readFailed) output::FailReadingSource(Halstead().path);
  return read;
}

void FailScanner(const char* reason) {
  support::DisplayInternalError(QString::fromUtf8(reason), support::CodeLocation::Current());
}

void EndLine() {
  ClassifyLine();
  Halstead().codeMark = false;
  Halstead().commentMark = false;
}

void CountOperator(unsigned kind, std::size_t length) {
  HalsteadScan& scan = Halstead();
  ++Counts()[kTotalOperators];
  if (!scan.seenOperators.test(kind)) {
    scan.seenOperators.set(kind);
    ++Counts()[kDistinctOperators];
  }
  Advance(length);
}

void CountKeywordOrIdentifier(const char* text, std::size_t length) {
  const int code = frontend::FindReservedWord(std::string_view(text, length));
  if (code != 0) {
    CountOperator(kFirstKeyword + static_cast<unsigned>(code - kFirstReservedCode), length);
  } else {
    CountOperand(text, length);
  }
}

void CountOperand(const char* text, std::size_t length) {
  HalsteadScan& scan = Halstead();
  ++Counts()[kTotalOperands];
  support::NameEntry* entry = support::InternName(std::string_view(text, length));
  if (support::AddToNameList(scan.operands, entry) == 1) ++Counts()[kDistinctOperands];
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] != '\n') continue;
    EndLine();
    scan.codeMark = true;  // the literal goes on
  }
  Advance(length);
}

void MarkCode(std::size_t length) { Advance(length); }

void SkipBlanks(std::size_t length) {
  Halstead().atLineStart = false;
  Halstead().offset += length;
}

void CountNewline() {
  EndLine();
  Halstead().atLineStart = true;
  Halstead().offset += 1;
}

void CountBlankLine(std::size_t length) {
  HalsteadScan& scan = Halstead();
  ++Counts()[kTotalLines];
  ++Counts()[kBlankLines];
  scan.codeMark = false;
  scan.commentMark = false;
  scan.atLineStart = true;
  scan.offset += length;
}

// The joined line is code, whatever it holds; nothing in it is counted.
void CountContinuation(const char* text, std::size_t length) {
  HalsteadScan& scan = Halstead();
  scan.codeMark = true;
  EndLine();
  scan.codeMark = true;
  const std::size_t joined = text[1] == '\r' ? 3 : 2;  // the backslash and its line end
  const bool endsLine = length > joined && text[length - 1] == '\n';
  if (endsLine) EndLine();
  scan.atLineStart = endsLine;
  scan.offset += length;
}

void OpenBlockComment() {
  HalsteadScan& scan = Halstead();
  ++Counts()[kComments];
  scan.commentMark = true;
  scan.commentStart = scan.offset;
  scan.atLineStart = false;
  scan.offset += 2;
}

void CountCommentText(std::size_t length) {
  Halstead().atLineStart = false;
  Halstead().offset += length;
}

void CountBlockCommentNewline() {
  HalsteadScan& scan = Halstead();
  ClassifyLine();
  scan.codeMark = false;
  scan.atLineStart = true;
  scan.offset += 1;
}

void CloseBlockComment() {
  HalsteadScan& scan = Halstead();
  scan.offset += 2;
  AppendHiddenRange(scan.commentStart, scan.offset);
  scan.atLineStart = false;
  if (scan.clearCommentMarkAtClose) scan.commentMark = false;
  scan.clearCommentMarkAtClose = false;
}

void OpenLineComment() { OpenBlockComment(); }

void CountLineCommentContinuation() {
  HalsteadScan& scan = Halstead();
  ClassifyLine();
  scan.codeMark = false;
  scan.atLineStart = true;
  scan.offset += 2;
}

void CloseLineComment(bool atNewline) {
  HalsteadScan& scan = Halstead();
  AppendHiddenRange(scan.commentStart, scan.offset);
  if (!atNewline) return;  // the last line is counted at the end of the file
  EndLine();
  scan.atLineStart = true;
  scan.offset += 1;
}

void FinishScan() {
  if (!Halstead().atLineStart) EndLine();
}

}  // namespace metrics
