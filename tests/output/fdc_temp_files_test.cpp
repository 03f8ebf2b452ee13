#include "fdc_test_support.h"

#include "output/fdc_temp_files.h"

namespace output {
namespace {

using namespace testing_support;

TEST(TemporaryNameTest, LastThreeCharactersCountFromDToZ) {
  const struct {
    const char* from;
    const char* to;
  } steps[] = {{"x.fdc.fdd", "x.fdc.fde"}, {"x.fdc.fdz", "x.fdc.fed"}, {"x.fdc.fez", "x.fdc.ffd"},
               {"x.fdc.fzz", "x.fdc.gdd"}, {"x.fdc.zyz", "x.fdc.zzd"}};
  for (const auto& step : steps) {
    std::string name = step.from;
    EXPECT_TRUE(NextTemporaryName(name));
    EXPECT_EQ(name, step.to);
  }
  std::string last = "x.fdc.zzz";
  EXPECT_FALSE(NextTemporaryName(last));
}

using FdcTemporaryTest = FdcTest;

TEST_F(FdcTemporaryTest, EveryCandidatePresentStopsTheRun) {
  const Source source = MakeSource("x.c");
  WriteAll(dir + "x.c.fdc", "old");
  // .fdd ... .zzz: the third character from "f" to "z" (21 values), the
  // other two from "d" to "z" (23 each): 21 * 23 * 23 = 11109 candidates.
  std::string candidate = dir + "x.c.fdc.fdd";
  std::size_t count = 0;
  do {
    std::ofstream{candidate};
    ++count;
  } while (NextTemporaryName(candidate));
  ASSERT_EQ(count, 11109u);
  EXPECT_EXIT(Writer().Select(source.name, source.directory, 1, nullptr), ::testing::ExitedWithCode(7),
              "FATAL ERROR: Please remove all temporary files remaining for .*x.c.fdc\n");
  EXPECT_EQ(ReadAll(dir + "x.c.fdc"), "old");
}

TEST_F(FdcTemporaryTest, FatalErrorAfterWritingLeavesThePreviousFileAndNoTemporaryFile) {
  const Source kept = MakeSource("x.c");
  const Source fresh = MakeSource("y.c");
  const std::string previous = "VE 3.0e CCOV #i6 8.2.0.1\r\nFC \"x.c\" \"/d/\"\nFD 1\nTC PR\nPR 0 proc \"f\" 1 1\nDC 7\n";
  WriteAll(dir + "x.c.fdc", previous);
  EXPECT_EXIT(
      {
        FdcFile& file = Writer().Select(kept.name, kept.directory, 1, nullptr);
        WriteFdcProc(&file, FdcProcKind::kProc, "main", 1, 9);
        FdcFile& other = Writer().Select(fresh.name, fresh.directory, 1, nullptr);
        WriteFdcProc(&other, FdcProcKind::kProc, "g", 1, 2);
        WriteFdcProc(&file, FdcProcKind::kReturn, "main", 4, 4);
        if (!Exists(dir + "x.c.fdc.fdd") || !Exists(dir + "y.c.fdc.fdd")) std::exit(1);
        support::DisplayFatalError(QStringLiteral("stop"));
      },
      ::testing::ExitedWithCode(7), "FATAL ERROR: stop");
  EXPECT_EQ(ReadAll(dir + "x.c.fdc"), previous);
  EXPECT_FALSE(Exists(dir + "x.c.fdc.fdd"));
  EXPECT_FALSE(Exists(dir + "y.c.fdc")) << "an interrupted run creates no FDC file";
  EXPECT_FALSE(Exists(dir + "y.c.fdc.fdd"));
}

TEST_F(FdcTemporaryTest, FilesFinishedBeforeAFatalErrorStayInPlace) {
  const Source source = MakeSource("x.c");
  WriteAll(dir + "x.c.fdc", "VE 9.9 OLD\n");
  EXPECT_EXIT(
      {
        FdcFile& file = Writer().Select(source.name, source.directory, 1, nullptr);
        WriteFdcProc(&file, FdcProcKind::kProc, "main", 1, 9);
        Writer().WriteTrailers();
        FinishFdcFiles(Writer());
        support::DisplayFatalError(QStringLiteral("later failure"));
      },
      ::testing::ExitedWithCode(7), "later failure");
  const std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(merged.rfind("VE 3.0e CCOV #i6 8.2.0.1\nFC \"x.c\"", 0), 0u) << merged;
  EXPECT_FALSE(Exists(dir + "x.c.fdc.fdd"));
}

}  // namespace
}  // namespace output
