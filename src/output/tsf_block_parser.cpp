// Parser of previous TSF files' content.
//
// This file depends on no message or Qt service, so the fuzz harness can
// build it alone.
#include "output/tsf_blocks.h"

#include <charconv>
#include <optional>

namespace output {
namespace {

// A view of the content with a read position inside one line.
class Cursor {
 public:
  explicit Cursor(std::string_view content) : content_(content) {}

  std::size_t Position() const { return position_; }
  bool AtEnd() const { return position_ >= content_.size(); }
  void MoveTo(std::size_t position) { position_ = position; }

  bool LineStartsWith(std::size_t lineStart, std::string_view prefix) const {
    return content_.substr(lineStart, prefix.size()) == prefix;
  }

  /// Start of the line after the one holding `position`, or the end.
  std::size_t NextLine(std::size_t position) const {
    const std::size_t feed = content_.find('\n', position);
    return feed == std::string_view::npos ? content_.size() : feed + 1;
  }

  /// The first line at or after `from` and before `limit` that begins with
  /// `prefix`, or `limit`.
  std::size_t FindLine(std::size_t from, std::size_t limit, std::string_view prefix) const {
    for (std::size_t line = from; line < limit; line = NextLine(line)) {
      if (LineStartsWith(line, prefix)) return line;
    }
    return limit;
  }

  /// The next blank-separated token of the current line, if any.
  std::optional<std::string_view> Token() {
    SkipBlanks();
    const std::size_t start = position_;
    while (!AtEnd() && !IsBlank(content_[position_]) && !IsLineEnd(content_[position_])) ++position_;
    if (position_ == start || position_ - start > kMaxTsfFieldLength) return std::nullopt;
    return content_.substr(start, position_ - start);
  }

  /// The next quoted text of the current line, unescaped, if whole.
  std::optional<std::string> Quoted() {
    SkipBlanks();
    if (AtEnd() || content_[position_] != '"') return std::nullopt;
    std::string text;
    for (++position_; !AtEnd(); ++position_) {
      char c = content_[position_];
      if (IsLineEnd(c) || text.size() > kMaxTsfFieldLength) return std::nullopt;
      if (c == '"') {
        ++position_;
        return text;
      }
      if (c == '\\') {
        if (++position_ >= content_.size() || IsLineEnd(content_[position_])) return std::nullopt;
        c = content_[position_] == 'n' ? '\n' : content_[position_];
      }
      text += c;
    }
    return std::nullopt;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
  static bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(content_[position_])) ++position_;
  }

  std::string_view content_;
  std::size_t position_ = 0;
};

std::optional<std::uint32_t> Number(std::optional<std::string_view> token) {
  if (!token) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(token->data(), token->data() + token->size(), value);
  if (error != std::errc() || end != token->data() + token->size()) return std::nullopt;
  return value;
}

// Parsing stops at the first invalid case; a failure carries its number or
// the tag that was not found.
struct Failure {
  int number = 0;
  std::string missingTag;
};

void SplitSourcePath(const std::string& path, std::string_view directory, TsfBlock& block) {
  const std::size_t slash = path.rfind('/');
  block.sourceName = slash == std::string::npos ? path : path.substr(slash + 1);
  block.sourceDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (block.sourceDirectory.empty() || block.sourceDirectory.front() != '/') {
    block.sourceDirectory.insert(0, directory);
  }
}

// The US line decides whether the block is this provider's.
std::optional<Failure> ReadProvider(Cursor& cursor, const TsfProvider& provider, TsfBlock& block) {
  const std::optional<std::string_view> name = cursor.Token();
  if (!name) return Failure{3, {}};
  const std::optional<std::string_view> flagsToken = cursor.Token();
  const bool flagsRead = flagsToken && flagsToken->size() <= 2 && Number(flagsToken);
  if (!flagsRead) return Failure{4, {}};
  const std::optional<std::string_view> version = cursor.Token();
  if (!version) return Failure{5, {}};
  block.foreign =
      *name != provider.name || *Number(flagsToken) != provider.flags || !version->starts_with(kTsfFormatVersion);
  return std::nullopt;
}

std::optional<Failure> ReadIdentity(Cursor& cursor, std::size_t from, std::size_t end, std::string_view directory,
                                    TsfBlock& block) {
  const std::size_t source = cursor.FindLine(from, end, "SO ");
  if (source == end) return Failure{0, "SO "};
  cursor.MoveTo(source + 3);
  const std::optional<std::string> path = cursor.Quoted();
  if (!path || path->empty()) return Failure{6, {}};
  SplitSourcePath(*path, directory, block);
  const std::optional<std::uint32_t> date = Number(cursor.Token());
  if (!date) return Failure{7, {}};
  block.date = *date;
  const std::size_t id = cursor.FindLine(cursor.NextLine(source), end, "ID ");
  if (id == end) return Failure{0, "ID "};
  cursor.MoveTo(id + 3);
  const std::optional<std::uint32_t> key = Number(cursor.Token());
  if (!key) return Failure{8, {}};
  const std::optional<std::uint32_t> checksum = Number(cursor.Token());
  if (!checksum) return Failure{9, {}};
  block.key = *key;
  block.checksum = *checksum;
  return std::nullopt;
}

std::optional<Failure> ReadDbBlock(Cursor& cursor, std::size_t start, std::size_t end, const TsfProvider& provider,
                                   std::string_view directory, TsfBlock& block) {
  cursor.MoveTo(start + 2);
  const std::optional<std::string_view> tracer = cursor.Token();
  if (!tracer) return Failure{3, {}};
  const std::string expected = "\"" + std::string(kTsfTracerName) + "\"";
  if (*tracer != expected) {
    block.foreign = true;
    return std::nullopt;
  }
  const std::size_t next = cursor.NextLine(start);
  const std::size_t user = cursor.FindLine(next, end, "US ");
  if (user == end || cursor.FindLine(next, user, "ID ") != user) {
    block.foreign = true;
    return std::nullopt;
  }
  cursor.MoveTo(user + 3);
  if (std::optional<Failure> failure = ReadProvider(cursor, provider, block)) return failure;
  if (block.foreign) return std::nullopt;
  return ReadIdentity(cursor, cursor.NextLine(user), end, directory, block);
}

}  // namespace

TsfReadResult ParseTsfBlocks(std::string_view content, const TsfProvider& provider, std::string_view directory) {
  TsfReadResult result;
  const auto fail = [&result](const Failure& failure) {
    result.error = failure.number ? TsfReadError::kNotValid : TsfReadError::kMissingTag;
    result.invalidNumber = failure.number;
    result.missingTag = failure.missingTag;
    return result;
  };
  if (content.size() < 3) return fail({1, {}});
  Cursor cursor(content);
  std::size_t start = 0;
  while (start < content.size()) {
    TsfBlock block;
    const std::size_t next = cursor.NextLine(start);
    if (cursor.LineStartsWith(start, "tsf")) {
      block.foreign = true;
      block.endOffset = static_cast<std::int64_t>(cursor.FindLine(next, content.size(), "tsf"));
    } else if (cursor.LineStartsWith(start, "DB")) {
      const std::size_t end = cursor.FindLine(next, content.size(), "DB");
      block.endOffset = static_cast<std::int64_t>(end);
      if (std::optional<Failure> failure = ReadDbBlock(cursor, start, end, provider, directory, block)) return fail(*failure);
    } else {
      return fail({2, {}});
    }
    start = static_cast<std::size_t>(block.endOffset);
    result.blocks.push_back(std::move(block));
  }
  return result;
}

}  // namespace output
