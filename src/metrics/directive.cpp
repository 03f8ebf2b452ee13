// Directive lines of the Halstead analysis: their lines and comments are
// counted by a small scan of their own (the scanner matched the whole line,
// continuation lines included), and #if, #ifdef, #ifndef, #elif, #else and
// #endif open and close the conditional regions.
#include "frontend/line_validity.h"
#include "metrics/halstead_scan.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <QString>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace metrics {
namespace {

// The directive with its digraphs spelt as single bytes, and for each byte
// of it the index of the byte of the line it came from.
struct DirectiveCopy {
  std::string text;
  std::vector<std::size_t> origin;
};

char DigraphByte(char first, char second) {
  if (first == '<' && second == ':') return '[';
  if (first == '<' && second == '%') return '{';
  if (first == ':' && second == '>') return ']';
  if (first == '%' && second == '>') return '}';
  if (first == '%' && second == ':') return '#';
  return 0;
}

DirectiveCopy CopyWithoutDigraphs(const char* text, std::size_t length) {
  DirectiveCopy copy;
  copy.text.reserve(length);
  copy.origin.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const char c = text[i];
    const bool pairs = (c == '<' || c == '%' || c == ':') && i + 1 < length;
    const char single = pairs ? DigraphByte(c, text[i + 1]) : 0;
    if (single != 0) {
      copy.text.push_back(single);
      copy.origin.push_back(i);
      ++i;
      continue;
    }
    copy.text.push_back(c);
    copy.origin.push_back(i);
    if (pairs) {
      copy.text.push_back(text[i + 1]);
      copy.origin.push_back(i + 1);
      ++i;
    }
  }
  return copy;
}

enum class ScanState { kCode, kBlockComment, kLineComment, kString };

// Counts the lines and comments of the directive; returns the final state
// and, for a block comment left open, where its "/*" stands in the copy.
ScanState ScanDirectiveLines(const std::string& text, std::size_t& commentAt) {
  HalsteadScan& scan = Halstead();
  HalsteadCounts& counts = *scan.counts;
  ScanState state = ScanState::kCode;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '\n') {
      if (state == ScanState::kCode || state == ScanState::kString) scan.codeMark = true;
      if (state == ScanState::kLineComment) ++counts[kComments];
      if (state != ScanState::kBlockComment) state = ScanState::kCode;
      EndLine();
      continue;
    }
    switch (state) {
      case ScanState::kCode:
        if (c == '/' && next == '*') {
          scan.commentMark = true;
          state = ScanState::kBlockComment;
          commentAt = i++;
        } else if (c == '/' && next == '/') {
          scan.commentMark = true;
          state = ScanState::kLineComment;
          ++i;
        } else if (c == '"') {
          state = ScanState::kString;
        } else if (c == '\\' && next != '\n') {
          ++i;
        }
        break;
      case ScanState::kBlockComment:
        if (c == '*' && next == '/') {
          ++counts[kComments];
          state = ScanState::kCode;
          ++i;
        }
        break;
      case ScanState::kString:
        if (c == '\\' && next != '\n') {
          ++i;
        } else if (c == '"') {
          state = ScanState::kCode;
        }
        break;
      case ScanState::kLineComment:
        break;
    }
  }
  return state;
}

// A text that does not end with a newline is the last line of the file:
// the line itself is counted at the end of the file.
void FinishUnendedLine(ScanState state) {
  HalsteadScan& scan = Halstead();
  if (state == ScanState::kCode || state == ScanState::kString) scan.codeMark = true;
  if (state == ScanState::kLineComment) ++(*scan.counts)[kComments];
  if (state != ScanState::kBlockComment) scan.commentMark = false;
}

bool StartsWord(std::string_view text, std::size_t at, std::string_view word) {
  if (text.substr(at, word.size()) != word) return false;
  const std::size_t after = at + word.size();
  return after >= text.size() || !std::isalnum(static_cast<unsigned char>(text[after]));
}

void ReportUnmatched(std::uint32_t line, const char* name) {
  const HalsteadScan& scan = Halstead();
  const QString location = support::FromLocal(support::LocationTextShort(scan.path, line));
  support::DisplayError(support::Translate("Message",
                                           "%1 a #%2 preprocessing directive is not associated to a #if, #ifdef, "
                                           "#ifndef, #elif nor #else.\nCheck that this missing directive is at the "
                                           "beginning of the source line, optionally prefixed with spaces or tabs.")
                            .arg(location, QString::fromLatin1(name)));
}

void OpenRegion(std::uint32_t line) {
  HalsteadScan& scan = Halstead();
  frontend::AppendRegion(*scan.regions, line, 0);
  scan.openRegions.push_back(scan.regions->tail);
}

// Closes the innermost region at the line; false when none is open.
bool CloseRegion(std::uint32_t line) {
  HalsteadScan& scan = Halstead();
  if (scan.openRegions.empty()) return false;
  scan.openRegions.back()->lastLine = line;
  scan.openRegions.pop_back();
  return true;
}

void WarnLineMarker(std::string_view text, std::size_t at) {
  std::string_view marker = text.substr(at);
  while (!marker.empty() && (marker.back() == '\n' || marker.back() == '\r')) marker.remove_suffix(1);
  support::DisplayWarning(QStringLiteral("halstead.l:Directive() #") + support::FromLocal(marker));
}

// line: the number of the directive's last line.
void FollowConditionals(std::string_view text, std::uint32_t line) {
  std::size_t at = text.find_first_not_of(" \t\f\v");
  if (at == std::string_view::npos || text[at] != '#') return;
  at = text.find_first_not_of(" \t", at + 1);
  if (at == std::string_view::npos) return;
  if (StartsWord(text, at, "ifndef") || StartsWord(text, at, "ifdef") || StartsWord(text, at, "if")) {
    OpenRegion(line);
  } else if (StartsWord(text, at, "elif") || StartsWord(text, at, "else")) {
    if (!CloseRegion(line)) ReportUnmatched(line, text[at + 2] == 'i' ? "elif" : "else");
    OpenRegion(line);
  } else if (StartsWord(text, at, "endif")) {
    if (!CloseRegion(line)) ReportUnmatched(line, "endif");
  } else if (std::isdigit(static_cast<unsigned char>(text[at]))) {
    WarnLineMarker(text, at);
  }
}

}  // namespace

bool Directive(const char* text, std::size_t length) {
  HalsteadScan& scan = Halstead();
  scan.codeMark = true;
  scan.commentMark = false;
  const DirectiveCopy copy = CopyWithoutDigraphs(text, length);
  std::size_t commentAt = 0;
  const ScanState state = ScanDirectiveLines(copy.text, commentAt);
  const bool endsLine = length > 0 && text[length - 1] == '\n';
  if (!endsLine) FinishUnendedLine(state);
  const std::uint64_t lineStart = scan.offset;
  scan.hiddenRanges->push_back({lineStart, lineStart + length - (endsLine ? 1 : 0)});
  scan.offset += length;
  scan.atLineStart = endsLine;
  const bool commentOpen = state == ScanState::kBlockComment;
  if (commentOpen) {
    // The scanner reads the rest of the comment; it counts as one comment.
    ++(*scan.counts)[kComments];
    scan.commentMark = true;
    scan.commentStart = lineStart + copy.origin[commentAt];
    scan.clearCommentMarkAtClose = true;
  } else {
    scan.commentMark = false;
  }
  // A last line without newline is counted only at the end of the file.
  FollowConditionals(copy.text, (*scan.counts)[kTotalLines] + (endsLine ? 0 : 1));
  return commentOpen;
}

}  // namespace metrics
