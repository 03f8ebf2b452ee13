#include "tsf_test_support.h"

namespace output {
namespace {

using namespace testing_support;

using TsfWriterTest = TsfTest;

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
  const std::string merged = ReadAll(dir + "x.c.tsf");
  ASSERT_EQ(merged.rfind("DB \"Grendam-Tracer\"\nUS QBT 8 3.0e\nSO \"" + dir + "x.c\"", 0), 0u) << merged;
  EXPECT_EQ(merged.substr(merged.find("ED\n") + 3), sameDate + otherSource)
      << "other flags and another date dropped; the same-date variant and the other source kept";
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

TEST_F(TsfMergeTest, MoxtelLogNamesTheFile) {
  support::OpenMoxtelLog(dir + "log");
  RunWithRoutine(MakeSource("x.c"), "f");
  support::CloseMoxtelLog();
  EXPECT_EQ(ReadAll(dir + "log"), "TSF " + dir + "x.c.tsf\n");
}

}  // namespace
}  // namespace output
