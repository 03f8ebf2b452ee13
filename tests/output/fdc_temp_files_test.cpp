#include "fdc_test_support.h"

#include "output/fdc_temp_files.h"

namespace output {
namespace {

using namespace testing_support;

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
