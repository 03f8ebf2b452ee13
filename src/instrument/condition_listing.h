// The listing entries of conditions: the popup of a basic condition's two
// branches, the case table of a decision with the pairs of rows that show
// each basic condition's independence, and the condition-table popup of a
// forced decision.
#pragma once

#include "instrument/tree_extent.h"
#include "output/independence.h"

#include <cstdint>
#include <string>

namespace instrument {

struct Composition;
struct DecisionContext;

/// Upper bound on the row comparisons made to list independence pairs; a
/// larger table lists the pairs found within it.
inline constexpr std::uint64_t kMaxPairComparisons = 4000000;

void RegisterBasicCondition(const Span& span, std::uint32_t branch, std::uint32_t priority);

void RegisterModifiedDecision(const DecisionContext& decision, const Composition& composition, std::uint32_t first,
                              std::uint32_t priority);

void RegisterForcedDecision(const DecisionContext& decision, const std::string& prefix, std::uint32_t slot,
                            std::uint32_t priority);

}  // namespace instrument
