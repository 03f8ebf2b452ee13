// Trace static (TSF) files: the writer of one run.
//
// One TsfFile stands for one source file (name, directory) that the run
// traces. Its block describes the file, every traced routine (a message) and
// every location text that the trace calls refer to by number. The life
// cycle is that of every per-source output file (source_output.h); the
// streams of TSF and FDC files are current independently.
//
// Calling order in one run: a TsfWriter with the run's settings; Select,
// WriteTsfMessage and WriteTsfText while instrumenting; WriteTrailers;
// CloseEmpty; FinishTsfFiles (tsf_merge.h).
#pragma once

#include "output/source_output.h"
#include "output/tsf_blocks.h"
#include "support/file_utils.h"

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

namespace support {
struct NameEntry;
}

namespace output {

/// Provider flags: one bit per runtime analysis.
inline constexpr unsigned kTsfProcessClock = 1;
inline constexpr unsigned kTsfPerformance = 2;
inline constexpr unsigned kTsfMemory = 4;
inline constexpr unsigned kTsfTrace = 8;

class TsfWriter;

struct TsfFile : SourceOutputFile {
  TsfWriter* writer = nullptr;      // the writer that created it
  std::uint32_t instanceCount = 0;  // the file itself and the location texts
  std::uint32_t messageCount = 0;   // traced routines
};

struct TsfSettings {
  OutputPlacement placement;         // -TSFNAME, -TSFDIR
  unsigned providerFlags = 0;        // the runtime analyses selected
  std::string providerName = "QBT";
  bool alternativeChecksum = false;  // -ALTCHECKSUM, as for the FDC files
};

class TsfWriter {
 public:
  explicit TsfWriter(TsfSettings settings);

  const TsfSettings& Settings() const { return settings_; }
  std::list<TsfFile>& Files() { return files_.Files(); }
  OutputStreams& Streams() { return files_.Streams(); }

  /// The TsfFile of that source file, created with its header on first use.
  TsfFile& Select(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory);

  /// Folds a record into the file's checksum and writes it.
  void WriteRecord(TsfFile& file, const std::string& record);

  /// Writes the ID and ED lines of every TsfFile in list order and closes it.
  void WriteTrailers();

  /// Closes the file and deletes what it wrote.
  void Close(TsfFile& file);

  /// Close for every TsfFile that received neither a routine nor a location
  /// text; true when there was at least one TsfFile and none is left.
  bool CloseEmpty();

 private:
  void WriteHeader(TsfFile& file, const std::string& sourcePath);

  TsfSettings settings_;
  SourceOutputSet<TsfFile> files_;
};

/// The identifier of the record that brought a counter to `count`: five low
/// bits kept, the rest shifted one place left, so that instances (plus 32)
/// and messages never share one.
std::uint32_t TsfIdentifier(std::uint32_t count, bool instance);

/// A traced routine; returns its message identifier.
std::uint32_t WriteTsfMessage(TsfFile* file, std::string_view routineName, std::uint32_t sourceLine);

/// A location text (UTF-8); returns its instance identifier.
std::uint32_t WriteTsfText(TsfFile* file, std::string_view text);

/// User Info that no TSF file was generated for the source file.
void ShowNoTsfGenerated(std::string_view sourceName);

/// The quoted form of a text in a TSF file: quoted as in FDC files.
std::string QuoteTsfText(std::string_view text);

}  // namespace output
