// Case tables of decisions and the independence of their basic conditions.
//
// A case table has its true rows first. A true row i and a false row j show
// the independence of basic condition k when they differ at position k,
// neither is "X" there, and at every other position they are equal or one of
// them is "X".
//
// A forced decision evaluates every basic condition; its runtime branch is
// the decision's first number plus the value whose bit i is set when basic
// condition i was true. Its outcome follows from the prefix form: "A" and
// "O" take two operands, "N" one, "." is the next basic condition.
#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct RowPair {
  std::uint32_t trueRow = 0;
  std::uint32_t falseRow = 0;
};

/// The pairs showing the independence of condition `k`, true row major, at
/// most `limit` of them.
std::vector<RowPair> IndependencePairs(std::string_view rows, std::size_t width, std::uint32_t trueRows,
                                       std::size_t k, std::size_t limit = SIZE_MAX);

/// Whether rows `a` and `b` (one true, one false) show the independence of
/// condition `k`.
bool ShowsIndependence(std::string_view a, std::string_view b, std::size_t k);

/// The number of basic conditions of a well-formed prefix form, else none.
std::optional<std::size_t> PrefixWidth(std::string_view prefix);

/// The outcome of a well-formed prefix form for the given condition values.
bool EvaluatePrefix(std::string_view prefix, std::uint32_t values);

/// The row text of a forced combination: "T" or "F" per basic condition.
std::string CombinationText(std::uint32_t values, std::size_t width);

}  // namespace report
