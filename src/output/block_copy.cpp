// Copying the surviving blocks of a previous output file.
#include "output/block_copy.h"

#include "support/file_utils.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace output {
namespace {

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

void CopySurvivors(std::FILE* previous, std::FILE* output, const std::vector<PreviousBlock>& blocks,
                   const std::string& previousPath, const BlockCopyFailures& failures) {
  std::int64_t position = 0;
  for (const PreviousBlock& block : blocks) {
    if (block.survives) {
      CopyBytes(previous, output, block.endOffset - position);
    } else if (std::fseek(previous, static_cast<long>(block.endOffset), SEEK_SET) != 0) {
      failures.seek(previousPath);
    }
    position = block.endOffset;
  }
}

// Line ends become line feeds; a carriage return elsewhere (a directory's
// name may hold one, and the writer writes it as it is) is part of a field.
void CopyWithLineFeedEnds(std::FILE* input, std::FILE* output) {
  bool carriageReturnPending = false;
  for (int c; (c = getc_unlocked(input)) != EOF;) {
    if (carriageReturnPending && c != '\n') putc_unlocked('\r', output);
    carriageReturnPending = c == '\r';
    if (!carriageReturnPending) putc_unlocked(c, output);
  }
  if (carriageReturnPending) putc_unlocked('\r', output);
}

bool AnySurvives(const std::vector<PreviousBlock>& blocks, bool value) {
  return std::any_of(blocks.begin(), blocks.end(), [value](const PreviousBlock& b) { return b.survives == value; });
}

}  // namespace

void AppendSurvivingBlocks(const std::string& previousPath, const std::string& temporaryPath,
                           const std::vector<PreviousBlock>& blocks, const BlockCopyFailures& failures) {
  if (!AnySurvives(blocks, true)) return;
  support::UniqueFile output(std::fopen(temporaryPath.c_str(), "ab"));
  if (!output) failures.openTemporary(temporaryPath);
  support::UniqueFile previous(std::fopen(previousPath.c_str(), "rb"));
  if (!previous) failures.openPrevious(previousPath);
  if (AnySurvives(blocks, false)) {
    CopySurvivors(previous.get(), output.get(), blocks, previousPath, failures);
  } else {
    CopyWithLineFeedEnds(previous.get(), output.get());
  }
  if (std::ferror(previous.get())) support::DisplayReadError(previousPath);
  previous.reset();
  std::FILE* raw = output.release();
  const bool writeFailed = std::ferror(raw) != 0;
  if (std::fclose(raw) != 0 || writeFailed) failures.write(temporaryPath);
}

}  // namespace output
