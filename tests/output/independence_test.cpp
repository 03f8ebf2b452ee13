#include "output/independence.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

using PairList = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

PairList PairsOf(std::string_view rows, std::size_t width, std::uint32_t trueRows, std::size_t k,
                 std::size_t limit = SIZE_MAX) {
  PairList pairs;
  for (const RowPair& pair : IndependencePairs(rows, width, trueRows, k, limit)) {
    pairs.emplace_back(pair.trueRow, pair.falseRow);
  }
  return pairs;
}

TEST(Independence, PairsOfTheReadmeExampleInTrueRowMajorOrder) {
  // a && (b || c): TTX TFT | TFF FXX; a by rows 0 and 3 or 1 and 3, b by 0
  // and 2, c by 1 and 2.
  const std::string_view rows = "TTXTFTTFFFXX";
  EXPECT_EQ(PairsOf(rows, 3, 2, 0), (PairList{{0, 3}, {1, 3}}));
  EXPECT_EQ(PairsOf(rows, 3, 2, 1), (PairList{{0, 2}}));
  EXPECT_EQ(PairsOf(rows, 3, 2, 2), (PairList{{1, 2}}));
  EXPECT_EQ(PairsOf(rows, 3, 2, 0, 1), (PairList{{0, 3}}));
  // Two true rows compared with each other never count: a || b, TX FT | FF.
  EXPECT_EQ(PairsOf("TXFTFF", 2, 2, 0), (PairList{{0, 2}}));
  EXPECT_EQ(PairsOf("TXFTFF", 2, 2, 1), (PairList{{1, 2}}));
  EXPECT_TRUE(PairsOf("", 0, 0, 0).empty());
}

TEST(Independence, LimitStopsAfterThatManyPairs) {
  // The rows of a && b with each of TT and TF twice: the pairs come true
  // row major, and the limit cuts the list.
  const std::string_view rows = "TTTTTFTFFX";  // TT TT | TF TF FX
  EXPECT_EQ(PairsOf(rows, 2, 2, 1), (PairList{{0, 2}, {0, 3}, {1, 2}, {1, 3}}));
  EXPECT_EQ(PairsOf(rows, 2, 2, 1, 3), (PairList{{0, 2}, {0, 3}, {1, 2}}));
  EXPECT_EQ(PairsOf(rows, 2, 2, 0), (PairList{{0, 4}, {1, 4}}));
}

}  // namespace
}  // namespace output
