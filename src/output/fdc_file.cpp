// The FdcFile list: creation with its header, the one-open-stream rule,
// trailers, removal of empty files and release.
#include "output/fdc_file.h"

#include "driver/options.h"
#include "output/fdc_coverage_types.h"
#include "output/fdc_records.h"
#include "output/fdc_temp_files.h"
#include "output/fdc_version.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

namespace output {
namespace {

using support::FromLocal;
using support::NameEntry;
using support::Translate;

FdcState state;

constexpr const char* kFileErrorComment = "%1 is the file name, %2 a system-dependent error message";

QString SystemError() { return FromLocal(support::SystemErrorText()); }

// Records are many and short: the current file's stream, the only one open,
// writes through one large buffer instead of the default few kilobytes.
alignas(64) char streamBuffer[1 << 18];

void UseLargeBuffer(std::FILE* stream) { std::setvbuf(stream, streamBuffer, _IOFBF, sizeof streamBuffer); }

std::string FdcPathFor(const NameEntry& name, const NameEntry& directory) {
  const FdcSettings& settings = state.settings;
  if (settings.name) return *settings.name;
  std::string fdcName = support::ChangeExtension(name.text, ".fdc");
  if (!settings.directory) return support::JoinPath(directory.text, fdcName);
  if (settings.directory->empty()) return fdcName;
  return support::JoinPath(*settings.directory, fdcName);
}

void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

// VE, FC, FD and TC lines; they stay out of the checksum.
void WriteHeader(const FdcFile& file, const NameEntry* comment) {
  std::string header = "VE ";
  header += kFdcFormatVersion;
  header += ' ';
  header += support::ToLocal(support::GetFeatureString());
  if (!state.settings.formatMark.empty()) header += ' ' + state.settings.formatMark;
  if (!FdcProductVersion().empty()) header += ' ' + FdcProductVersion();
  header += "\nFC";
  AppendQuotedField(header, file.sourceName->text);
  AppendQuotedField(header, file.sourceDirectory->text);
  if (comment) AppendQuotedField(header, comment->text);
  header += "\nFD ";
  header += std::to_string(FdcWrittenDate(file.date));
  header += "\nTC";
  for (const CoverageToken& entry : kCoverageTokens) {
    if (file.coverage & entry.bits) {
      header += ' ';
      header += entry.token;
    }
  }
  header += '\n';
  WriteText(file.stream.get(), header);
}

void MakeCurrent(FdcFile& file) {
  if (state.current == &file) return;
  if (state.current) CloseOutputStream(state.current->stream, FdcWritePath(*state.current));
  state.current = &file;
}

// The trailer checksum always takes the feature string in 4-byte groups.
void FoldFeatureString(FdcFile& file) {
  const bool alternative = support::GetChecksumMode();
  support::SetChecksumMode(false);
  support::StringChecksum(file.checksum, support::ToLocal(support::GetFeatureString()));
  support::SetChecksumMode(alternative);
}

bool HasRecords(const FdcFile& file) {
  return file.procedureCount || file.callCount || file.blockCount || file.conditionCount;
}

}  // namespace

FdcState& Fdc() { return state; }

void ResetFdcState() {
  FreeFdcFiles();
  state.settings = FdcSettings{};
}

void SetFdcName(std::optional<std::string> path) { state.settings.name = std::move(path); }

void SetFdcDirectory(std::optional<std::string> directory) {
  state.settings.directory = std::move(directory);
  FreeFdcFiles();
}

void SetFdcFullPathKey(bool fullPath) { state.settings.fullPathKey = fullPath; }

void SetFdcFormatMark(std::string mark) { state.settings.formatMark = std::move(mark); }

void ConfigureFdcWriter(const driver::Options& options) {
  support::SetChecksumMode(options.altChecksum);
  SetFdcName(options.fdcName);
  // The option record holds "" when -FDCDIR is absent and none when it is
  // given without a value: the FDC file then goes beside its source, or
  // into the current directory.
  if (!options.fdcDir) {
    SetFdcDirectory(std::string());
  } else if (options.fdcDir->empty()) {
    SetFdcDirectory(std::nullopt);
  } else {
    SetFdcDirectory(options.fdcDir);
  }
  SetFdcFullPathKey(!options.noFullPathKey);
  SetFdcFormatMark(std::string(kFdcFormatMark));
}

FdcFile& SelectFdc(const NameEntry* sourceName, const NameEntry* sourceDirectory, std::uint16_t coverage,
                   const NameEntry* comment) {
  const auto found = state.bySource.find({sourceName, sourceDirectory});
  if (found != state.bySource.end()) return *found->second;
  return CreateFdc(sourceName, sourceDirectory, coverage, comment);
}

FdcFile& CreateFdc(const NameEntry* sourceName, const NameEntry* sourceDirectory, std::uint16_t coverage,
                   const NameEntry* comment) {
  if (!sourceName) support::DisplayInternalError(Translate("Assertion", "No source name while creating FDC file"));
  if (!sourceDirectory) {
    support::DisplayInternalError(Translate("Assertion", "No source directory while creating FDC file"));
  }
  RegisterFdcExitHandler();

  const std::string sourcePath = support::JoinPath(sourceDirectory->text, sourceName->text);
  FdcFile created;
  created.path = FdcPathFor(*sourceName, *sourceDirectory);
  created.sourceName = sourceName;
  created.sourceDirectory = sourceDirectory;
  created.coverage = coverage;
  created.date = support::FileTime(sourcePath);
  created.noListing = created.date == 0;
  created.key = static_cast<std::uint32_t>(
      support::FileKey(state.settings.fullPathKey ? std::string_view(sourcePath) : sourceName->text));
  created.stream = ClaimTemporaryFdcFile(created.path, created.temporaryPath);

  // Listed only once its output exists, so the exit handler never deletes a
  // path this run did not create.
  FdcFile& file = state.files.emplace_back(std::move(created));
  file.serial = ++state.lastSerial;
  state.bySource[{sourceName, sourceDirectory}] = &file;
  MakeCurrent(file);
  UseLargeBuffer(file.stream.get());
  WriteHeader(file, comment);
  return file;
}

const std::string& FdcWritePath(const FdcFile& file) { return file.temporaryPath; }

std::FILE* OpenFdcStream(FdcFile& file) {
  if (file.stage != FdcStage::kWriting) {
    support::DisplayInternalError(Translate("Assertion", "Unable to write into FDC file"));
  }
  MakeCurrent(file);
  if (file.stream) return file.stream.get();
  const std::string& path = FdcWritePath(file);
  file.stream.reset(std::fopen(path.c_str(), "a"));
  if (!file.stream) {
    support::DisplayInternalError(Translate("Assertion", "Cannot reopen FDC file %1 %2",
                                            "%1 is the fdc file name, %2 a system-dependent error message")
                                      .arg(FromLocal(path), SystemError()));
  }
  UseLargeBuffer(file.stream.get());
  return file.stream.get();
}

void CloseOutputStream(FdcStream& stream, const std::string& path) {
  if (!stream) return;
  std::FILE* raw = stream.release();
  const bool writeFailed = std::ferror(raw) != 0;
  if (std::fclose(raw) == 0 && !writeFailed) return;
  support::DisplayFatalError(Translate("Assertion", "Cannot write FDC file %1: %2", kFileErrorComment)
                                 .arg(FromLocal(path), SystemError()));
}

void WriteFdcTrailers() {
  for (FdcFile& file : state.files) {
    if (file.stage != FdcStage::kWriting) continue;
    FoldFeatureString(file);
    std::string line = "DC " + std::to_string(file.checksum);
    if (!state.settings.fullPathKey) line += ' ' + std::to_string(file.key);
    line += '\n';
    WriteText(OpenFdcStream(file), line);
    CloseOutputStream(file.stream, FdcWritePath(file));
  }
}

void CloseFdc(FdcFile& file) {
  file.stream.reset();
  if (file.stage != FdcStage::kWriting) return;
  support::RemoveFile(FdcWritePath(file));
  file.stage = FdcStage::kRemoved;
}

bool CloseEmptyFdcFiles() {
  bool kept = false;
  for (FdcFile& file : state.files) {
    if (HasRecords(file)) {
      kept = true;
      continue;
    }
    CloseFdc(file);
  }
  return !state.files.empty() && !kept;
}

void ShowNoFdcGenerated(std::string_view sourceName) {
  support::DisplayInfo(Translate("User Info",
                                 "No branches of requested coverage types can be found in file %1; no FDC generated",
                                 "%1 : the source file")
                           .arg(FromLocal(sourceName)));
}

void FreeFdcFiles() {
  state.current = nullptr;
  state.bySource.clear();
  state.files.clear();
  state.lastSerial = 0;
}

}  // namespace output
