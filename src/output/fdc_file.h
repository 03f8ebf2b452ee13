// Coverage definition (FDC) files: the descriptor list and its settings.
//
// One FdcFile stands for one source file (name, directory) that the run
// instruments; it collects that file's FDC block in a temporary file beside
// the FDC file, and FinishFdcFiles later appends the still valid blocks of
// the previous FDC file, if any, and puts the result in its place under the
// file's update lock, so an FDC file is never rewritten in place and never
// seen half written, however many runs update it at once.
//
// At most one FdcFile has an open stream at any time: making another one
// current closes the previous stream, and the next write reopens it in
// append mode. A run touching many headers thus holds one descriptor.
//
// Calling order in one run: ConfigureFdcWriter; SelectFdc and the record
// writers (fdc_records.h) while instrumenting; WriteFdcTrailers;
// CloseEmptyFdcFiles; the RIK sections; FinishFdcFiles (fdc_merge.h);
// FreeFdcFiles.
#pragma once

#include "output/output_stage.h"
#include "output/rik_registry.h"
#include "support/file_utils.h"

#include <cstdint>
#include <cstdio>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace support {
struct NameEntry;
}
namespace driver {
struct Options;
}

namespace output {

inline constexpr std::uint32_t kFdcChecksumSeed = 0x4A4A4A4A;  // "JJJJ"
inline constexpr std::string_view kFdcFormatVersion = "3.0e";
inline constexpr std::string_view kFdcFormatMark = "#i6";

using FdcStream = support::UniqueFile;

using FdcStage = OutputStage;

struct FdcFile {
  FdcStream stream;  // open while current, else none
  std::string path;
  std::string temporaryPath;  // where the block is written until it replaces `path`
  std::uint32_t key = 0;
  std::uint32_t checksum = kFdcChecksumSeed;
  std::uint32_t date = 0;  // source modification time, 0 when unknown
  std::uint16_t coverage = 0;
  const support::NameEntry* sourceName = nullptr;       // compared by identity
  const support::NameEntry* sourceDirectory = nullptr;  // compared by identity
  std::uint32_t procedureCount = 0;
  std::uint32_t callCount = 0;
  std::uint32_t blockCount = 0;
  std::uint32_t conditionCount = 0;
  std::int16_t serial = 0;  // 1 for the first FdcFile of the run
  bool noListing = false;   // the RIK section leaves out the source listing
  FdcStage stage = FdcStage::kWriting;
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
  std::optional<std::string> name;       // -FDCNAME: every source writes into this file
  std::optional<std::string> directory;  // none: beside the source; "": current directory
  bool fullPathKey = true;               // false with -NOFULLPATHKEY
  std::string formatMark;                // "#i6" once configured
};

struct FdcState {
  FdcSettings settings;
  std::list<FdcFile> files;  // creation order; addresses stay valid
  std::map<std::pair<const support::NameEntry*, const support::NameEntry*>, FdcFile*> bySource;
  FdcFile* current = nullptr;  // the only FdcFile that may hold an open stream
  std::int16_t lastSerial = 0;
  bool exitHandlerRegistered = false;  // once per process; survives resets
};

/// The one FDC writer state of the process.
FdcState& Fdc();

/// Closes every stream and forgets files and settings without touching the
/// disk (tests run one case after another).
void ResetFdcState();

void SetFdcName(std::optional<std::string> path);
/// Also empties the FdcFile list.
void SetFdcDirectory(std::optional<std::string> directory);
void SetFdcFullPathKey(bool fullPath);
void SetFdcFormatMark(std::string mark);

/// All writer settings from the command line: checksum mode, -FDCNAME,
/// -FDCDIR, -NOFULLPATHKEY and the format mark.
void ConfigureFdcWriter(const driver::Options& options);

/// The FdcFile of that source file, created on first use. `comment` (the
/// -COMMENT text) may be none.
FdcFile& SelectFdc(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory,
                   std::uint16_t coverage, const support::NameEntry* comment);

/// Creates the temporary output file, appends the descriptor
/// to the list, makes it current and writes the block header.
FdcFile& CreateFdc(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory,
                   std::uint16_t coverage, const support::NameEntry* comment);

/// The file being written: the temporary file.
const std::string& FdcWritePath(const FdcFile& file);

/// Makes the file current and returns its stream, reopened in append mode
/// when it was closed.
std::FILE* OpenFdcStream(FdcFile& file);

/// Closes an output stream; a write error that happened on it is fatal, so a
/// truncated file never replaces a previous one.
void CloseOutputStream(FdcStream& stream, const std::string& path);

/// Writes the DC line of every FdcFile in list order and closes its stream.
void WriteFdcTrailers();

/// Closes the file and deletes what it wrote.
void CloseFdc(FdcFile& file);

/// CloseFdc for every FdcFile without records; true when there was at least
/// one FdcFile and none is left.
bool CloseEmptyFdcFiles();

/// User Info that no FDC file was generated for the source file.
void ShowNoFdcGenerated(std::string_view sourceName);

/// Releases every FdcFile and empties the list.
void FreeFdcFiles();

}  // namespace output
