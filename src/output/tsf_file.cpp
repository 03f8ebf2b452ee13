// The TSF writer: creation of a file with its header, records, trailers and
// removal of files that received nothing.
#include "output/tsf_file.h"

#include "output/fdc_format.h"
#include "output/temporary_names.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <cstdio>

namespace output {
namespace {

using support::FromLocal;
using support::NameEntry;
using support::Translate;

constexpr const char* kErrorContext = "tsfE-Error";
constexpr const char* kAssertionContext = "tsfE-Assertion";
constexpr const char* kCreateComment = "%1 is a file name,  %2 a system error message";

// ".tsg": the last character counts from "g" to "z", the one before it down
// from "s" to "a": .tsg ... .tsz, .trg ... .taz.
constexpr CountingCharacter kTsfCounting[] = {{'g', 'z', 1}, {'z', 'a', -1}};
constexpr TemporaryNaming kTsfNaming{".tsg", kTsfCounting};

[[noreturn]] void Internal(const char* context, const char* text) {
  support::DisplayInternalError(Translate(context, text));
}

// Whether a previous file exists only chooses the message.
[[noreturn]] void FailClaim(ClaimStatus status, const std::string& path, const std::string& temporaryPath,
                            const QString& reason) {
  if (status == ClaimStatus::kExhausted) {
    support::DisplayFatalError(
        Translate(kErrorContext, "Please remove all temporary files remaining for %1", "%1 is a file name")
            .arg(FromLocal(path)));
  }
  if (support::FileExists(path)) {
    support::DisplayFatalError(Translate(kErrorContext, "Cannot create temporary TSF file %1 (%2)", kCreateComment)
                                   .arg(FromLocal(temporaryPath), reason));
  }
  support::DisplayFatalError(
      Translate(kErrorContext, "Cannot create TSF file %1 (%2)", kCreateComment).arg(FromLocal(path), reason));
}

[[noreturn]] void FailReopen(const std::string& temporaryPath, const QString&) {
  support::DisplayFatalError(
      Translate(kErrorContext, "Cannot reopen TSF file %1", "%1 is a file name").arg(FromLocal(temporaryPath)));
}

[[noreturn]] void FailWrite(const std::string& temporaryPath, const QString& reason) {
  support::DisplayFatalError(Translate(kErrorContext, "Cannot write TSF file %1 (%2)", kCreateComment)
                                 .arg(FromLocal(temporaryPath), reason));
}

constexpr OutputFileKind kTsfKind{kTsfNaming, "TSF", FailClaim, FailReopen, FailWrite};

void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

TsfFile& RequireFile(TsfFile* file) {
  if (!file || file->stage != OutputStage::kWriting) Internal(kAssertionContext, "Bad TSF descriptor while writing");
  return *file;
}

// The modification time as the SO line holds it; a time past 2038 is
// negative as a signed 32-bit number and is written as 0.
std::uint32_t SourceDate(const std::string& sourcePath) {
  const std::uint32_t time = support::FileTime(sourcePath);
  return static_cast<std::int32_t>(time) < 0 ? 0 : time;
}

bool HasRecords(const TsfFile& file) { return file.instanceCount != 1 || file.messageCount != 0; }

}  // namespace

TsfWriter::TsfWriter(TsfSettings settings) : settings_(std::move(settings)), files_(kTsfKind) {}

// Header lines DB, US, SO, LK and IN; they stay out of the checksum.
void TsfWriter::WriteHeader(TsfFile& file, const std::string& sourcePath) {
  std::string header = "DB " + QuoteTsfText(kTsfTracerName) + "\n";
  header += "US " + settings_.providerName + " " + std::to_string(settings_.providerFlags) + " ";
  header += kTsfFormatVersion;
  header += "\nSO " + QuoteTsfText(support::LocalToUtf8(sourcePath)) + " " + std::to_string(file.date) + " " +
            QuoteTsfText("txt") + "\n";
  const std::uint32_t instance = TsfIdentifier(++file.instanceCount, true);
  header += "LK 1\nIN " + QuoteTsfText("File") + " " + std::to_string(instance) + " " +
            QuoteTsfText(support::LocalToUtf8(file.sourceName->text)) + "\n";
  WriteText(file.stream.get(), header);
}

TsfFile& TsfWriter::Select(const NameEntry* sourceName, const NameEntry* sourceDirectory) {
  if (TsfFile* found = files_.Find(sourceName, sourceDirectory)) return *found;
  if (!sourceName) Internal(kErrorContext, "No source name while creating TSF file");
  if (!sourceDirectory) Internal(kErrorContext, "No source directory while creating TSF file");

  const std::string sourcePath = support::JoinPath(sourceDirectory->text, sourceName->text);
  TsfFile created;
  created.writer = this;
  created.path = OutputPathFor(settings_.placement, *sourceName, *sourceDirectory, ".tsf");
  created.sourceName = sourceName;
  created.sourceDirectory = sourceDirectory;
  created.date = SourceDate(sourcePath);
  created.key = static_cast<std::uint32_t>(support::FileKey(sourcePath));
  TsfFile& file = files_.Add(std::move(created));
  WriteHeader(file, sourcePath);
  return file;
}

void TsfWriter::WriteRecord(TsfFile& file, const std::string& record) {
  std::FILE* stream = files_.Streams().Open(file);
  support::StringChecksum(file.checksum, record, settings_.alternativeChecksum);
  WriteText(stream, record);
}

void TsfWriter::WriteTrailers() {
  for (TsfFile& file : files_.Files()) {
    if (file.stage != OutputStage::kWriting) continue;
    WriteText(files_.Streams().Open(file),
              "ID " + std::to_string(file.key) + " " + std::to_string(file.checksum) + "\nED\n");
    files_.Streams().Close(file);
  }
}

void TsfWriter::Close(TsfFile& file) { files_.Streams().Remove(file); }

bool TsfWriter::CloseEmpty() { return files_.RemoveEmpty(HasRecords); }

std::uint32_t TsfIdentifier(std::uint32_t count, bool instance) {
  const std::uint32_t identifier = (count & 31u) | ((count & ~31u) << 1);
  return instance ? identifier + 32 : identifier;
}

std::uint32_t WriteTsfMessage(TsfFile* file, std::string_view routineName, std::uint32_t sourceLine) {
  TsfFile& target = RequireFile(file);
  const std::uint32_t identifier = TsfIdentifier(target.messageCount + 1, false);
  target.writer->WriteRecord(target, "LK " + std::to_string(sourceLine) + "\nMS " + std::to_string(identifier) +
                                         " " + QuoteTsfText(routineName) + "\n");
  ++target.messageCount;
  return identifier;
}

std::uint32_t WriteTsfText(TsfFile* file, std::string_view text) {
  TsfFile& target = RequireFile(file);
  const std::uint32_t identifier = TsfIdentifier(target.instanceCount + 1, true);
  target.writer->WriteRecord(target, "LK 0\nTX " + std::to_string(identifier) + " " + QuoteTsfText(text) + "\n");
  ++target.instanceCount;
  return identifier;
}

void ShowNoTsfGenerated(std::string_view sourceName) {
  support::DisplayInfo(
      Translate("User Info", "No observable routine can be found in file %1, no TSF generated", "%1 : the source file")
          .arg(FromLocal(sourceName)));
}

std::string QuoteTsfText(std::string_view text) {
  std::string quoted;
  AppendQuotedText(quoted, text);
  return quoted;
}

}  // namespace output
