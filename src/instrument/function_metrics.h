// The three measures of a function shown in its listing: cyclomatic number,
// statement count and nesting depth.
#pragma once

#include <cstdint>

namespace frontend {
struct TreeNode;
}

namespace instrument {

struct FunctionMetrics {
  std::uint32_t cyclomatic;
  std::uint32_t statements;
  std::uint32_t nesting;
};

/// The measures of a FUNCTION_DEFINITION; without -METRICS the listing
/// takes kNoFunctionMetrics instead.
FunctionMetrics ComputeFunctionMetrics(const frontend::TreeNode* definition);
inline constexpr FunctionMetrics kNoFunctionMetrics{0, 4294967295u, 4294967295u};

}  // namespace instrument
