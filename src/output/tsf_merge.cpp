// Merging each new TSF block with the previous TSF file.
#include "output/tsf_merge.h"

#include "output/block_copy.h"
#include "output/output_update.h"
#include "output/tsf_blocks.h"
#include "output/tsf_file.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <vector>

namespace output {
namespace {

using support::FromLocal;
using support::Translate;

constexpr const char* kErrorContext = "tsfE-Error";

QString SystemError() { return FromLocal(support::SystemErrorText()); }

[[noreturn]] void FailOpenTemporary(const std::string& path) {
  support::DisplayFatalError(
      Translate(kErrorContext, "Cannot open temporary TSF file %1", "%1 is a file name").arg(FromLocal(path)));
}

[[noreturn]] void FailOpenPrevious(const std::string& path) {
  support::DisplayFatalError(Translate(kErrorContext, "Cannot open TSF file %1 (%2)", "%1 is a file name, %2 a system message")
                                 .arg(FromLocal(path), SystemError()));
}

[[noreturn]] void FailSeek(const std::string& path) {
  support::DisplayFatalError(
      Translate(kErrorContext, "Cannot fseek() in %1 (%2)", "%1 is a file name, %2 a system error message")
          .arg(FromLocal(path), SystemError()));
}

[[noreturn]] void FailWrite(const std::string& path) {
  support::DisplayFatalError(
      Translate(kErrorContext, "Cannot write TSF file %1 (%2)", "%1 is a file name,  %2 a system error message")
          .arg(FromLocal(path), SystemError()));
}

constexpr BlockCopyFailures kTsfCopyFailures{FailOpenTemporary, FailOpenPrevious, FailSeek, FailWrite};

// A block of the same source is a variant worth keeping only when it was
// built from the same source file (same date) and differs in content.
bool Survives(const TsfBlock& block, const TsfFile& file) {
  if (block.foreign) return false;
  if (block.sourceName != support::LocalToUtf8(file.sourceName->text) ||
      block.sourceDirectory != support::LocalToUtf8(file.sourceDirectory->text)) {
    return true;
  }
  return block.date == file.date && block.checksum != file.checksum;
}

// Runs with the TSF file's update lock held.
void AppendSurvivors(const TsfFile& file) {
  const TsfSettings& settings = file.writer->Settings();
  const TsfProvider provider{settings.providerName, settings.providerFlags};
  const std::vector<TsfBlock> blocks = ReadTsfBlocks(file.path, provider);
  std::vector<PreviousBlock> previous;
  previous.reserve(blocks.size());
  for (const TsfBlock& block : blocks) previous.push_back({block.endOffset, Survives(block, file)});
  AppendSurvivingBlocks(file.path, file.temporaryPath, previous, kTsfCopyFailures);
}

}  // namespace

void FinishTsfFiles(TsfWriter& writer) {
  for (TsfFile& file : writer.Files()) {
    writer.Streams().Finish(file, [&file] { AppendSurvivors(file); });
  }
}

}  // namespace output
