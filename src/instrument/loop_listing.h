// The listing entry of a loop's iteration branches: one popup that names
// each branch by the number of iterations it counts.
#pragma once

#include "instrument/tree_extent.h"

#include <cstdint>

namespace instrument {

/// Registers the popup "loop branches:" over the loop's extent; `first` is
/// the block number of the loop's first branch ("0 loop", or "1 loop" for a
/// do loop, which has no "0 loop").
void RegisterLoopBranches(const Span& span, std::uint32_t first, bool isDo, std::uint32_t priority);

}  // namespace instrument
