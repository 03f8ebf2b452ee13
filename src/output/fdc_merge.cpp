// Merging each new block with the previous FDC file.
#include "output/fdc_merge.h"

#include "output/fdc_blocks.h"
#include "output/fdc_file.h"
#include "output/output_update.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/moxtel_log.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <algorithm>
#include <array>
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

FdcStream OpenTemporary(const std::string& path) {
  FdcStream stream(std::fopen(path.c_str(), "ab"));
  if (!stream) {
    support::DisplayInternalError(
        Translate("Assertion", "Cannot open temporary FDC file %1 %2", kFileErrorComment).arg(FromLocal(path), SystemError()));
  }
  return stream;
}

FdcStream OpenPrevious(const std::string& path) {
  FdcStream stream(std::fopen(path.c_str(), "rb"));
  if (!stream) support::DisplayReadError(path);
  return stream;
}

void CopyBytes(std::FILE* input, std::FILE* output, std::int64_t count) {
  std::array<char, 65536> buffer;
  while (count > 0) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(count, buffer.size()));
    const std::size_t got = std::fread(buffer.data(), 1, wanted, input);
    if (got == 0) return;
    std::fwrite(buffer.data(), 1, got, output);
    count -= static_cast<std::int64_t>(got);
  }
}

// Surviving blocks are copied byte for byte, dropped ones skipped.
void CopySurvivors(std::FILE* previous, std::FILE* output, const std::vector<FdcBlock>& blocks,
                   const std::vector<bool>& survives, const std::string& previousPath) {
  std::int64_t position = 0;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const std::int64_t end = blocks[i].endOffset;
    if (survives[i]) {
      CopyBytes(previous, output, end - position);
    } else if (std::fseek(previous, static_cast<long>(end), SEEK_SET) != 0) {
      support::DisplayFatalError(Translate("Assertion", "Cannot fseek() in %1 %2", kFileErrorComment)
                                     .arg(FromLocal(previousPath), SystemError()));
    }
    position = end;
  }
}

void AppendPrevious(const FdcFile& file, const std::vector<FdcBlock>& blocks, const std::vector<bool>& survives) {
  const std::string& temporary = file.temporaryPath;
  FdcStream output = OpenTemporary(temporary);
  FdcStream previous = OpenPrevious(file.path);
  if (std::find(survives.begin(), survives.end(), false) != survives.end()) {
    CopySurvivors(previous.get(), output.get(), blocks, survives, file.path);
  } else {
    support::CopyStream(previous.get(), output.get());
  }
  if (std::ferror(previous.get())) support::DisplayReadError(file.path);
  previous.reset();
  CloseOutputStream(output, temporary);
}

// Runs with the FDC file's update lock held: no other run reads or replaces
// the previous file in between.
void AppendSurvivors(const FdcFile& file) {
  const std::vector<FdcBlock> blocks = ReadFdcBlocks(file.path);
  std::vector<bool> survives(blocks.size());
  std::transform(blocks.begin(), blocks.end(), survives.begin(),
                 [&file](const FdcBlock& block) { return Survives(block, file); });
  if (std::find(survives.begin(), survives.end(), true) != survives.end()) AppendPrevious(file, blocks, survives);
}

}  // namespace

void FinishFdcFiles() {
  for (FdcFile& file : Fdc().files) {
    if (file.stage != FdcStage::kWriting) continue;
    CloseOutputStream(file.stream, FdcWritePath(file));
    support::WriteMoxtelLog("FDC", file.path);
    ReplaceUnderLock(file.path, file.temporaryPath, [&file] { AppendSurvivors(file); });
    file.stage = FdcStage::kFinished;
  }
}

}  // namespace output
