#include "frontend/line_validity.h"

#include "bound_front_end.h"
#include "bound_run.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <optional>

namespace frontend {
namespace {

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class LineValidityTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    frontEnd.emplace();
    file = support::InternName("a.c");
    directory = support::InternName("/src/");
  }
  void TearDown() override {
    frontEnd.reset();
    FreeRegions(regions);
  }

  void Report(std::initializer_list<std::uint32_t> lines) {
    bool first = true;
    for (std::uint32_t line : lines) {
      if (first) SetCurrentValidFile(file, directory, line);
      else ValidLine(line);
      first = false;
    }
  }

  const ValidLineTable& Lines() { return (*frontEnd)->validLines; }

  std::optional<BoundFrontEnd> frontEnd;
  support::NameEntry* file = nullptr;
  support::NameEntry* directory = nullptr;
  RegionList regions{};
};

TEST_F(LineValidityTest, ConsecutiveLinesJoinAndGapsStartNewPairs) {
  Report({10, 11, 12, 15});
  EXPECT_EQ(ValidLinePairs(Lines(), file, directory), (Pairs{{9, 12}, {14, 15}}));
  EXPECT_EQ(ValidLineSum(Lines(), file, directory), 48u);

  ValidLine(12);  // a repeat is summed but covers nothing new
  EXPECT_EQ(ValidLinePairs(Lines(), file, directory), (Pairs{{9, 12}, {14, 15}}));
  EXPECT_EQ(ValidLineSum(Lines(), file, directory), 60u);
}

TEST_F(LineValidityTest, LinesOutOfOrderFillTheRightPlace) {
  Report({20, 5, 13, 6, 19, 1});
  // 1 -> (0,1); 5,6 -> (4,6); 13 -> (12,13); 19 joins 20's pair from below.
  EXPECT_EQ(ValidLinePairs(Lines(), file, directory), (Pairs{{0, 1}, {4, 6}, {12, 13}, {18, 20}}));
  EXPECT_EQ(ValidLineSum(Lines(), file, directory), 64u);
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

TEST_F(LineValidityTest, LineZeroIsSummedButCoversNothing) {
  Report({0, 1});
  EXPECT_EQ(ValidLinePairs(Lines(), file, directory), (Pairs{{0, 1}}));
  EXPECT_EQ(ValidLineSum(Lines(), file, directory), 1u);
}

TEST_F(LineValidityTest, ValidLineWithoutCurrentFileIsAnInternalError) {
  EXPECT_EXIT(ValidLine(3), ::testing::ExitedWithCode(support::kExitInternal),
              "No CurrentValidFile in ValidLine\\(\\)");
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

TEST_F(LineValidityTest, SetIfdefsOnAnUnknownFileIsAnInternalError) {
  EXPECT_EXIT(SetIfdefs(Lines(), regions, file, directory), ::testing::ExitedWithCode(support::kExitInternal),
              "No ValidFileTypeP in SetIfdefs\\(\\)\\.");
}

}  // namespace
}  // namespace frontend
