#include "line_index.h"

#include <algorithm>
#include <string_view>

namespace gcovcheck {
namespace {

std::uint32_t LastLine(const report::FdcUnit& unit) {
  std::uint32_t last = 0;
  for (const auto& proc : unit.procs) last = std::max({last, proc.first, proc.last});
  for (const auto& call : unit.calls) last = std::max({last, call.first, call.last});
  for (const auto& block : unit.blocks) last = std::max({last, block.first, block.last});
  return last;
}

void MarkEnds(std::vector<std::uint32_t>& table, std::uint32_t first, std::uint32_t last) {
  ++table[first];
  if (last != first) ++table[last];
}

bool IsSequence(const report::BlockRecord& block) {
  const std::string_view path = block.path;
  return path == "seq" || path.ends_with("/seq");
}

}  // namespace

LineIndex IndexLines(const report::FdcUnit& unit) {
  const std::size_t size = LastLine(unit) + 2;
  LineIndex index;
  index.callsOver.assign(size, 0);
  index.blockEnds.assign(size, 0);
  index.procEnds.assign(size, 0);
  index.sequenceStarts.assign(size, 0);
  // Calls spanning lines: a difference table, summed once at the end.
  std::vector<std::int64_t> callDelta(size, 0);
  for (const auto& call : unit.calls) {
    if (call.last < call.first) continue;
    ++callDelta[call.first];
    --callDelta[call.last + 1];
  }
  std::int64_t open = 0;
  for (std::size_t line = 0; line < size; ++line) {
    open += callDelta[line];
    index.callsOver[line] = static_cast<std::uint32_t>(open);
  }
  for (const auto& block : unit.blocks) {
    // An implicit block or a loop's iteration branch spans its if or loop
    // statement and is counted apart from the lines it spans.
    const bool spansStatement = block.kind == report::BlockKind::kImplicit || block.kind == report::BlockKind::kLogical;
    if (!spansStatement) MarkEnds(index.blockEnds, block.first, block.last);
    if (IsSequence(block)) ++index.sequenceStarts[block.first];
  }
  // Functions only: a return or exit record inside a block does not change
  // the count of the block's line.
  for (const auto& proc : unit.procs) {
    if (proc.kind == report::ProcKind::kProc) MarkEnds(index.procEnds, proc.first, proc.last);
  }
  return index;
}

}  // namespace gcovcheck
