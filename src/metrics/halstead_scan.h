// The state of one Halstead analysis and the actions of its scanner
// (metrics/halstead.l). The scanner matches tokens; these actions count
// them, track the code and comment marks of the current line, record the
// hidden ranges and keep the stack of open conditional regions.
#pragma once

#include "metrics/halstead.h"
#include "output/source_encoding.h"
#include "support/name_table.h"
#include "support/thread_binding.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace frontend {
struct Region;
}

namespace metrics {

/// Operator kinds: the 32 keywords by reserved-word code minus 257, then the
/// punctuators. A digraph is the kind of the punctuator it spells.
enum OperatorKind : unsigned {
  kFirstKeyword = 0,
  kArrow = 32, kIncrement, kDecrement, kShiftLeft, kShiftRight, kLessEqual, kGreaterEqual, kEqual,
  kNotEqual, kLogicalAnd, kLogicalOr, kEllipsis, kMultiplyAssign, kDivideAssign, kModuloAssign,
  kAddAssign, kSubtractAssign, kShiftLeftAssign, kShiftRightAssign, kAndAssign, kXorAssign, kOrAssign,
  kNot, kQuestion, kDot, kAmpersand, kTilde, kAssign, kLess, kGreater, kPlus, kMinus, kStar, kSlash,
  kSemicolon, kComma, kColon, kLeftParen, kLeftBracket, kLeftBrace, kPercent, kCaret, kBar,
  kOperatorKindCount
};

struct HalsteadScan {
  const char* path = nullptr;
  HalsteadCounts* counts = nullptr;
  std::vector<HiddenRange>* hiddenRanges = nullptr;
  frontend::RegionList* regions = nullptr;
  std::uint64_t offset = 0;        // of the next byte
  std::uint64_t commentStart = 0;  // of the open comment's first "/"
  bool codeMark = false;
  bool commentMark = false;
  // The last byte consumed ended a line; at the end of the file a line is
  // counted only when it is clear.
  bool atLineStart = false;
  // A comment opened on a directive line ends its comment mark when it
  // closes.
  bool clearCommentMarkAtClose = false;
  std::bitset<kOperatorKindCount> seenOperators;
  support::NameList operands;
  std::vector<frontend::Region*> openRegions;  // innermost last
  output::DecodedInput input;
};

/// Binds the analysis of one file to this thread (the scanner's rules reach
/// it through Halstead()).
using HalsteadScope = support::ThreadBinding<HalsteadScan>;

/// The analysis bound to this thread.
inline HalsteadScan& Halstead() { return HalsteadScope::Current(); }

/// Runs the generated scanner over Halstead().input to the end of the text.
void RunHalsteadScanner();
/// Feeds the scanner; 0 at the end of the text. A source that cannot be
/// read ends the run.
std::size_t ReadScannerInput(char* buffer, std::size_t capacity);
/// Ends the run on a failure of the generated scanner itself.
[[noreturn]] void FailScanner(const char* reason);

void CountOperator(unsigned kind, std::size_t length);
void CountKeywordOrIdentifier(const char* text, std::size_t length);
/// Literals may span lines through backslash-newline.
void CountOperand(const char* text, std::size_t length);
/// Closing brackets and stray bytes.
void MarkCode(std::size_t length);
void SkipBlanks(std::size_t length);
void CountNewline();
void CountBlankLine(std::size_t length);
/// A backslash-newline outside directives and the whole line it joins.
void CountContinuation(const char* text, std::size_t length);

void OpenBlockComment();
void CountCommentText(std::size_t length);
void CountBlockCommentNewline();
void CloseBlockComment();
void OpenLineComment();
void CountLineCommentContinuation();
void CloseLineComment(bool atNewline);

/// Handles a whole directive line; true when it leaves a block comment open
/// that the scanner must read on.
bool Directive(const char* text, std::size_t length);

/// Ends the current line (code, code and comment, or comment only) and
/// clears the marks.
void EndLine();
/// A comment left open at the end of the file counts its last line and
/// records no range.
void FinishScan();

}  // namespace metrics
