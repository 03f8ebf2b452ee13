// Coverage definition (FDC) files: the writer of one run.
//
// One FdcFile stands for one source file (name, directory) that the run
// instruments; the life cycle of its block (temporary file, one open
// stream, merge with the previous file under its update lock, removal on an
// early end) is that of every per-source output file (source_output.h).
//
// Calling order in one run: an FdcWriter with the run's settings; Select and
// the record writers (fdc_records.h) while instrumenting; WriteTrailers;
// CloseEmpty; the RIK sections; FinishFdcFiles (fdc_merge.h).
#pragma once

#include "output/fdc_format.h"
#include "output/rik_registry.h"
#include "output/source_output.h"
#include "support/file_utils.h"

#include <cstdint>
#include <cstdio>
#include <list>
#include <string>
#include <string_view>

namespace support {
struct NameEntry;
}

namespace output {

using FdcStream = support::UniqueFile;

using FdcStage = OutputStage;

class FdcWriter;

struct FdcFile : SourceOutputFile {
  FdcWriter* writer = nullptr;  // the writer that created it
  std::uint16_t coverage = 0;
  std::uint32_t procedureCount = 0;
  std::uint32_t callCount = 0;
  std::uint32_t blockCount = 0;
  std::uint32_t conditionCount = 0;
  bool noListing = false;                             // the RIK section leaves out the source listing
  std::uint32_t compoundConditionCount = 0;           // kept by the condition instrumentation
  const support::NameEntry* lastFunction = nullptr;  // kept by the function instrumentation
  RikRegistry rik;                                    // branches for the annotated listing
};

/// The date as the FD line holds it: a time past 2038, negative as a signed
/// 32-bit number, is written as 0.
inline std::uint32_t FdcWrittenDate(std::uint32_t date) {
  return static_cast<std::int32_t>(date) < 0 ? 0 : date;
}

struct FdcSettings {
  OutputPlacement placement;       // -FDCNAME, -FDCDIR
  bool fullPathKey = true;         // false with -NOFULLPATHKEY
  bool alternativeChecksum = false;  // -ALTCHECKSUM: records fold in 5-byte groups
  std::string formatMark;          // kFdcFormatMark for every file written by quorbcc1
  std::string productVersion;      // last field of the VE line, none when empty
  std::string feature = "CCOV";    // the coverage feature: VE line, trailer checksum, listing token
};

class FdcWriter {
 public:
  explicit FdcWriter(FdcSettings settings);

  const FdcSettings& Settings() const { return settings_; }
  std::list<FdcFile>& Files() { return files_.Files(); }
  OutputStreams& Streams() { return files_.Streams(); }

  /// The FdcFile of that source file, created with its header on first use.
  /// `comment` (the -COMMENT text) may be none.
  FdcFile& Select(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory,
                  std::uint16_t coverage, const support::NameEntry* comment);

  /// Makes the file current and returns its stream, reopened in append
  /// mode when it was closed.
  std::FILE* Open(FdcFile& file);

  /// Folds a record line into the file's checksum in the run's mode.
  void Fold(FdcFile& file, std::string_view line) const;

  /// Writes the DC line of every FdcFile in list order and closes its stream.
  void WriteTrailers();

  /// Closes the file and deletes what it wrote.
  void Close(FdcFile& file);

  /// Close for every FdcFile without records; true when there was at least
  /// one FdcFile and none is left.
  bool CloseEmpty();

 private:
  FdcFile& Create(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory,
                  std::uint16_t coverage, const support::NameEntry* comment);
  void WriteHeader(FdcFile& file, const support::NameEntry* comment);

  FdcSettings settings_;
  SourceOutputSet<FdcFile> files_;
};

/// User Info that no FDC file was generated for the source file.
void ShowNoFdcGenerated(std::string_view sourceName);

}  // namespace output
