// Reader of existing FDC files for the merge.
//
// The reader walks the file once through FdcReader, which counts the offset
// and feeds the RIK tracker. The lines the reader skips make up nearly all of
// a file, so it skips them in runs found with memchr, stopping only at the
// bytes the tracker must see. Each block is read in the
// order of its lines: the version line decides whether the block is ours;
// for our blocks the FC, FD, TC and DC lines give its identity; then lines
// are skipped until the RIK section has ended and a line begins with "VE".
// Every read helper returns false once an error is recorded, and the first
// error ends the parse.
//
// This file depends on no message or Qt service, so the fuzz harness can
// build it alone.
#include "output/fdc_blocks.h"

#include "output/fdc_coverage_types.h"
#include "output/fdc_format.h"
#include "support/chunked_input.h"

#include <algorithm>

namespace output {
namespace {

constexpr std::string_view kRikEndMatch = "/RIK";
constexpr std::size_t kMaxDigits = 10;  // 4294967295

struct FdcReader {
  explicit FdcReader(std::FILE* stream) : input(stream) {}

  support::ChunkedInput input;
  std::int64_t offset = 0;  // bytes read so far
  bool lineDone = false;    // the line feed of the current line has been read
  bool tracking = false;    // inside a RIK section
  bool insideTag = false;
  std::size_t rikMatch = 0;  // characters of "/RIK" seen just before
  FdcReadError error = FdcReadError::kNone;
  std::string missingTag;
};

bool Fail(FdcReader& reader, FdcReadError error) {
  reader.error = error;
  return false;
}

// "@" toggles the tag state; the "@" closing a tag that ends in "/RIK" ends
// the section. A "/" starts the match only inside a tag.
void TrackRik(FdcReader& reader, int c) {
  if (c == '@') {
    if (reader.insideTag && reader.rikMatch == kRikEndMatch.size()) reader.tracking = false;
    reader.insideTag = !reader.insideTag;
    reader.rikMatch = 0;
    return;
  }
  if (c == '/' && reader.insideTag) {
    reader.rikMatch = 1;
    return;
  }
  const bool continues = reader.rikMatch > 0 && reader.rikMatch < kRikEndMatch.size() &&
                         c == kRikEndMatch[reader.rikMatch];
  reader.rikMatch = continues ? reader.rikMatch + 1 : 0;
}

int ReadChar(FdcReader& reader) {
  const std::string_view pending = reader.input.Pending();
  if (pending.empty()) return EOF;
  const int c = static_cast<unsigned char>(pending.front());
  reader.input.Take(1);
  ++reader.offset;
  if (reader.tracking) TrackRik(reader, c);
  return c;
}

// The length of the longest prefix of `text` without `c`.
std::size_t SpanWithout(std::string_view text, char c) { return std::min(text.find(c), text.size()); }

// How much of "/RIK" the last bytes of the run spell, as the tracker counts
// it: "/" never occurs inside "/RIK" but at its start, so the longest end of
// the run that begins "/RIK" is the match.
std::size_t TrailingRikMatch(std::string_view run) {
  for (std::size_t length = std::min(run.size(), kRikEndMatch.size()); length > 0; --length) {
    const char* tail = run.data() + run.size() - length;
    if (*tail != '/') continue;
    std::size_t matched = 1;
    while (matched < length && tail[matched] == kRikEndMatch[matched]) ++matched;
    if (matched == length) return length;
  }
  return 0;
}

// Moves past the bytes before the next line feed that leave the RIK tracker
// waiting for the same byte: every byte outside a RIK section; inside one,
// every byte before the next "@", whose meaning depends only on how much
// of "/RIK" a tag's last bytes spelled. A match begun before the skip needs
// its next bytes one by one, so nothing is skipped then.
void SkipQuietBytes(FdcReader& reader) {
  if (reader.tracking && reader.rikMatch > 0) return;
  for (std::string_view pending = reader.input.Pending(); !pending.empty(); pending = reader.input.Pending()) {
    std::size_t span = SpanWithout(pending, '\n');
    if (reader.tracking) span = SpanWithout(pending.substr(0, span), '@');
    if (reader.tracking && reader.insideTag) reader.rikMatch = TrailingRikMatch(pending.substr(0, span));
    reader.input.Take(span);
    reader.offset += static_cast<std::int64_t>(span);
    if (span < pending.size() || reader.rikMatch > 0) return;
  }
}

void StartTracking(FdcReader& reader) {
  reader.tracking = true;
  reader.insideTag = false;
  reader.rikMatch = 0;
}

// Leaves the reader at the start of the next line (or at the end of file).
void SkipRestOfLine(FdcReader& reader) {
  while (!reader.lineDone) {
    SkipQuietBytes(reader);
    const int c = ReadChar(reader);
    reader.lineDone = c == EOF || c == '\n';
  }
  reader.lineDone = false;
}

// The next token of the current line; an empty token once the line has
// ended. Spaces separate tokens; a carriage return or line feed ends one.
bool ReadToken(FdcReader& reader, std::string& token) {
  token.clear();
  if (reader.lineDone) return true;
  int c = ReadChar(reader);
  while (c == ' ' || c == '\r') c = ReadChar(reader);
  for (; c != EOF && c != ' ' && c != '\r' && c != '\n'; c = ReadChar(reader)) {
    if (token.size() == kMaxFdcFieldLength) return Fail(reader, FdcReadError::kNotValid);
    token += static_cast<char>(c);
  }
  if (c == '\n' || c == EOF) reader.lineDone = true;
  return true;
}

// A quoted field, read as the writer writes it (fdc_format.h).
bool ReadQuoted(FdcReader& reader, std::string& text) {
  QuotedFieldReader field(text, kMaxFdcFieldLength);
  QuotedFieldReader::State state = QuotedFieldReader::State::kReading;
  while (state == QuotedFieldReader::State::kReading) state = field.Take(ReadChar(reader));
  return state == QuotedFieldReader::State::kDone || Fail(reader, FdcReadError::kNotValid);
}

// An unsigned 32-bit decimal followed by a space or the end of the line.
bool ReadNumber(FdcReader& reader, std::uint32_t& value) {
  int c = ReadChar(reader);
  while (c == ' ') c = ReadChar(reader);
  std::uint64_t number = 0;
  std::size_t digits = 0;
  for (; c >= '0' && c <= '9'; c = ReadChar(reader)) {
    if (++digits > kMaxDigits) return Fail(reader, FdcReadError::kNotValid);
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (digits == 0 || number > 0xFFFFFFFFu) return Fail(reader, FdcReadError::kNotValid);
  if (c != ' ' && c != '\r' && c != '\n') return Fail(reader, FdcReadError::kNotValid);
  if (c == '\n') reader.lineDone = true;
  value = static_cast<std::uint32_t>(number);
  return true;
}

// Skips whole lines until one begins with the two characters of `tag`.
bool SearchLine(FdcReader& reader, std::string_view tag) {
  for (;;) {
    const int first = ReadChar(reader);
    const int second = first == '\n' || first == EOF ? first : ReadChar(reader);
    if (second == EOF) {
      reader.missingTag = tag;
      return Fail(reader, FdcReadError::kMissingTag);
    }
    if (second == '\n') continue;
    if (first == tag[0] && second == tag[1]) return true;
    SkipRestOfLine(reader);
  }
}

// The first token beginning with "#" must be the current format mark; a
// line without one is ours only when no mark is set.
bool MarkMatches(FdcReader& reader, std::string_view formatMark) {
  std::string token;
  while (ReadToken(reader, token) && !token.empty()) {
    if (token.front() == '#') return token == formatMark;
  }
  return formatMark.empty();
}

bool ReadIsForeign(FdcReader& reader, std::string_view formatMark, bool& foreign) {
  std::string token;
  if (!ReadToken(reader, token)) return false;
  foreign = token != kFdcFormatVersion;
  if (foreign) return true;
  if (!ReadToken(reader, token)) return false;  // first word of the feature string
  foreign = !MarkMatches(reader, formatMark);
  return reader.error == FdcReadError::kNone;
}

bool ReadCoverage(FdcReader& reader, std::uint16_t& coverage) {
  coverage = 0;
  std::string token;
  while (ReadToken(reader, token) && !token.empty()) {
    const std::uint16_t bits = CoverageTokenBits(token);
    if (bits == 0) return Fail(reader, FdcReadError::kUnknownCoverage);
    coverage |= bits;
  }
  if (reader.error != FdcReadError::kNone) return false;
  return coverage != 0 || Fail(reader, FdcReadError::kNoCoverage);
}

bool ReadIdentity(FdcReader& reader, FdcBlock& block) {
  SkipRestOfLine(reader);
  if (!SearchLine(reader, "FC") || !ReadQuoted(reader, block.sourceName) ||
      !ReadQuoted(reader, block.sourceDirectory)) {
    return false;
  }
  SkipRestOfLine(reader);
  if (!SearchLine(reader, "FD") || !ReadNumber(reader, block.date)) return false;
  SkipRestOfLine(reader);
  if (!SearchLine(reader, "TC") || !ReadCoverage(reader, block.coverage)) return false;
  SkipRestOfLine(reader);
  return SearchLine(reader, "DC") && ReadNumber(reader, block.checksum);
}

// True when the line begins with `prefix`; reads no further than needed.
bool LineBeginsWith(FdcReader& reader, std::string_view prefix) {
  for (const char expected : prefix) {
    const int c = ReadChar(reader);
    if (c == '\n' || c == EOF) reader.lineDone = true;
    if (c != expected) return false;
  }
  return true;
}

// Skips to the next "VE" line outside a RIK section. Returns true when one
// follows (its "VE" already read), false at the end of the file. A RIK
// section of this block cut off by the end of the file makes it invalid.
bool SkipToNextBlock(FdcReader& reader, FdcBlock& block) {
  SkipRestOfLine(reader);
  StartTracking(reader);
  const bool hasRik = LineBeginsWith(reader, "@RIK");
  SkipRestOfLine(reader);
  for (;;) {
    const std::int64_t lineStart = reader.offset;
    const bool outside = !reader.tracking;
    const int first = ReadChar(reader);
    const int second = first == '\n' || first == EOF ? first : ReadChar(reader);
    if (second == EOF) break;
    if (outside && first == 'V' && second == 'E') {
      block.endOffset = lineStart;
      return true;
    }
    if (second != '\n') SkipRestOfLine(reader);
  }
  block.endOffset = reader.offset;
  if (hasRik && reader.tracking) Fail(reader, FdcReadError::kNotValid);
  return false;
}

}  // namespace

FdcReadResult ParseFdcBlocks(std::FILE* stream, std::string_view formatMark) {
  FdcReader reader(stream);
  FdcReadResult result;
  if (ReadChar(reader) != 'V' || ReadChar(reader) != 'E') {
    result.error = FdcReadError::kNotValid;
    return result;
  }
  for (bool more = true; more;) {
    reader.tracking = false;
    FdcBlock block;
    if (!ReadIsForeign(reader, formatMark, block.foreign)) break;
    if (!block.foreign && !ReadIdentity(reader, block)) break;
    more = SkipToNextBlock(reader, block);
    if (reader.error != FdcReadError::kNone) break;
    result.blocks.push_back(std::move(block));
  }
  result.error = reader.error;
  result.missingTag = reader.missingTag;
  return result;
}

}  // namespace output
