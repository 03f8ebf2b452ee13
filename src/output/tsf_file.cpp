// The TsfFile list: creation with its header, records, trailers, removal of
// empty files and release.
#include "output/tsf_file.h"

#include "driver/options.h"
#include "output/temporary_names.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <cstdio>
#include <cstdlib>

namespace output {
namespace {

using support::FromLocal;
using support::NameEntry;
using support::Translate;

TsfState state;

constexpr const char* kErrorContext = "tsfE-Error";
constexpr const char* kAssertionContext = "tsfE-Assertion";
constexpr const char* kCreateComment = "%1 is a file name,  %2 a system error message";

// ".tsg": the last character counts from "g" to "z", the one before it down
// from "s" to "a": .tsg ... .tsz, .trg ... .taz.
constexpr CountingCharacter kTsfCounting[] = {{'g', 'z', 1}, {'z', 'a', -1}};
constexpr TemporaryNaming kTsfNaming{".tsg", kTsfCounting};

QString SystemError() { return FromLocal(support::SystemErrorText()); }

[[noreturn]] void Internal(const char* context, const char* text) {
  support::DisplayInternalError(Translate(context, text));
}

std::string TsfPathFor(const NameEntry& name, const NameEntry& directory) {
  const TsfSettings& settings = state.settings;
  if (settings.name) return *settings.name;
  std::string tsfName = support::ChangeExtension(name.text, ".tsf");
  if (!settings.directory) return support::JoinPath(directory.text, tsfName);
  if (settings.directory->empty()) return tsfName;
  return support::JoinPath(*settings.directory, tsfName);
}

support::UniqueFile ClaimTemporary(const std::string& tsfPath, std::string& temporaryPath) {
  // Whether a previous file exists only chooses the message.
  const bool previousExists = support::FileExists(tsfPath);
  ClaimedFile claimed = ClaimTemporaryFor(tsfPath, kTsfNaming, temporaryPath);
  if (claimed.status == ClaimStatus::kExhausted) {
    support::DisplayFatalError(
        Translate(kErrorContext, "Please remove all temporary files remaining for %1", "%1 is a file name")
            .arg(FromLocal(tsfPath)));
  }
  if (claimed.status == ClaimStatus::kFailed) {
    const QString reason = SystemError();
    if (previousExists) {
      support::DisplayFatalError(Translate(kErrorContext, "Cannot create temporary TSF file %1 (%2)", kCreateComment)
                                     .arg(FromLocal(temporaryPath), reason));
    }
    support::DisplayFatalError(
        Translate(kErrorContext, "Cannot create TSF file %1 (%2)", kCreateComment).arg(FromLocal(tsfPath), reason));
  }
  return std::move(claimed.stream);
}

void RemoveTsfFilesAtExit() {
  RemoveUnfinishedOutputs(state.files);
  FreeTsfFiles();
}

void RegisterExitHandler() {
  if (state.exitHandlerRegistered) return;
  std::atexit(RemoveTsfFilesAtExit);
  state.exitHandlerRegistered = true;
}

// A write error found when a stream is closed is fatal, so that a truncated
// block never replaces a previous file.
void CloseStream(TsfFile& file) {
  if (!file.stream) return;
  std::FILE* raw = file.stream.release();
  const bool writeFailed = std::ferror(raw) != 0;
  if (std::fclose(raw) == 0 && !writeFailed) return;
  support::DisplayFatalError(Translate(kErrorContext, "Cannot write TSF file %1 (%2)", kCreateComment)
                                 .arg(FromLocal(file.temporaryPath), SystemError()));
}

void MakeCurrent(TsfFile& file) {
  if (state.current == &file) return;
  if (state.current) CloseStream(*state.current);
  state.current = &file;
}

std::FILE* Reopen(TsfFile& file) {
  MakeCurrent(file);
  if (file.stream) return file.stream.get();
  file.stream.reset(std::fopen(file.temporaryPath.c_str(), "a"));
  if (!file.stream) {
    support::DisplayFatalError(
        Translate(kErrorContext, "Cannot reopen TSF file %1", "%1 is a file name").arg(FromLocal(file.temporaryPath)));
  }
  return file.stream.get();
}

void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

// Header lines DB, US, SO, LK and IN; they stay out of the checksum.
void WriteHeader(TsfFile& file, const std::string& sourcePath) {
  const TsfSettings& settings = state.settings;
  std::string header = "DB " + QuoteTsfText(kTsfTracerName) + "\n";
  header += "US " + *settings.providerName + " " + std::to_string(settings.providerFlags) + " ";
  header += kTsfFormatVersion;
  header += "\nSO " + QuoteTsfText(support::LocalToUtf8(sourcePath)) + " " + std::to_string(file.date) + " " +
            QuoteTsfText("txt") + "\n";
  const std::uint32_t instance = TsfIdentifier(++file.instanceCount, true);
  header += "LK 1\nIN " + QuoteTsfText("File") + " " + std::to_string(instance) + " " +
            QuoteTsfText(support::LocalToUtf8(file.sourceName->text)) + "\n";
  WriteText(file.stream.get(), header);
}

void WriteRecord(TsfFile* file, const std::string& record) {
  if (!file || file->stage != OutputStage::kWriting) Internal(kAssertionContext, "Bad TSF descriptor while writing");
  std::FILE* stream = Reopen(*file);
  support::StringChecksum(file->checksum, record);
  WriteText(stream, record);
}

// The modification time as the SO line holds it; a time past 2038 is
// negative as a signed 32-bit number and is written as 0.
std::uint32_t SourceDate(const std::string& sourcePath) {
  const std::uint32_t time = support::FileTime(sourcePath);
  return static_cast<std::int32_t>(time) < 0 ? 0 : time;
}

}  // namespace

TsfState& Tsf() { return state; }

void ResetTsfState() {
  FreeTsfFiles();
  state.settings = TsfSettings{};
}

void SetTsfMerge() { state.settings.merge = true; }

void SetTsfName(std::optional<std::string> path) { state.settings.name = std::move(path); }

void SetTsfDirectory(std::optional<std::string> directory) {
  state.settings.directory = std::move(directory);
  FreeTsfFiles();
}

void SetTsfProvider(unsigned flags, std::string name, std::string language) {
  state.settings.providerFlags = flags;
  state.settings.providerName = std::move(name);
  state.settings.language = std::move(language);
}

unsigned TsfProviderFlags(const driver::Options& options) {
  unsigned flags = 0;
  if (options.trace) flags += kTsfTrace;
  if (options.memPro) flags += kTsfMemory;
  if (options.perfPro) flags += kTsfPerformance;
  if (options.perfPro && options.perfProProcessClock) flags += kTsfProcessClock;
  return flags;
}

void ConfigureTsfWriter(const driver::Options& options) {
  SetTsfMerge();
  SetTsfName(options.tsfName);
  // As for -FDCDIR: "" when absent (beside the source), none when given
  // without a value (the current directory).
  if (!options.tsfDir) {
    SetTsfDirectory(std::string());
  } else if (options.tsfDir->empty()) {
    SetTsfDirectory(std::nullopt);
  } else {
    SetTsfDirectory(options.tsfDir);
  }
  SetTsfProvider(TsfProviderFlags(options), "QBT", "C");
}

std::uint32_t TsfIdentifier(std::uint32_t count, bool instance) {
  const std::uint32_t identifier = (count & 31u) | ((count & ~31u) << 1);
  return instance ? identifier + 32 : identifier;
}

TsfFile& SelectTsf(const NameEntry* sourceName, const NameEntry* sourceDirectory) {
  const auto found = state.bySource.find({sourceName, sourceDirectory});
  if (found != state.bySource.end()) return *found->second;
  if (!sourceName) Internal(kErrorContext, "No source name while creating TSF file");
  if (!sourceDirectory) Internal(kErrorContext, "No source directory while creating TSF file");
  if (!state.settings.providerName || !state.settings.language) Internal(kAssertionContext, "Provider not set !");
  RegisterExitHandler();

  const std::string sourcePath = support::JoinPath(sourceDirectory->text, sourceName->text);
  TsfFile created;
  created.path = TsfPathFor(*sourceName, *sourceDirectory);
  created.sourceName = sourceName;
  created.sourceDirectory = sourceDirectory;
  created.date = SourceDate(sourcePath);
  created.key = static_cast<std::uint32_t>(support::FileKey(sourcePath));
  created.stream = ClaimTemporary(created.path, created.temporaryPath);

  // Listed only once its output exists, so the exit handler never deletes a
  // path this run did not create.
  TsfFile& file = state.files.emplace_back(std::move(created));
  file.serial = ++state.lastSerial;
  state.bySource[{sourceName, sourceDirectory}] = &file;
  MakeCurrent(file);
  WriteHeader(file, sourcePath);
  return file;
}

std::uint32_t WriteTsfMessage(TsfFile* file, std::string_view routineName, std::uint32_t sourceLine) {
  const std::uint32_t identifier = file ? TsfIdentifier(file->messageCount + 1, false) : 0;
  WriteRecord(file, "LK " + std::to_string(sourceLine) + "\nMS " + std::to_string(identifier) + " " +
                        QuoteTsfText(routineName) + "\n");
  ++file->messageCount;
  return identifier;
}

std::uint32_t WriteTsfText(TsfFile* file, std::string_view text) {
  const std::uint32_t identifier = file ? TsfIdentifier(file->instanceCount + 1, true) : 0;
  WriteRecord(file, "LK 0\nTX " + std::to_string(identifier) + " " + QuoteTsfText(text) + "\n");
  ++file->instanceCount;
  return identifier;
}

void WriteTsfTrailers() {
  for (TsfFile& file : state.files) {
    if (file.stage != OutputStage::kWriting) continue;
    WriteText(Reopen(file), "ID " + std::to_string(file.key) + " " + std::to_string(file.checksum) + "\nED\n");
    CloseStream(file);
  }
}

void CloseTsf(TsfFile& file) {
  file.stream.reset();
  if (state.current == &file) state.current = nullptr;
  if (file.stage != OutputStage::kWriting) return;
  support::RemoveFile(file.temporaryPath);
  file.stage = OutputStage::kRemoved;
}

bool CloseEmptyTsfFiles() {
  bool kept = false;
  for (TsfFile& file : state.files) {
    if (file.instanceCount != 1 || file.messageCount != 0) {
      kept = true;
      continue;
    }
    CloseTsf(file);
  }
  return !state.files.empty() && !kept;
}

void ShowNoTsfGenerated(std::string_view sourceName) {
  support::DisplayInfo(
      Translate("User Info", "No observable routine can be found in file %1, no TSF generated", "%1 : the source file")
          .arg(FromLocal(sourceName)));
}

void FreeTsfFiles() {
  state.current = nullptr;
  state.bySource.clear();
  state.files.clear();
  state.lastSerial = 0;
}

std::string QuoteTsfText(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\n') {
      quoted += "\\n";
      continue;
    }
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace output
