// The annotated source reader: the user's source file and the preprocessed
// input, read side by side while a RIK listing is written.
//
// Two readers serve one listing: the source reader writes the user's text
// (decoded to UTF-8 from whatever encoding it was saved in) and marks its
// comments and the lines of inactive conditional regions as comment; the
// preprocessed reader supplies the expanded text of macro invocations in
// which a branch lies, shown as an alternative of the source text. Every "@"
// of either text is doubled. Lines are read one at a time, in chunks, so a
// line of any length costs time in proportion to its length.
//
// Calling order: StartListing; OpenSourceReader on both files;
// CopySourceUpTo before each tag; FinishReader (preprocessed reader, then
// source reader); CloseSourceReader on both; FinishListing.
#pragma once

#include "frontend/source_position.h"
#include "metrics/halstead.h"
#include "output/line_alignment.h"
#include "output/source_encoding.h"
#include "support/file_utils.h"
#include "support/thread_binding.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace frontend {
struct Region;
struct RegionList;
}  // namespace frontend

namespace output {

struct SourceReader {
  support::UniqueFile file;    // closed however the run ends
  const char* path = nullptr;  // not owned
  DecodedInput input;
  std::string line;  // the current line with its line feed; empty before the first
  std::uint32_t lineNumber = 0;  // of the current line, from 1
  std::size_t copied = 0;        // bytes of the current line already written
  bool tracksComments = false;   // the source reader
};

enum class Feeder : std::uint8_t { kSource, kPreprocessed };

/// What the two readers of the listing being written share.
struct ListingState {
  std::FILE* out = nullptr;
  const std::vector<metrics::HiddenRange>* ranges = nullptr;
  std::size_t nextRange = 0;
  const frontend::RegionList* regions = nullptr;
  const frontend::Region* nextRegion = nullptr;  // next inactive region
  const frontend::Region* openRegion = nullptr;
  bool inRange = false;
  std::uint64_t charCount = 0;  // source bytes written
  std::uint32_t syncedLine = 0;  // source line of the last synchronisation
  std::vector<LineSegment> segments;  // of the current line pair
  bool segmentsValid = false;
  std::optional<bool> linesEqual;  // of the current line pair, once compared
  std::size_t currentSegment = 0;
  Feeder feeder = Feeder::kSource;  // kPreprocessed while an alternative is open
  // The alternative ends with the preprocessed line rather than a segment.
  bool alternativeToLineEnd = false;
  bool commentSuspended = false;  // an alternative interrupted the comment markup
};

/// Binds the listing being written to this thread.
using ListingScope = support::ThreadBinding<ListingState>;

/// The listing bound to this thread.
inline ListingState& Listing() { return ListingScope::Current(); }

/// Starts the bound listing on out: ranges are the hidden ranges of the
/// source file in file order, regions its conditional regions (those marked
/// active hold valid lines and are not shown as comment).
void StartListing(std::FILE* out, const std::vector<metrics::HiddenRange>& ranges,
                  const frontend::RegionList& regions);
/// Closes markup left open.
void FinishListing();

/// Opens the file ("rb") and detects its encoding; fatal "Can't open file
/// %1" when it cannot be opened.
void OpenSourceReader(SourceReader& reader, const char* path, bool tracksComments);
void CloseSourceReader(SourceReader& reader);

/// Writes the source text up to the character before the preprocessed
/// position (through it when inclusive), the source reader first copying
/// the lines before sourceLine. Fatal "Error while reading file %1 :
/// unsupported file format" when either file ends before the line wanted.
void CopySourceUpTo(SourceReader& source, SourceReader& preprocessed, std::uint32_t sourceLine,
                    frontend::SourcePosition position, bool inclusive);

/// The source reader writes the rest of its file; the preprocessed reader
/// only closes an open alternative.
void FinishReader(SourceReader& reader);

// Shared by the reading and the copying code (source_copy.cpp).

/// Reads the next line; false at the end of the file.
bool ReadNextLine(SourceReader& reader);
/// ReadNextLine, fatal at the end of the file.
void ReadLineOrFail(SourceReader& reader);
/// Writes the current line's bytes from the copied position up to end
/// (an offset in the line), with the markup of the reader's kind.
void WriteLineUpTo(SourceReader& reader, std::size_t end);
/// Writes the rest of the current line and the lines before lineNumber,
/// then reads that line.
void CopyLinesUpTo(SourceReader& reader, std::uint32_t lineNumber);
/// Reads up to lineNumber without writing.
void SkipLinesUpTo(SourceReader& reader, std::uint32_t lineNumber);
void WriteMarkup(const char* text);
bool InsideComment();

}  // namespace output
