// Per-source output files: the life cycle that FDC and TSF files share.
//
// One file stands for one source file (name, directory) of the run. Its
// block is written to a temporary file claimed with O_EXCL beside the target
// (temporary_names.h); once complete, Finish appends the still valid blocks
// of the previous target under the target's update lock and renames the
// result into place (output_update.h), so a target is never rewritten in
// place and never seen half written, however many runs update it at once.
//
// At most one file of a set has an open stream at any time: making another
// one current closes the previous stream, and the next write reopens it in
// append mode. A run touching many headers thus holds one descriptor per
// format.
//
// A set that is destroyed, and every set still alive when the process
// exits (a fatal error), deletes the temporary files it has not finished,
// so an early end leaves every previous target exactly as it was.
#pragma once

#include "output/fdc_format.h"
#include "output/output_stage.h"
#include "output/temporary_names.h"
#include "support/file_utils.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace support {
struct NameEntry;
}

namespace output {

/// TSF files seed their checksums as FDC files do.
inline constexpr std::uint32_t kOutputChecksumSeed = kFdcChecksumSeed;

/// Where the file of a source goes.
struct OutputPlacement {
  std::optional<std::string> name;       // every source writes into this file
  std::optional<std::string> directory;  // none: beside the source; "": current directory
};

/// The target path of `source` in `directory`, its extension replaced.
std::string OutputPathFor(const OutputPlacement& placement, const support::NameEntry& source,
                          const support::NameEntry& directory, std::string_view extension);

/// What the formats share of one output file.
struct SourceOutputFile {
  support::UniqueFile stream;  // open while current, else none
  std::string path;
  std::string temporaryPath;  // where the block is written until it replaces `path`
  std::uint32_t key = 0;
  std::uint32_t checksum = kOutputChecksumSeed;
  std::uint32_t date = 0;                               // source modification time, 0 when unknown
  const support::NameEntry* sourceName = nullptr;       // compared by identity
  const support::NameEntry* sourceDirectory = nullptr;  // compared by identity
  std::int16_t serial = 0;                              // 1 for the first file of the run
  OutputStage stage = OutputStage::kWriting;
};

/// What differs between the formats' life cycles: the temporary names, the
/// moxtel log's tag and the messages of failures (each ends the run).
struct OutputFileKind {
  const TemporaryNaming& naming;
  const char* logTag;
  // Each ends the run; `reason` is the system's error text, taken first.
  void (*failClaim)(ClaimStatus status, const std::string& path, const std::string& temporaryPath,
                    const QString& reason);
  void (*failReopen)(const std::string& temporaryPath, const QString& reason);
  void (*failWrite)(const std::string& temporaryPath, const QString& reason);
};

/// The files a set has not finished, deleted when the process exits early.
class UnfinishedOutput {
 public:
  UnfinishedOutput();
  virtual ~UnfinishedOutput();
  UnfinishedOutput(const UnfinishedOutput&) = delete;
  UnfinishedOutput& operator=(const UnfinishedOutput&) = delete;

  /// Closes every stream and deletes every temporary file still being
  /// written. Never fails: it may run while the process is exiting.
  virtual void RemoveUnfinished() = 0;
};

/// The stream buffer and current-file rule of one set.
class OutputStreams {
 public:
  explicit OutputStreams(const OutputFileKind& kind);

  /// Makes `file` current, closing the previous current stream, and returns
  /// its stream, reopened in append mode when it was closed.
  std::FILE* Open(SourceOutputFile& file);
  /// Closes the stream of `file`; a write error on it is fatal, so that a
  /// truncated block never replaces a previous target.
  void Close(SourceOutputFile& file);
  /// Claims the temporary file of `file.path` and makes `file` current.
  void Claim(SourceOutputFile& file);
  /// Closes `file` and deletes what it wrote.
  void Remove(SourceOutputFile& file);
  /// Closes the stream, then merges and renames under the update lock.
  void Finish(SourceOutputFile& file, const std::function<void()>& appendSurvivors);
  void Forget() { current_ = nullptr; }

 private:
  void MakeCurrent(SourceOutputFile& file);
  void UseLargeBuffer(std::FILE* stream);

  const OutputFileKind& kind_;
  SourceOutputFile* current_ = nullptr;
  // Records are many and short: the one open stream writes through a large
  // buffer instead of the default few kilobytes.
  std::unique_ptr<char[]> buffer_;
};

/// The files of one format in one run, in creation order (addresses stay
/// valid), found by source.
template <class File>
class SourceOutputSet final : public UnfinishedOutput {
 public:
  explicit SourceOutputSet(const OutputFileKind& kind) : streams_(kind) {}
  ~SourceOutputSet() override { RemoveUnfinished(); }

  std::list<File>& Files() { return files_; }
  const std::list<File>& Files() const { return files_; }
  OutputStreams& Streams() { return streams_; }

  File* Find(const support::NameEntry* name, const support::NameEntry* directory) {
    const auto found = bySource_.find({name, directory});
    return found == bySource_.end() ? nullptr : found->second;
  }

  /// Claims the temporary file of `created.path`, lists the file and makes
  /// it current. Listed only once its output exists, so an early end never
  /// deletes a path this run did not create.
  File& Add(File created) {
    streams_.Claim(created);
    File& file = files_.emplace_back(std::move(created));
    file.serial = ++lastSerial_;
    bySource_[{file.sourceName, file.sourceDirectory}] = &file;
    streams_.Open(file);
    return file;
  }

  /// Removes every file `hasContent` rejects; true when there was at least
  /// one file and none is left.
  template <class Predicate>
  bool RemoveEmpty(Predicate hasContent) {
    bool kept = false;
    for (File& file : files_) {
      if (hasContent(file)) {
        kept = true;
        continue;
      }
      streams_.Remove(file);
    }
    return !files_.empty() && !kept;
  }

  /// Forgets every file without touching the disk.
  void Clear() {
    streams_.Forget();
    bySource_.clear();
    files_.clear();
    lastSerial_ = 0;
  }

  void RemoveUnfinished() override {
    for (File& file : files_) {
      file.stream.reset();
      if (file.stage == OutputStage::kWriting) std::remove(file.temporaryPath.c_str());
    }
    Clear();
  }

 private:
  OutputStreams streams_;
  std::list<File> files_;
  std::map<std::pair<const support::NameEntry*, const support::NameEntry*>, File*> bySource_;
  std::int16_t lastSerial_ = 0;
};

}  // namespace output
