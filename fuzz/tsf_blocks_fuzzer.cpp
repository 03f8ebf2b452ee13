// libFuzzer harness of the TSF block reader: any input must parse without
// overflow or crash, block ends must rise within the input, and the first
// block must read the same when the input is cut right after it.
#include "output/tsf_blocks.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr output::TsfProvider kProvider{"QBT", 8};

output::TsfReadResult ParseBytes(const std::uint8_t* data, std::size_t size) {
  return output::ParseTsfBlocks(std::string_view(reinterpret_cast<const char*>(data), size), kProvider, "/cwd/");
}

bool SameIdentity(const output::TsfBlock& a, const output::TsfBlock& b) {
  return a.foreign == b.foreign && a.sourceName == b.sourceName && a.sourceDirectory == b.sourceDirectory &&
         a.date == b.date && a.key == b.key && a.checksum == b.checksum && a.endOffset == b.endOffset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const output::TsfReadResult result = ParseBytes(data, size);
  std::int64_t previousEnd = 0;
  for (const output::TsfBlock& block : result.blocks) {
    if (block.endOffset <= previousEnd || block.endOffset > static_cast<std::int64_t>(size)) std::abort();
    if (block.sourceName.size() > output::kMaxTsfFieldLength) std::abort();
    if (!block.foreign && block.sourceDirectory.front() != '/') std::abort();
    previousEnd = block.endOffset;
  }
  if (result.error != output::TsfReadError::kNone || result.blocks.empty()) return 0;
  if (result.blocks.back().endOffset != static_cast<std::int64_t>(size)) std::abort();

  const output::TsfReadResult prefix = ParseBytes(data, static_cast<std::size_t>(result.blocks.front().endOffset));
  if (prefix.error != output::TsfReadError::kNone || prefix.blocks.size() != 1 ||
      !SameIdentity(prefix.blocks.front(), result.blocks.front())) {
    std::abort();
  }
  return 0;
}
