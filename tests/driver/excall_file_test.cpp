#include "driver/excall_file.h"
#include "driver/options.h"

#include "analysis_fixture.h"

namespace driver {
namespace {

using ExcallFileTest = AnalysisTest;

TEST_F(ExcallFileTest, NamesAreMarkedAndCountedWithRepeats) {
  const std::string path = TempPath("quorb_excall_1");
  WriteFile(path, "");
  ::testing::internal::CaptureStderr();
  ReadExcallFile(path);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - INFO: 0 methods found in excall file\n");

  WriteFile(path, "foo, bar\n  foo;$abc x$y 9lives\n" + std::string(1023, 'n'));
  ::testing::internal::CaptureStderr();
  ReadExcallFile(path);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - INFO: 7 methods found in excall file\n");
  for (const char* name : {"foo", "bar", "abc", "x$y", "9lives"}) {
    EXPECT_EQ(support::InternName(name)->flags, support::kExcludedCall) << name;
  }
  EXPECT_EQ(support::InternName(std::string(1023, 'n'))->flags, support::kExcludedCall);
  EXPECT_EQ(support::InternName("$abc")->flags, 0u);
  std::remove(path.c_str());
}

TEST_F(ExcallFileTest, CallCoverageReadsTheFileAndAMissingOneIsFatal) {
  setenv("QBLTGT", "/opt/tdp", 1);
  Options options;
  std::vector<const char*> argv{"quorbcc1", "a.i", "b.c", "gcc.def", "-CALL", "-EXCALL=/nonexistent/excall"};
  EXPECT_EXIT(AnalyseOptions(static_cast<int>(argv.size()), argv.data(), options),
              ::testing::ExitedWithCode(support::kExitFatal),
              "^Nivrak quorbcc1 - FATAL ERROR: Cannot open -EXCALL file /nonexistent/excall\n$");
}

}  // namespace
}  // namespace driver
