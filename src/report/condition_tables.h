// Case tables of decisions and the independence of their basic conditions
// (the rule itself is output/independence.h's).
//
// A forced decision evaluates every basic condition; its runtime branch is
// the decision's first number plus the value whose bit i is set when basic
// condition i was true. Its outcome follows from the prefix form: "A" and
// "O" take two operands, "N" one, "." is the next basic condition.
#pragma once

#include "output/independence.h"

#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

/// The number of basic conditions of a well-formed prefix form, else none.
std::optional<std::size_t> PrefixWidth(std::string_view prefix);

/// The outcome of a well-formed prefix form for the given condition values.
bool EvaluatePrefix(std::string_view prefix, std::uint32_t values);

/// The row text of a forced combination: "T" or "F" per basic condition.
std::string CombinationText(std::uint32_t values, std::size_t width);

}  // namespace report
