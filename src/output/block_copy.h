// Appending the surviving blocks of a previous output file (FDC or TSF)
// behind the new block in the temporary file.
//
// When every block survives, the whole previous file is appended with its
// carriage returns removed; otherwise surviving blocks are copied byte for
// byte up to their end offsets and dropped ones are skipped by seeking. The
// messages differ between the writers and come with the call; each of them
// ends the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace output {

/// The writer's fatal messages; none of them returns.
struct BlockCopyFailures {
  void (*openTemporary)(const std::string& path);
  void (*openPrevious)(const std::string& path);
  void (*seek)(const std::string& path);
  void (*write)(const std::string& path);
};

struct PreviousBlock {
  std::int64_t endOffset;  // first byte after the block
  bool survives;
};

/// Appends the surviving blocks of `previousPath` to `temporaryPath`; does
/// nothing when no block survives.
void AppendSurvivingBlocks(const std::string& previousPath, const std::string& temporaryPath,
                           const std::vector<PreviousBlock>& blocks, const BlockCopyFailures& failures);

}  // namespace output
