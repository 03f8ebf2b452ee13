// Opening, reading and writing for the annotated source reader.
//
// Every source byte is written exactly once and in order, so the count of
// source bytes written is the byte offset in the decoded file, the unit of
// the hidden ranges. Comment markup is one state: a byte is inside a
// comment when it lies in a hidden range or on a line of an inactive
// conditional region; "@COMMENT@" and "@/COMMENT@" are written when that
// state changes, so ranges inside a region never nest comment tags.
#include "output/source_reader.h"

#include "frontend/line_validity.h"
#include "support/messages.h"
#include "support/translate.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace output {
namespace {

constexpr std::size_t kLineChunk = 1019;

[[noreturn]] void FailReading(const SourceReader& reader) { FailReadingSource(reader.path); }

// Writes the text with every '@' doubled, the listing's escape of its
// markup character, a run at a time.
void WriteEscaped(std::FILE* out, std::string_view text) {
  while (!text.empty()) {
    const std::size_t at = text.find('@');
    const std::size_t length = at == std::string_view::npos ? text.size() : at + 1;
    fwrite_unlocked(text.data(), 1, length, out);
    if (at == std::string_view::npos) return;
    putc_unlocked('@', out);
    text.remove_prefix(length);
  }
}

bool RegionShown(const frontend::Region* region) { return !region->active && region->lastLine > region->firstLine; }

// The next inactive region after the given one that starts at or after line.
const frontend::Region* NextInactiveRegion(const frontend::Region* from, std::uint32_t line) {
  for (const frontend::Region* region = from; region; region = region->next) {
    if (RegionShown(region) && region->firstLine >= line) return region;
  }
  return nullptr;
}

// Writes the comment tag when the state changed, unless an alternative
// holds the markup back.
void UpdateCommentMarkup(bool wasInside) {
  const bool inside = InsideComment();
  if (inside == wasInside || Listing().commentSuspended) return;
  WriteMarkup(inside ? "@COMMENT@" : "@/COMMENT@");
}

void EnterLine(std::uint32_t line) {
  ListingState& listing = Listing();
  if (listing.openRegion || !listing.nextRegion || listing.nextRegion->firstLine > line) return;
  const bool wasInside = InsideComment();
  listing.openRegion = listing.nextRegion;
  UpdateCommentMarkup(wasInside);
}

void LeaveLine(std::uint32_t line) {
  ListingState& listing = Listing();
  if (!listing.openRegion || line + 1 < listing.openRegion->lastLine) return;
  const bool wasInside = InsideComment();
  listing.nextRegion = NextInactiveRegion(listing.openRegion->next, line + 1);
  listing.openRegion = nullptr;
  UpdateCommentMarkup(wasInside);
}

// A range that an earlier one overlaps starts where the count stands.
void EnterRange() {
  ListingState& listing = Listing();
  const std::vector<metrics::HiddenRange>& ranges = *listing.ranges;
  while (listing.nextRange < ranges.size() && ranges[listing.nextRange].end <= listing.charCount) ++listing.nextRange;
  if (listing.inRange || listing.nextRange >= ranges.size() || ranges[listing.nextRange].start > listing.charCount) {
    return;
  }
  const bool wasInside = InsideComment();
  listing.inRange = true;
  UpdateCommentMarkup(wasInside);
}

void LeaveRange() {
  ListingState& listing = Listing();
  if (!listing.inRange || (*listing.ranges)[listing.nextRange].end > listing.charCount) return;
  const bool wasInside = InsideComment();
  listing.inRange = false;
  ++listing.nextRange;
  UpdateCommentMarkup(wasInside);
}

// Bytes from the count on before the comment state can change: to the end
// of the range the count is in, or to the start of the next one.
std::uint64_t UnchangedBytes(const ListingState& listing) {
  const std::vector<metrics::HiddenRange>& ranges = *listing.ranges;
  if (listing.nextRange >= ranges.size()) return UINT64_MAX;
  const metrics::HiddenRange& range = ranges[listing.nextRange];
  return (listing.inRange ? range.end : range.start) - listing.charCount;
}

// Writes source bytes [from, to) of the line, from < to, with the comment
// markup between them where the state changes, a span at a time; only a
// line's last byte is its line feed.
void WriteSourceBytes(const SourceReader& reader, std::size_t from, std::size_t to) {
  ListingState& listing = Listing();
  while (from < to) {
    if (from == 0) EnterLine(reader.lineNumber);
    EnterRange();
    const std::uint64_t span = std::max<std::uint64_t>(1, UnchangedBytes(listing));
    const std::size_t length = std::min<std::uint64_t>(to - from, span);
    WriteEscaped(listing.out, std::string_view(reader.line).substr(from, length));
    listing.charCount += length;
    from += length;
    LeaveRange();
  }
  if (reader.line[to - 1] == '\n') LeaveLine(reader.lineNumber);
}

}  // namespace

bool InsideComment() { return Listing().inRange || Listing().openRegion != nullptr; }

void WriteMarkup(const char* text) { std::fputs(text, Listing().out); }

void StartListing(std::FILE* out, const std::vector<metrics::HiddenRange>& ranges,
                  const frontend::RegionList& regions) {
  ListingState& listing = Listing();
  listing.out = out;
  listing.ranges = &ranges;
  listing.regions = &regions;
  listing.nextRegion = NextInactiveRegion(regions.head, 1);
}

void FinishListing() {
  if (InsideComment()) WriteMarkup("@/COMMENT@");
}

void OpenSourceReader(SourceReader& reader, const char* path, bool tracksComments) {
  reader = {};
  reader.path = path;
  reader.tracksComments = tracksComments;
  reader.file.reset(std::fopen(path, "rb"));
  if (!reader.file) {
    support::DisplayFatalError(
        support::Translate("Fatal Error", "Can't open file %1", "%1 : the filename").arg(support::FromLocal(path)));
  }
  StartDecoding(reader.input, reader.file.get(), DetectEncoding(reader.file.get()));
}

void CloseSourceReader(SourceReader& reader) { reader = {}; }

bool ReadNextLine(SourceReader& reader) {
  reader.line.clear();
  reader.copied = 0;
  while (ReadDecodedLinePart(reader.input, reader.line, kLineChunk) > 0 && reader.line.back() != '\n') {
  }
  if (reader.input.readFailed) FailReading(reader);
  if (reader.line.empty()) return false;
  if (reader.line.back() != '\n') reader.line.push_back('\n');
  ++reader.lineNumber;
  return true;
}

void ReadLineOrFail(SourceReader& reader) {
  if (!ReadNextLine(reader)) FailReading(reader);
}

void WriteLineUpTo(SourceReader& reader, std::size_t end) {
  end = std::min(end, reader.line.size());
  if (reader.copied >= end) return;
  if (reader.tracksComments) {
    WriteSourceBytes(reader, reader.copied, end);
  } else {
    WriteEscaped(Listing().out, std::string_view(reader.line).substr(reader.copied, end - reader.copied));
  }
  reader.copied = end;
}

void CopyLinesUpTo(SourceReader& reader, std::uint32_t lineNumber) {
  if (reader.lineNumber >= lineNumber) return;
  WriteLineUpTo(reader, reader.line.size());
  for (;;) {
    ReadLineOrFail(reader);
    if (reader.lineNumber >= lineNumber) return;
    WriteLineUpTo(reader, reader.line.size());
  }
}

void SkipLinesUpTo(SourceReader& reader, std::uint32_t lineNumber) {
  while (reader.lineNumber < lineNumber) ReadLineOrFail(reader);
}

}  // namespace output
