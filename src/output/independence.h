// The independence of a basic condition in a decision's case table (MC/DC),
// shared by the instrumentor's listing and the report.
//
// A case table has its true rows first. A true row and a false row show the
// independence of basic condition k when they differ at position k, neither
// is "X" there, and at every other position they are equal or one of them is
// "X".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace output {

struct RowPair {
  std::uint32_t trueRow = 0;
  std::uint32_t falseRow = 0;
};

/// Whether rows `a` and `b` (one true, one false, of equal width) show the
/// independence of condition `k`.
bool ShowsIndependence(std::string_view a, std::string_view b, std::size_t k);

/// The pairs of `rows` (row after row, `width` characters each, the first
/// `trueRows` of them true) showing the independence of condition `k`, true
/// row major, at most `limit` of them.
std::vector<RowPair> IndependencePairs(std::string_view rows, std::size_t width, std::uint32_t trueRows,
                                       std::size_t k, std::size_t limit = SIZE_MAX);

}  // namespace output
