#include "output/independence.h"

namespace output {

bool ShowsIndependence(std::string_view a, std::string_view b, std::size_t k) {
  if (a[k] == 'X' || b[k] == 'X' || a[k] == b[k]) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (i != k && a[i] != b[i] && a[i] != 'X' && b[i] != 'X') return false;
  }
  return true;
}

std::vector<RowPair> IndependencePairs(std::string_view rows, std::size_t width, std::uint32_t trueRows,
                                       std::size_t k, std::size_t limit) {
  std::vector<RowPair> pairs;
  if (width == 0) return pairs;
  const std::size_t rowCount = rows.size() / width;
  for (std::uint32_t i = 0; i < trueRows; ++i) {
    const std::string_view trueRow = rows.substr(i * width, width);
    for (std::uint32_t j = trueRows; j < rowCount; ++j) {
      if (!ShowsIndependence(trueRow, rows.substr(j * width, width), k)) continue;
      pairs.push_back({i, j});
      if (pairs.size() == limit) return pairs;
    }
  }
  return pairs;
}

}  // namespace output
