// Copying the source up to a preprocessed position, and the alternatives
// that show a macro's expansion where a branch lies inside it.
//
// Outside an alternative the source reader feeds the listing: a
// preprocessed column is carried over to the source line directly when both
// lines are equal, else through the segments of their alignment. Inside an
// alternative the preprocessed reader feeds it, from the expansion's start,
// until a copy leaves the expansion's segment (or, for one source line
// spread over several preprocessed lines, until the next source line).
//
// An alternative is written as "@ALT@", the source text, "@-ALT@", the
// expansion, "@/ALT@". Inside a comment the source text stays in the comment
// and the alternative shows the translated "Hidden branches" instead.
#include "output/source_reader.h"

#include "support/translate.h"

#include <algorithm>
#include <string>

namespace output {
namespace {

std::size_t ContentLength(const SourceReader& reader) {
  return reader.line.empty() ? 0 : reader.line.size() - 1;
}

std::string HiddenBranches() {
  return support::ToLocal(support::Translate("Code Coverage", "Hidden branches"));
}

void WriteText(const std::string& text) { WriteMarkup(text.c_str()); }

void CloseAlternative(SourceReader& preprocessed) {
  ListingState& listing = Listing();
  if (listing.feeder != Feeder::kPreprocessed) return;
  const bool toLineEnd = listing.alternativeToLineEnd || !listing.segmentsValid;
  WriteLineUpTo(preprocessed,
                toLineEnd ? ContentLength(preprocessed) : listing.segments[listing.currentSegment].preEnd);
  WriteMarkup("@/ALT@");
  listing.feeder = Feeder::kSource;
  listing.alternativeToLineEnd = false;
  if (listing.commentSuspended) {
    listing.commentSuspended = false;
    if (InsideComment()) WriteMarkup("@COMMENT@");
  }
}

// The source text of the segment, then the expansion up to target.
void OpenAlternative(SourceReader& source, SourceReader& preprocessed, const LineSegment& segment,
                     std::size_t target) {
  ListingState& listing = Listing();
  const bool wholeLine = segment.kind == SegmentKind::kWholeLine;
  WriteLineUpTo(source, segment.sourceTokenStart);
  const bool commentBefore = InsideComment();
  if (!commentBefore) WriteMarkup("@ALT@");
  const std::size_t textEnd = wholeLine ? ContentLength(source) : segment.sourceTextEnd;
  if (wholeLine && source.copied >= textEnd) {
    WriteText("@COMMENT@/*@/COMMENT@ " + HiddenBranches() + " @COMMENT@*/@/COMMENT@");
  } else {
    WriteLineUpTo(source, textEnd);
  }
  if (commentBefore) {
    WriteText((InsideComment() ? "@/COMMENT ALT@ " : "@ALT@ ") + HiddenBranches());
  } else if (InsideComment()) {
    WriteMarkup("@/COMMENT@");
  }
  listing.commentSuspended = InsideComment();
  WriteMarkup("@-ALT@");
  if (wholeLine) WriteLineUpTo(source, source.line.size());
  listing.feeder = Feeder::kPreprocessed;
  preprocessed.copied = std::max(preprocessed.copied, segment.preTokenStart);
  WriteLineUpTo(preprocessed, target);
}

// The source offset that stands for target in a segment the source feeds.
std::size_t SourceOffset(const LineSegment& segment, std::size_t target) {
  if (target <= segment.preTokenStart) {
    const std::size_t before = std::min(segment.preTokenStart - target, segment.sourceTokenStart - segment.sourceStart);
    return segment.sourceTokenStart - before;
  }
  const std::size_t within = target - segment.preTokenStart;
  return segment.sourceTokenStart + std::min(within, segment.sourceEnd - segment.sourceTokenStart);
}

// An item that starts on the first character of a macro's expansion opens
// the alternative, so that its markup lies inside the expansion it belongs to.
void CopyThroughSegments(SourceReader& source, SourceReader& preprocessed, std::size_t target, bool inclusive) {
  ListingState& listing = Listing();
  if (!listing.segmentsValid) {
    const std::string_view sourceText(source.line.data(), ContentLength(source));
    const std::string_view preText(preprocessed.line.data(), ContentLength(preprocessed));
    if (!AlignLines(sourceText, preText, listing.segments)) {
      listing.segments.assign(1, WholeLineSegment(sourceText, preText));
    }
    listing.segmentsValid = true;
    listing.currentSegment = 0;
  }
  std::vector<LineSegment>& segments = listing.segments;
  if (segments.empty()) {
    WriteLineUpTo(source, ContentLength(source));
    return;
  }
  while (listing.currentSegment + 1 < segments.size() && segments[listing.currentSegment].preEnd <= target) {
    ++listing.currentSegment;
  }
  const LineSegment& segment = segments[listing.currentSegment];
  const bool invocation = segment.kind != SegmentKind::kSameText && segment.kind != SegmentKind::kWholeLine;
  if (segment.kind == SegmentKind::kSameText || target < segment.preTokenStart ||
      (target == segment.preTokenStart && (inclusive || !invocation))) {
    WriteLineUpTo(source, SourceOffset(segment, target));
    preprocessed.copied = std::max(preprocessed.copied, target);
    return;
  }
  OpenAlternative(source, preprocessed, segment, target);
}

// Within the current line pair: directly on equal lines, else through the
// segments; an open alternative first, while the copy stays in it (a closing
// tag on the expansion's last character stays inside).
void CopyWithinLine(SourceReader& source, SourceReader& preprocessed, std::size_t target, bool inclusive) {
  ListingState& listing = Listing();
  if (listing.feeder == Feeder::kPreprocessed) {
    // A line followed into the preprocessed text may have no segments.
    if (listing.alternativeToLineEnd) {
      WriteLineUpTo(preprocessed, target);
      return;
    }
    const std::size_t end = listing.segments[listing.currentSegment].preEnd;
    if (target < end || (inclusive && target == end)) {
      WriteLineUpTo(preprocessed, target);
      return;
    }
    CloseAlternative(preprocessed);
  }
  // Compared once per line pair: a long line carries many items.
  if (!listing.linesEqual) listing.linesEqual = source.line == preprocessed.line;
  if (*listing.linesEqual) {
    WriteLineUpTo(source, target);
    preprocessed.copied = std::max(preprocessed.copied, target);
    return;
  }
  CopyThroughSegments(source, preprocessed, target, inclusive);
}

// One source line spread over several preprocessed lines: the expansion
// goes on in the preprocessed text.
void FollowPreprocessedLines(SourceReader& source, SourceReader& preprocessed, std::uint32_t line) {
  ListingState& listing = Listing();
  if (listing.feeder == Feeder::kSource) {
    WriteLineUpTo(source, ContentLength(source));
    WriteMarkup("@ALT@ @-ALT@");
    listing.feeder = Feeder::kPreprocessed;
  }
  listing.alternativeToLineEnd = true;
  listing.segmentsValid = false;
  listing.linesEqual.reset();
  WriteLineUpTo(preprocessed, preprocessed.line.size());
  while (preprocessed.lineNumber + 1 < line) {
    ReadLineOrFail(preprocessed);
    WriteLineUpTo(preprocessed, preprocessed.line.size());
  }
  ReadLineOrFail(preprocessed);
}

}  // namespace

void CopySourceUpTo(SourceReader& source, SourceReader& preprocessed, std::uint32_t sourceLine,
                    frontend::SourcePosition position, bool inclusive) {
  ListingState& listing = Listing();
  if (sourceLine != listing.syncedLine || source.lineNumber == 0) {
    CloseAlternative(preprocessed);
    CopyLinesUpTo(source, sourceLine);
    SkipLinesUpTo(preprocessed, position.line);
    listing.syncedLine = sourceLine;
    listing.segmentsValid = false;
    listing.linesEqual.reset();
  } else if (position.line > preprocessed.lineNumber) {
    FollowPreprocessedLines(source, preprocessed, position.line);
  }
  const std::size_t column = inclusive ? position.column : (position.column > 0 ? position.column - 1 : 0);
  CopyWithinLine(source, preprocessed, std::min<std::size_t>(column, ContentLength(preprocessed)), inclusive);
}

void FinishReader(SourceReader& reader) {
  if (!reader.tracksComments) {
    CloseAlternative(reader);
    return;
  }
  WriteLineUpTo(reader, reader.line.size());
  while (ReadNextLine(reader)) WriteLineUpTo(reader, reader.line.size());
}

}  // namespace output
