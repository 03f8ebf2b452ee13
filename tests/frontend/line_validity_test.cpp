#include "frontend/line_validity.h"

#include "bound_front_end.h"
#include "bound_run.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace frontend {
namespace {

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class LineValidityTest : public ::testing::Test {
 protected:
  BoundRun run_;
  BoundFrontEnd frontEnd;
  support::NameEntry* file = support::InternName("a.c");
  support::NameEntry* directory = support::InternName("/src/");
  RegionList regions;

  void Report(const std::vector<std::uint32_t>& lines) {
    SetCurrentValidFile(file, directory, lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i) ValidLine(lines[i]);
  }

  static const ValidLineTable& Lines() { return CurrentFrontEnd().validLines; }
};

// Consecutive lines join, gaps start new pairs, lines out of order fill the
// right place; a repeat, and line 0, are summed but cover nothing new.
TEST_F(LineValidityTest, PairsAndSums) {
  const struct {
    std::vector<std::uint32_t> lines;
    Pairs pairs;
    std::uint32_t sum;
  } cases[] = {
      {{10, 11, 12, 15, 12}, {{9, 12}, {14, 15}}, 60},
      // 1 -> (0,1); 5,6 -> (4,6); 13 -> (12,13); 19 joins 20's pair from below.
      {{20, 5, 13, 6, 19, 1}, {{0, 1}, {4, 6}, {12, 13}, {18, 20}}, 64},
      {{0, 1}, {{0, 1}}, 1},
  };
  for (const auto& c : cases) {
    const BoundFrontEnd front;
    Report(c.lines);
    EXPECT_EQ(ValidLinePairs(Lines(), file, directory), c.pairs) << "the case of sum " << c.sum;
    EXPECT_EQ(ValidLineSum(Lines(), file, directory), c.sum) << "the case of sum " << c.sum;
  }
}

TEST_F(LineValidityTest, FilesAreKeptApartAndTheSumWraps) {
  support::NameEntry* header = support::InternName("a.h");
  Report({4294967295u, 3});
  SetCurrentValidFile(header, directory, 7);
  SetCurrentValidFile(file, directory, 4);
  EXPECT_EQ(ValidLineSum(Lines(), file, directory), 6u);  // 4294967295 + 3 + 4 wraps to 6
  EXPECT_EQ(ValidLineSum(Lines(), header, directory), 7u);
  EXPECT_EQ(ValidLineSum(Lines(), support::InternName("b.c"), directory), 0u);
  EXPECT_EQ(ValidLinePairs(Lines(), file, directory), (Pairs{{2, 4}, {4294967294u, 4294967295u}}));
}

TEST_F(LineValidityTest, RegionsAreActiveWhenOneOfTheirLinesProducedTokens) {
  Report({10, 11, 12, 15});
  AppendRegion(regions, 1, 8);    // before every pair
  AppendRegion(regions, 10, 10);  // inside the first pair
  AppendRegion(regions, 13, 14);  // the gap: line 14 is the low end, not covered
  AppendRegion(regions, 14, 20);
  AppendRegion(regions, 30, 40);  // after every pair
  SetIfdefs(Lines(), regions, file, directory);
  std::vector<int> active;
  for (Region* region = regions.head; region; region = region->next) active.push_back(region->active);
  EXPECT_EQ(active, (std::vector<int>{0, 1, 0, 1, 0}));

  EXPECT_EQ(FirstInactiveRegion(regions, 1), regions.head);
  EXPECT_EQ(FirstInactiveRegion(regions, 2)->firstLine, 13u);
  EXPECT_EQ(FirstInactiveRegion(regions, 14)->firstLine, 30u);
  EXPECT_EQ(FirstInactiveRegion(regions, 31), nullptr);
}

}  // namespace
}  // namespace frontend
