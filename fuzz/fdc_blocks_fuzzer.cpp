// libFuzzer harness of the FDC block reader: any input must parse without
// overflow or crash, block ends must rise within the input, and the first
// block must read the same when the input is cut right after it.
#include "output/fdc_blocks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

output::FdcReadResult ParseBytes(const std::uint8_t* data, std::size_t size) {
  std::string copy(reinterpret_cast<const char*>(data), size);
  std::FILE* stream = fmemopen(copy.data(), copy.size() ? copy.size() : 1, "r");
  if (!stream) std::abort();
  if (copy.empty()) std::fgetc(stream);  // an empty buffer reads as end of file
  output::FdcReadResult result = output::ParseFdcBlocks(stream, "#i6");
  std::fclose(stream);
  return result;
}

bool SameIdentity(const output::FdcBlock& a, const output::FdcBlock& b) {
  return a.foreign == b.foreign && a.sourceName == b.sourceName && a.sourceDirectory == b.sourceDirectory &&
         a.date == b.date && a.coverage == b.coverage && a.checksum == b.checksum && a.endOffset == b.endOffset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const output::FdcReadResult result = ParseBytes(data, size);
  std::int64_t previousEnd = 0;
  for (const output::FdcBlock& block : result.blocks) {
    if (block.endOffset <= previousEnd || block.endOffset > static_cast<std::int64_t>(size)) std::abort();
    if (block.sourceName.size() > output::kMaxFdcFieldLength) std::abort();
    previousEnd = block.endOffset;
  }
  if (result.error != output::FdcReadError::kNone || result.blocks.empty()) return 0;
  if (result.blocks.back().endOffset != static_cast<std::int64_t>(size)) std::abort();

  const output::FdcReadResult prefix = ParseBytes(data, static_cast<std::size_t>(result.blocks.front().endOffset));
  if (prefix.error != output::FdcReadError::kNone || prefix.blocks.size() != 1 ||
      !SameIdentity(prefix.blocks.front(), result.blocks.front())) {
    std::abort();
  }
  return 0;
}
