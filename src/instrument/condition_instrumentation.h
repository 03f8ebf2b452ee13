// Basic conditions and the decisions made of them.
//
// A basic condition B becomes "(_QBC_COND_ELEM_1()(B)_QBC_COND_ELEM_2(f,n))",
// n its true branch and n + 1 its false branch. A decision (a top-level
// logical and or or) with modified conditions additionally wraps each of its
// basic conditions in a synchronisation text that stores the condition's
// value in the function's slot array, and itself in an end text that looks
// up the observed row of its case table. With forced evaluation its logical
// operators become bitwise ones, so every basic condition is evaluated and
// the observed vector of values names the branch.
#pragma once

#include "instrument/tree_extent.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace frontend {
struct TreeNode;
}

namespace instrument {

struct BasicCondition {
  const frontend::TreeNode* node;
  Span span;
  std::optional<std::uint32_t> branch;  // none: not instrumented
};

struct DecisionContext {
  const frontend::TreeNode* root;
  std::vector<BasicCondition> conditions;  // left to right
};

/// Instruments a logical and or or; a top-level one (no decision passed in)
/// becomes a decision of its own.
bool InstrDecision(const frontend::TreeNode* node, DecisionContext* decision);

/// Instruments one basic condition and appends it to the decision.
void InstrBasicCondition(const frontend::TreeNode* node, DecisionContext* decision);

}  // namespace instrument
