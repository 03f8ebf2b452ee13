#include "fdc_test_support.h"

#include "driver/options.h"
#include "instrument/writer_settings.h"

#include <sys/time.h>

namespace output {
namespace {

using namespace testing_support;

std::string TrailerOf(const std::string& content) {
  const std::size_t dc = content.rfind("DC ");
  return dc == std::string::npos ? std::string() : content.substr(dc);
}

using FdcRecordTest = FdcTest;

TEST_F(FdcRecordTest, TrailerChecksumFoldsEachRecordAndTheFeatureString) {
  // Records "PR 0 proc \"f\" 1 2\n" and "BL 0 simple \"f\" then 1 1\n", each
  // folded from its own first byte, then "CCOV" in 4-byte groups.
  // Standard: 4A4A4A4A ^ 50522030 ^ 2070726F ^ 63202266 ^ 22203120 ^ 320A0000
  //   ^ 424C2030 ^ 2073696D ^ 706C6520 ^ 22662220 ^ 7468656E ^ 20312031
  //   ^ 0A000000 ^ 43434F56 = 644D0F07 = 1682771719.
  // Alternative, 5-byte groups, the fifth byte shifted by (2i AND 24):
  //   4A4A4A4A ^ 50522030^20 ^ 70726F63^2000 ^ 22662220^310000 ^ 20320A00
  //   ^ 424C2030^20 ^ 73696D70^6C00 ^ 65202266^220000 ^ 20746865^6E000000
  //   ^ 20312031^0A00 ^ 43434F56 = 112E031D = 288228125.
  const struct {
    bool alternative;
    const char* trailer;
  } cases[] = {{false, "DC 1682771719\n"}, {true, "DC 288228125\n"}};
  for (const auto& mode : cases) {
    NewRun();
    settings.alternativeChecksum = mode.alternative;
    const Source source = MakeSource(mode.alternative ? "alt.c" : "std.c");
    FdcFile& file = Writer().Select(source.name, source.directory, 0x0009, nullptr);
    WriteFdcProc(&file, FdcProcKind::kProc, "f", 1, 2);
    WriteFdcBlock(&file, FdcBlockKind::kSimple, "f", "then", 1, 1);
    Writer().WriteTrailers();
    EXPECT_EQ(TrailerOf(ReadAll(file.temporaryPath)), mode.trailer) << "alternative " << mode.alternative;
  }
}

TEST_F(FdcRecordTest, OnlyTheCurrentFileKeepsAnOpenStream) {
  const Source a = MakeSource("a.c");
  const Source b = MakeSource("b.c");
  FdcFile& fa = Writer().Select(a.name, a.directory, 0x0001, nullptr);
  FdcFile& fb = Writer().Select(b.name, b.directory, 0x0001, nullptr);
  EXPECT_EQ(fa.stream, nullptr) << "creating b closed a";
  EXPECT_EQ(fb.serial, 2);
  WriteFdcProc(&fa, FdcProcKind::kProc, "f", 1, 1);
  EXPECT_EQ(fb.stream, nullptr);
  WriteFdcProc(&fb, FdcProcKind::kProc, "g", 2, 2);
  WriteFdcProc(&fa, FdcProcKind::kReturn, "f", 3, 3);  // reopened in append mode
  EXPECT_EQ(fb.stream, nullptr);
  Writer().WriteTrailers();
  EXPECT_NE(ReadAll(dir + "a.c.fdc.fdd").find("TC PR\nPR 0 proc \"f\" 1 1\nPR 1 return \"f\" 3 3\nDC "), std::string::npos);
}

// -FDCDIR without a value puts the file in the current directory.
TEST_F(FdcRecordTest, FdcDirectoryWithoutValueIsTheCurrentDirectory) {
  const Source source = MakeSource("p.c", "src/");
  driver::Options options;
  options.fdcDir = std::nullopt;
  settings = instrument::FdcSettingsOf(options);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  EXPECT_EQ(Writer().Select(source.name, source.directory, 1, nullptr).path, "p.c.fdc");
  EXPECT_TRUE(Exists(dir + "p.c.fdc.fdd"));
  NewRun();
  std::filesystem::current_path(previous);
}

TEST_F(FdcRecordTest, DateIsTheSourceTimeAndANegativeOneIsWrittenAsZero) {
  const Source late = MakeSource("late.c");
  const timeval times[2] = {{3000000000, 0}, {3000000000, 0}};  // beyond 2^31
  ASSERT_EQ(::utimes((dir + "late.c").c_str(), times), 0);
  FdcFile& file = Writer().Select(late.name, late.directory, 1, nullptr);
  EXPECT_EQ(file.date, 3000000000u);
  EXPECT_FALSE(file.noListing);
  const Source missing{support::InternName("gone.c"), support::InternName(dir)};
  FdcFile& unknown = Writer().Select(missing.name, missing.directory, 1, nullptr);
  EXPECT_EQ(unknown.date, 0u);
  EXPECT_TRUE(unknown.noListing);
  Writer().WriteTrailers();
  EXPECT_NE(ReadAll(file.temporaryPath).find("\nFD 0\n"), std::string::npos);
}

TEST_F(FdcRecordTest, EmptyFilesAreDeletedAndThePreviousFileKept) {
  const Source used = MakeSource("used.c");
  const Source idle = MakeSource("idle.c");
  WriteAll(dir + "idle.c.fdc", "previous");
  FdcFile& full = Writer().Select(used.name, used.directory, 1, nullptr);
  FdcFile& empty = Writer().Select(idle.name, idle.directory, 1, nullptr);
  WriteFdcProc(&full, FdcProcKind::kProc, "f", 1, 1);
  Writer().WriteTrailers();
  EXPECT_FALSE(Writer().CloseEmpty());
  EXPECT_FALSE(Exists(empty.temporaryPath));
  EXPECT_EQ(ReadAll(dir + "idle.c.fdc"), "previous") << "a previous FDC file stays untouched";
  EXPECT_FALSE(Exists(dir + "used.c.fdc")) << "in place only once finished";
  FinishFdcFiles(Writer());
  EXPECT_TRUE(Exists(dir + "used.c.fdc"));
  EXPECT_EQ(ReadAll(dir + "idle.c.fdc"), "previous");
}

// A line directive may spell a null byte; the name it gives cannot be a file
// name, and its first part must not be taken for one.
TEST_F(FdcRecordTest, ASourceNameWithANullByteIsFatalAndCreatesNothing) {
  const Source source{support::InternName(std::string("gone.c\0.h", 8)), support::InternName(dir)};
  EXPECT_EXIT(Writer().Select(source.name, source.directory, 1, nullptr), ::testing::ExitedWithCode(7),
              "FATAL ERROR: Cannot create FDC file .*gone\\.c");  // the message ends at the null byte
  EXPECT_FALSE(Exists(dir + "gone.c"));
}

TEST_F(FdcRecordTest, UncreatableFdcFileIsFatal) {
  settings.placement.name = dir + "no/such/dir/all.fdc";
  const Source source = MakeSource("x.c");
  EXPECT_EXIT(Writer().Select(source.name, source.directory, 1, nullptr), ::testing::ExitedWithCode(7),
              "FATAL ERROR: Cannot create FDC file .*no/such/dir/all.fdc: No such file or directory");
}

}  // namespace
}  // namespace output
