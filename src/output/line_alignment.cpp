// The alignment is a search: equal tokens are taken greedily; at a macro
// invocation every preprocessed token equal to the one after the invocation
// is tried as the end of the expansion, and the rest of both lines must
// align behind it. A shared budget of steps bounds the search.
#include "output/line_alignment.h"

#include <string>
#include <unordered_set>

namespace output {
namespace {

constexpr std::size_t kAlignmentBudget = 100000;

bool IsIdentifierByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(unsigned char c) { return c <= ' ' || c == 0x7F; }

std::size_t LiteralLength(std::string_view line, std::size_t start) {
  const char quote = line[start];
  std::size_t at = start + 1;
  while (at < line.size() && line[at] != quote) at += line[at] == '\\' ? 2 : 1;
  return std::min(at + 1, line.size()) - start;
}

LineToken NextToken(std::string_view line, std::size_t at) {
  const auto c = static_cast<unsigned char>(line[at]);
  const char next = at + 1 < line.size() ? line[at + 1] : '\0';
  auto wordEnd = [&](std::size_t from) {
    while (from < line.size() && (IsIdentifierByte(line[from]) || IsDigit(line[from]))) ++from;
    return from;
  };
  if (IsIdentifierByte(c)) return {TokenKind::kIdentifier, at, wordEnd(at + 1) - at};
  if (IsDigit(c)) return {TokenKind::kNumber, at, wordEnd(at + 1) - at};
  if (c == '"' || c == '\'') return {TokenKind::kLiteral, at, LiteralLength(line, at)};
  if (c == '(') return {TokenKind::kOpenParen, at, 1};
  if (c == ')') return {TokenKind::kCloseParen, at, 1};
  if (c == '/' && next == '*') return {TokenKind::kCommentOpen, at, 2};
  if (c == '*' && next == '/') return {TokenKind::kCommentClose, at, 2};
  if (c == '/' && next == '/') return {TokenKind::kLineComment, at, 2};
  return {TokenKind::kPunctuation, at, 1};
}

// The tokens outside comments. A "*/" with no "/*" before it closes a
// comment that began on an earlier line.
std::vector<LineToken> CodeTokens(std::string_view line) {
  std::vector<LineToken> code;
  bool inComment = false;
  for (const LineToken& token : TokenizeLine(line)) {
    if (token.kind == TokenKind::kCommentOpen && !inComment) {
      inComment = true;
    } else if (token.kind == TokenKind::kCommentClose) {
      if (!inComment) code.clear();
      inComment = false;
    } else if (token.kind == TokenKind::kLineComment && !inComment) {
      break;
    } else if (!inComment) {
      code.push_back(token);
    }
  }
  return code;
}

// A segment before tiling: where its texts start.
struct RawSegment {
  SegmentKind kind;
  std::size_t sourceStart;
  std::size_t sourceTextEnd;
  std::size_t preStart;
};

class Aligner {
 public:
  Aligner(std::string_view source, std::string_view pre)
      : source_(source), pre_(pre), s_(CodeTokens(source)), p_(CodeTokens(pre)) {
    for (const LineToken& token : p_) {
      if (token.kind == TokenKind::kIdentifier) preIdentifiers_.insert(Text(pre_, token));
    }
  }

  bool Run() { return Align(0, 0); }
  const std::vector<RawSegment>& Segments() const { return out_; }

 private:
  static std::string_view Text(std::string_view line, const LineToken& token) {
    return line.substr(token.start, token.length);
  }
  bool Equal(const LineToken& a, const LineToken& b) const {
    return a.kind == b.kind && Text(source_, a) == Text(pre_, b);
  }
  std::size_t PreOffset(std::size_t index) const { return index < p_.size() ? p_[index].start : pre_.size(); }
  bool Exhausted() { return ++steps_ > kAlignmentBudget; }

  // Index one past the ")" that closes the "(" at open, or 0 when unbalanced.
  std::size_t InvocationEnd(std::size_t open) const {
    int depth = 0;
    for (std::size_t i = open; i < s_.size(); ++i) {
      if (s_[i].kind == TokenKind::kOpenParen) ++depth;
      if (s_[i].kind == TokenKind::kCloseParen && --depth == 0) return i + 1;
    }
    return 0;
  }

  bool Align(std::size_t si, std::size_t pj) {
    for (;;) {
      if (Exhausted()) return false;
      if (si == s_.size() || pj == p_.size()) return si == s_.size() && pj == p_.size();
      if (!Equal(s_[si], p_[pj])) break;
      out_.push_back({SegmentKind::kSameText, s_[si].start, s_[si].start + s_[si].length, p_[pj].start});
      ++si;
      ++pj;
    }
    return AlignInvocation(si, pj);
  }

  bool AlignInvocation(std::size_t si, std::size_t pj) {
    const LineToken& name = s_[si];
    if (name.kind != TokenKind::kIdentifier || preIdentifiers_.count(Text(source_, name))) return false;
    SegmentKind kind = SegmentKind::kObjectMacro;
    std::size_t end = si + 1;
    if (end < s_.size() && s_[end].kind == TokenKind::kOpenParen) {
      kind = SegmentKind::kFunctionMacro;
      end = InvocationEnd(end);
      if (end == 0) return false;
    }
    const RawSegment invocation{kind, name.start, s_[end - 1].start + s_[end - 1].length, PreOffset(pj)};
    if (end == s_.size()) {
      out_.push_back(invocation);
      return true;
    }
    const std::size_t mark = out_.size();
    std::vector<RawSegment> rest;
    int found = 0;
    for (std::size_t k = pj; k < p_.size() && found < 2; ++k) {
      if (!Equal(s_[end], p_[k])) continue;
      if (Align(end, k)) {
        if (++found == 1) rest.assign(out_.begin() + static_cast<std::ptrdiff_t>(mark), out_.end());
      }
      out_.resize(mark);
      if (steps_ > kAlignmentBudget) return false;
    }
    if (found == 0) return false;
    if (found == 1) {
      out_.push_back(invocation);
      out_.insert(out_.end(), rest.begin(), rest.end());
    } else {
      out_.push_back({kind, name.start, s_.back().start + s_.back().length, PreOffset(pj)});
    }
    return true;
  }

  std::string_view source_;
  std::string_view pre_;
  std::vector<LineToken> s_;
  std::vector<LineToken> p_;
  std::unordered_set<std::string_view> preIdentifiers_;
  std::vector<RawSegment> out_;
  std::size_t steps_ = 0;
};

}  // namespace

std::vector<LineToken> TokenizeLine(std::string_view line) {
  std::vector<LineToken> tokens;
  std::size_t at = 0;
  while (at < line.size()) {
    if (IsSeparator(static_cast<unsigned char>(line[at]))) {
      ++at;
      continue;
    }
    tokens.push_back(NextToken(line, at));
    at += tokens.back().length;
  }
  return tokens;
}

LineSegment WholeLineSegment(std::string_view source, std::string_view preprocessed) {
  return {SegmentKind::kWholeLine, 0, 0, source.size(), source.size(), 0, 0, preprocessed.size()};
}

bool AlignLines(std::string_view source, std::string_view preprocessed, std::vector<LineSegment>& segments) {
  segments.clear();
  Aligner aligner(source, preprocessed);
  if (!aligner.Run()) return false;
  const std::vector<RawSegment>& raw = aligner.Segments();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const bool last = i + 1 == raw.size();
    segments.push_back({raw[i].kind, i == 0 ? 0 : raw[i].sourceStart, raw[i].sourceStart, raw[i].sourceTextEnd,
                        last ? source.size() : raw[i + 1].sourceStart, i == 0 ? 0 : raw[i].preStart,
                        raw[i].preStart, last ? preprocessed.size() : raw[i + 1].preStart});
  }
  return true;
}

}  // namespace output
