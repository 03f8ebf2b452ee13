#include "output/independence.h"

#include <gtest/gtest.h>

#include <string>

namespace output {
namespace {

// The README's words, position by position: rows show condition k when they
// differ at k and neither holds "X" there, and every other position is equal
// or "X" in one of them.
bool ByDefinition(const std::string& a, const std::string& b, std::size_t k) {
  bool differsAtK = false;
  bool othersAgree = true;
  for (std::size_t p = 0; p < a.size(); ++p) {
    const bool unknown = a[p] == 'X' || b[p] == 'X';
    if (p == k) differsAtK = !unknown && a[p] != b[p];
    else othersAgree = othersAgree && (unknown || a[p] == b[p]);
  }
  return differsAtK && othersAgree;
}

std::string RowNumber(std::size_t number, std::size_t width) {
  std::string row;
  for (std::size_t i = 0; i < width; ++i, number /= 3) row += "TFX"[number % 3];
  return row;
}

TEST(Independence, AgreesWithTheDefinitionOnEveryPairOfShortRows) {
  for (std::size_t width = 1; width <= 4; ++width) {
    std::size_t rows = 1;
    for (std::size_t i = 0; i < width; ++i) rows *= 3;
    for (std::size_t a = 0; a < rows; ++a) {
      for (std::size_t b = 0; b < rows; ++b) {
        const std::string first = RowNumber(a, width), second = RowNumber(b, width);
        for (std::size_t k = 0; k < width; ++k) {
          ASSERT_EQ(ShowsIndependence(first, second, k), ByDefinition(first, second, k))
              << first << " " << second << " at " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace output
