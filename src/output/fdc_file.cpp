// The FDC writer: creation of a file with its header, trailers and removal
// of files that received no record.
#include "output/fdc_file.h"

#include "output/fdc_coverage_types.h"
#include "output/fdc_records.h"
#include "output/fdc_temp_files.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

namespace output {
namespace {

using support::FromLocal;
using support::NameEntry;
using support::Translate;

constexpr const char* kFileErrorComment = "%1 is the file name, %2 a system-dependent error message";

[[noreturn]] void FailClaim(ClaimStatus status, const std::string& path, const std::string&, const QString& reason) {
  if (status == ClaimStatus::kExhausted) {
    support::DisplayFatalError(
        Translate("Assertion", "Please remove all temporary files remaining for %1", "%1 is the fdc file name")
            .arg(FromLocal(path)));
  }
  support::DisplayFatalError(Translate("Assertion", "Cannot create FDC file %1: %2", kFileErrorComment)
                                 .arg(FromLocal(path), reason));
}

[[noreturn]] void FailReopen(const std::string& temporaryPath, const QString& reason) {
  support::DisplayInternalError(Translate("Assertion", "Cannot reopen FDC file %1 %2",
                                          "%1 is the fdc file name, %2 a system-dependent error message")
                                    .arg(FromLocal(temporaryPath), reason));
}

[[noreturn]] void FailWrite(const std::string& temporaryPath, const QString& reason) {
  support::DisplayFatalError(Translate("Assertion", "Cannot write FDC file %1: %2", kFileErrorComment)
                                 .arg(FromLocal(temporaryPath), reason));
}

constexpr OutputFileKind kFdcKind{kFdcNaming, "FDC", FailClaim, FailReopen, FailWrite};

void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

bool HasRecords(const FdcFile& file) {
  return file.procedureCount || file.callCount || file.blockCount || file.conditionCount;
}

}  // namespace

FdcWriter::FdcWriter(FdcSettings settings) : settings_(std::move(settings)), files_(kFdcKind) {}

// VE, FC, FD and TC lines; they stay out of the checksum.
void FdcWriter::WriteHeader(FdcFile& file, const NameEntry* comment) {
  std::string header = "VE ";
  header += kFdcFormatVersion;
  header += ' ';
  header += settings_.feature;
  if (!settings_.formatMark.empty()) header += ' ' + settings_.formatMark;
  if (!settings_.productVersion.empty()) header += ' ' + settings_.productVersion;
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

FdcFile& FdcWriter::Select(const NameEntry* sourceName, const NameEntry* sourceDirectory, std::uint16_t coverage,
                           const NameEntry* comment) {
  if (FdcFile* found = files_.Find(sourceName, sourceDirectory)) return *found;
  return Create(sourceName, sourceDirectory, coverage, comment);
}

FdcFile& FdcWriter::Create(const NameEntry* sourceName, const NameEntry* sourceDirectory, std::uint16_t coverage,
                           const NameEntry* comment) {
  if (!sourceName) support::DisplayInternalError(Translate("Assertion", "No source name while creating FDC file"));
  if (!sourceDirectory) {
    support::DisplayInternalError(Translate("Assertion", "No source directory while creating FDC file"));
  }
  const std::string sourcePath = support::JoinPath(sourceDirectory->text, sourceName->text);
  FdcFile created;
  created.writer = this;
  created.path = OutputPathFor(settings_.placement, *sourceName, *sourceDirectory, ".fdc");
  created.sourceName = sourceName;
  created.sourceDirectory = sourceDirectory;
  created.coverage = coverage;
  created.date = support::FileTime(sourcePath);
  created.noListing = created.date == 0;
  created.key = static_cast<std::uint32_t>(
      support::FileKey(settings_.fullPathKey ? std::string_view(sourcePath) : sourceName->text));
  FdcFile& file = files_.Add(std::move(created));
  WriteHeader(file, comment);
  return file;
}

std::FILE* FdcWriter::Open(FdcFile& file) {
  if (file.stage != FdcStage::kWriting) {
    support::DisplayInternalError(Translate("Assertion", "Unable to write into FDC file"));
  }
  return files_.Streams().Open(file);
}

void FdcWriter::Fold(FdcFile& file, std::string_view line) const {
  support::StringChecksum(file.checksum, line, settings_.alternativeChecksum);
}

void FdcWriter::WriteTrailers() {
  for (FdcFile& file : files_.Files()) {
    if (file.stage != FdcStage::kWriting) continue;
    // The trailer always folds the feature string in 4-byte groups.
    support::StringChecksum(file.checksum, settings_.feature, false);
    std::string line = "DC " + std::to_string(file.checksum);
    if (!settings_.fullPathKey) line += ' ' + std::to_string(file.key);
    line += '\n';
    WriteText(Open(file), line);
    files_.Streams().Close(file);
  }
}

void FdcWriter::Close(FdcFile& file) { files_.Streams().Remove(file); }

bool FdcWriter::CloseEmpty() { return files_.RemoveEmpty(HasRecords); }

void ShowNoFdcGenerated(std::string_view sourceName) {
  support::DisplayInfo(Translate("User Info",
                                 "No branches of requested coverage types can be found in file %1; no FDC generated",
                                 "%1 : the source file")
                           .arg(FromLocal(sourceName)));
}

}  // namespace output
