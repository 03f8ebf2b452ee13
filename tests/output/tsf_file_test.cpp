#include "tsf_test_support.h"

#include "support/file_utils.h"

namespace output {
namespace {

using namespace testing_support;

TEST(TsfIdentifierTest, FiveLowBitsStayAndTheRestMovesOnePlaceLeft) {
  const struct {
    std::uint32_t count;
    std::uint32_t message;
    std::uint32_t instance;
  } rows[] = {{1, 1, 33}, {2, 2, 34}, {31, 31, 63}, {32, 64, 96}, {33, 65, 97}, {64, 128, 160}, {65, 129, 161}};
  for (const auto& row : rows) {
    EXPECT_EQ(TsfIdentifier(row.count, false), row.message) << row.count;
    EXPECT_EQ(TsfIdentifier(row.count, true), row.instance) << row.count;
  }
}

using TsfWriterTest = TsfTest;

TEST_F(TsfWriterTest, BlockLayoutAndChecksumOfRecordsOnly) {
  const Source source = MakeSource("x.c");
  settings.providerFlags = kTsfTrace + kTsfMemory + kTsfPerformance;
  TsfFile& file = Writer().Select(source.name, source.directory);
  file.checksum ^= 0x01020304;  // as the caller folds the valid-line sum
  WriteTsfMessage(&file, "main", 7);
  WriteTsfText(&file, "[/i/q\"h.h,2]");
  const std::uint32_t key = static_cast<std::uint32_t>(support::FileKey(dir + "x.c"));
  // Each record's text folded as 4-byte big-endian words, zero-padded:
  // "LK 7\nMS 1 \"main\"\n" and "LK 0\nTX 34 \"[/i/q\\\"h.h,2]\"\n".
  std::uint32_t expected = 0x4A4A4A4A ^ 0x01020304;
  support::StringChecksum(expected, "LK 7\nMS 1 \"main\"\n", false);
  support::StringChecksum(expected, "LK 0\nTX 34 \"[/i/q\\\"h.h,2]\"\n", false);
  Writer().WriteTrailers();
  const std::string written = ReadAll(dir + "x.c.tsf.tsg");
  EXPECT_EQ(written, "DB \"Grendam-Tracer\"\nUS QBT 14 3.0e\nSO \"" + dir + "x.c\" " +
                         std::to_string(MTime(dir + "x.c")) + " \"txt\"\nLK 1\nIN \"File\" 33 \"x.c\"\n" +
                         "LK 7\nMS 1 \"main\"\nLK 0\nTX 34 \"[/i/q\\\"h.h,2]\"\nID " + std::to_string(key) + " " +
                         std::to_string(expected) + "\nED\n");
}

// .tsg ... .taz: the last character from "g" to "z" (20), then the second
// one down from "s" to "a" (19): 380 names, the first free one taken.
TEST_F(TsfWriterTest, TemporaryNamesCountDownTheSecondCharacterUntilNoneIsLeft) {
  const Source source = MakeSource("x.c");
  WriteAll(dir + "x.c.tsf", "old");
  for (char c = 'g'; c <= 'z'; ++c) WriteAll(dir + "x.c.tsf.ts" + c, "");
  EXPECT_EQ(Writer().Select(source.name, source.directory).temporaryPath, dir + "x.c.tsf.trg");
  NewRun();
  int count = 0;
  for (char second = 's'; second >= 'a'; --second) {
    for (char last = 'g'; last <= 'z'; ++last, ++count) WriteAll(dir + "x.c.tsf.t" + second + last, "");
  }
  ASSERT_EQ(count, 380);
  EXPECT_EXIT(Writer().Select(source.name, source.directory), ::testing::ExitedWithCode(7),
              "FATAL ERROR: Please remove all temporary files remaining for .*x.c.tsf\n");
  EXPECT_EQ(ReadAll(dir + "x.c.tsf"), "old");
}

using TsfMergeTest = TsfTest;

TEST_F(TsfMergeTest, ALocationTextAloneKeepsTheFile) {
  const Source source = MakeSource("x.c");
  TsfFile& file = Writer().Select(source.name, source.directory);
  WriteTsfText(&file, "[/h.h,1]");
  Writer().WriteTrailers();
  EXPECT_FALSE(Writer().CloseEmpty());
  FinishTsfFiles(Writer());
  EXPECT_TRUE(Exists(dir + "x.c.tsf"));
}

TEST_F(TsfMergeTest, ClassificationOfPreviousBlocks) {
  const Source source = MakeSource("x.c");
  const std::uint32_t date = MTime(dir + "x.c");
  const std::string otherFlags = TsfBlockText(dir + "x.c", date, kTsfTrace + kTsfMemory, 1);
  const std::string sameDate = TsfBlockText(dir + "x.c", date, kTsfTrace, 2);
  const std::string olderDate = TsfBlockText(dir + "x.c", date - 10, kTsfTrace, 3);
  const std::string otherSource = TsfBlockText(dir + "y.c", date, kTsfTrace, 4);
  WriteAll(dir + "x.c.tsf", otherFlags + sameDate + olderDate + otherSource);
  RunWithRoutine(source, "f");
  std::string merged = ReadAll(dir + "x.c.tsf");
  ASSERT_EQ(merged.rfind("DB \"Grendam-Tracer\"\nUS QBT 8 3.0e\nSO \"" + dir + "x.c\"", 0), 0u) << merged;
  EXPECT_EQ(merged.substr(merged.find("ED\n") + 3), sameDate + otherSource)
      << "other flags and another date dropped; the same-date variant and the other source kept";

  // Another tool's block runs to the next line beginning with "tsf": here
  // to the end, taking the block behind it along.
  WriteAll(dir + "x.c.tsf", "tsf something else\n" + otherSource);
  RunWithRoutine(source, "f");
  merged = ReadAll(dir + "x.c.tsf");
  EXPECT_EQ(merged.find("ED\n") + 3, merged.size()) << merged;
}

TEST_F(TsfMergeTest, CarriageReturnsGoWhenEveryBlockSurvivesAndStayOtherwise) {
  const Source source = MakeSource("x.c");
  const std::string crBlock = TsfBlockText(dir + "y.c", 1, kTsfTrace, 4, "\r\n");
  WriteAll(dir + "x.c.tsf", crBlock);
  RunWithRoutine(source, "f");
  std::string merged = ReadAll(dir + "x.c.tsf");
  EXPECT_EQ(merged.substr(merged.find("ED\n") + 3), TsfBlockText(dir + "y.c", 1, kTsfTrace, 4));

  const std::string dropped = TsfBlockText(dir + "x.c", 0, kTsfTrace + kTsfMemory, 1, "\r\n");
  WriteAll(dir + "x.c.tsf", dropped + crBlock);
  RunWithRoutine(source, "f");
  merged = ReadAll(dir + "x.c.tsf");
  EXPECT_EQ(merged.substr(merged.find("ED\n") + 3), crBlock);
}

TEST_F(TsfMergeTest, AnInvalidPreviousFileStopsTheRunUntouched) {
  const std::string block = TsfBlockText(dir + "x.c", 1, 8, 2);
  const struct {
    std::string content;
    std::string message;
  } cases[] = {
      {"garbage\n", "is not a valid tsf file \\(#2\\)"},
      {block.substr(0, block.find("ID ")), "ID  expected but not found in .*x.c.tsf"},
      {block.substr(0, block.find(".c\"")), "is not a valid tsf file \\(#6\\)"},
      {"DB \"Grendam-Tracer\"\nUS QBT 8 3.0e\nSO \"/" + std::string(1 << 20, 'p') + "\" 1 \"txt\"\n",
       "is not a valid tsf file \\(#6\\)"},
      {std::string(4096, '\0') + block, "is not a valid tsf file \\(#2\\)"},
  };
  const Source source = MakeSource("x.c");
  for (const auto& c : cases) {
    WriteAll(dir + "x.c.tsf", c.content);
    EXPECT_EXIT(RunWithRoutine(source, "f"), ::testing::ExitedWithCode(7), "FATAL ERROR: .*" + c.message + "\n");
    EXPECT_EQ(ReadAll(dir + "x.c.tsf"), c.content);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2) << "no temporary file is left";
  }
}

TEST_F(TsfMergeTest, MoxtelLogNamesTheFile) {
  support::OpenMoxtelLog(dir + "log");
  RunWithRoutine(MakeSource("x.c"), "f");
  support::CloseMoxtelLog();
  EXPECT_EQ(ReadAll(dir + "log"), "TSF " + dir + "x.c.tsf\n");
}

}  // namespace
}  // namespace output
