// Trace static (TSF) files: the descriptor list, its settings and writers.
//
// One TsfFile stands for one source file (name, directory) that the run
// traces. Its block describes the file, every traced routine (a message) and
// every location text that the trace calls refer to by number. The life
// cycle is the FDC file's: the block is written to a temporary file claimed
// with O_EXCL beside the TSF file, FinishTsfFiles appends the still valid
// blocks of the previous TSF file and puts the result in place under the
// file's update lock, and the exit handler removes unfinished output.
//
// At most one TsfFile has an open stream at any time (independently of the
// FDC files): making another one current closes the previous stream.
//
// Calling order in one run: ConfigureTsfWriter; SelectTsf, WriteTsfMessage
// and WriteTsfText while instrumenting; WriteTsfTrailers; CloseEmptyTsfFiles;
// FinishTsfFiles (tsf_merge.h); FreeTsfFiles.
#pragma once

#include "output/output_stage.h"
#include "output/tsf_blocks.h"
#include "support/file_utils.h"

#include <cstdint>
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

inline constexpr std::uint32_t kTsfChecksumSeed = 0x4A4A4A4A;

/// Provider flags: one bit per runtime analysis.
inline constexpr unsigned kTsfProcessClock = 1;
inline constexpr unsigned kTsfPerformance = 2;
inline constexpr unsigned kTsfMemory = 4;
inline constexpr unsigned kTsfTrace = 8;

struct TsfFile {
  support::UniqueFile stream;  // open while current, else none
  std::string path;
  std::string temporaryPath;  // where the block is written until it replaces `path`
  std::uint32_t key = 0;
  std::uint32_t checksum = kTsfChecksumSeed;
  std::uint32_t date = 0;                               // source modification time, 0 when unknown
  const support::NameEntry* sourceName = nullptr;       // compared by identity
  const support::NameEntry* sourceDirectory = nullptr;  // compared by identity
  std::int16_t serial = 0;                              // 1 for the first TsfFile of the run
  std::uint32_t instanceCount = 0;                      // the file itself and the location texts
  std::uint32_t messageCount = 0;                       // traced routines
  OutputStage stage = OutputStage::kWriting;
};

struct TsfSettings {
  bool merge = false;
  std::optional<std::string> name;       // -TSFNAME: every source writes into this file
  std::optional<std::string> directory;  // none: beside the source; "": current directory
  unsigned providerFlags = 0;
  std::optional<std::string> providerName;
  std::optional<std::string> language;
};

struct TsfState {
  TsfSettings settings;
  std::list<TsfFile> files;  // creation order; addresses stay valid
  std::map<std::pair<const support::NameEntry*, const support::NameEntry*>, TsfFile*> bySource;
  TsfFile* current = nullptr;  // the only TsfFile that may hold an open stream
  std::int16_t lastSerial = 0;
  bool exitHandlerRegistered = false;  // once per process; survives resets
};

/// The one TSF writer state of the process.
TsfState& Tsf();

/// Closes every stream and forgets files and settings without touching the
/// disk (tests run one case after another).
void ResetTsfState();

void SetTsfMerge();
void SetTsfName(std::optional<std::string> path);
/// Also empties the TsfFile list.
void SetTsfDirectory(std::optional<std::string> directory);
void SetTsfProvider(unsigned flags, std::string name, std::string language);

/// The provider flags the options select: 8 -TRACE, 4 -MEMPRO, 2 -PERFPRO,
/// 1 -PERFPRO=PROCESS.
unsigned TsfProviderFlags(const driver::Options& options);

/// All writer settings from the command line: -TSFNAME, -TSFDIR and the
/// provider "QBT", language "C".
void ConfigureTsfWriter(const driver::Options& options);

/// The identifier of the record that brought a counter to `count`: five low
/// bits kept, the rest shifted one place left, so that instances (plus 32)
/// and messages never share one.
std::uint32_t TsfIdentifier(std::uint32_t count, bool instance);

/// The TsfFile of that source file, created with its header on first use.
TsfFile& SelectTsf(const support::NameEntry* sourceName, const support::NameEntry* sourceDirectory);

/// A traced routine; returns its message identifier.
std::uint32_t WriteTsfMessage(TsfFile* file, std::string_view routineName, std::uint32_t sourceLine);

/// A location text (UTF-8); returns its instance identifier.
std::uint32_t WriteTsfText(TsfFile* file, std::string_view text);

/// Writes the ID and ED lines of every TsfFile in list order and closes it.
void WriteTsfTrailers();

/// Closes the file and deletes what it wrote.
void CloseTsf(TsfFile& file);

/// CloseTsf for every TsfFile that received neither a routine nor a location
/// text; true when there was at least one TsfFile and none is left.
bool CloseEmptyTsfFiles();

/// User Info that no TSF file was generated for the source file.
void ShowNoTsfGenerated(std::string_view sourceName);

/// Releases every TsfFile and empties the list.
void FreeTsfFiles();

/// The quoted form of a text in a TSF file: backslashes and double quotes
/// escaped, line feeds written as backslash and "n".
std::string QuoteTsfText(std::string_view text);

}  // namespace output
