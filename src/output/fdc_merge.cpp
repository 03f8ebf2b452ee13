// Merging each new block with the previous FDC file.
#include "output/fdc_merge.h"

#include "output/block_copy.h"
#include "output/fdc_blocks.h"
#include "output/fdc_file.h"
#include "output/output_update.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <vector>

namespace output {
namespace {

using support::FromLocal;
using support::Translate;

constexpr const char* kFileErrorComment = "%1 is the file name, %2 a system-dependent error message";

QString SystemError() { return FromLocal(support::SystemErrorText()); }

// A block of the same source is a variant worth keeping only when it was
// built from the same source file (same date) with the same coverage types
// and differs in content; otherwise the new block replaces it. The date is
// compared as the file holds it.
bool Survives(const FdcBlock& block, const FdcFile& file) {
  if (block.foreign) return false;
  if (block.sourceName != file.sourceName->text || block.sourceDirectory != file.sourceDirectory->text) return true;
  return block.date == FdcWrittenDate(file.date) && block.coverage == file.coverage && block.checksum != file.checksum;
}

[[noreturn]] void FailOpenTemporary(const std::string& path) {
  support::DisplayInternalError(
      Translate("Assertion", "Cannot open temporary FDC file %1 %2", kFileErrorComment).arg(FromLocal(path), SystemError()));
}

[[noreturn]] void FailOpenPrevious(const std::string& path) { support::DisplayReadError(path); }

[[noreturn]] void FailSeek(const std::string& path) {
  support::DisplayFatalError(
      Translate("Assertion", "Cannot fseek() in %1 %2", kFileErrorComment).arg(FromLocal(path), SystemError()));
}

[[noreturn]] void FailWrite(const std::string& path) {
  support::DisplayFatalError(
      Translate("Assertion", "Cannot write FDC file %1: %2", kFileErrorComment).arg(FromLocal(path), SystemError()));
}

constexpr BlockCopyFailures kFdcCopyFailures{FailOpenTemporary, FailOpenPrevious, FailSeek, FailWrite};

// Runs with the FDC file's update lock held: no other run reads or replaces
// the previous file in between.
void AppendSurvivors(const FdcFile& file) {
  const std::vector<FdcBlock> blocks = ReadFdcBlocks(file.path, file.writer->Settings().formatMark);
  std::vector<PreviousBlock> previous;
  previous.reserve(blocks.size());
  for (const FdcBlock& block : blocks) previous.push_back({block.endOffset, Survives(block, file)});
  AppendSurvivingBlocks(file.path, file.temporaryPath, previous, kFdcCopyFailures);
}

}  // namespace

void FinishFdcFiles(FdcWriter& writer) {
  for (FdcFile& file : writer.Files()) {
    writer.Streams().Finish(file, [&file] { AppendSurvivors(file); });
  }
}

}  // namespace output
