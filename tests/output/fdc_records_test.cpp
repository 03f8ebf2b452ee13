#include "fdc_test_support.h"

#include "driver/options.h"
#include "instrument/writer_settings.h"

#include <array>
#include <sys/time.h>
#include <unistd.h>

namespace output {
namespace {

using namespace testing_support;

// The lines of a file without the DC trailer.
std::string WithoutTrailer(const std::string& content) {
  const std::size_t dc = content.rfind("DC ");
  return dc == std::string::npos ? content : content.substr(0, dc);
}

std::string TrailerOf(const std::string& content) {
  const std::size_t dc = content.rfind("DC ");
  return dc == std::string::npos ? std::string() : content.substr(dc);
}

using FdcRecordTest = FdcTest;

TEST_F(FdcRecordTest, EveryRecordKindGivesItsLineLayoutAndCountsIdsPerKind) {
  const Source source = MakeSource("x.c");
  const std::uint16_t coverage = 0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0010 | 0x0040 | 0x0100 | 0x0200 | 0x0400;
  FdcFile& file = Writer().Select(source.name, source.directory, coverage, support::InternName("a\"b\\c\nd"));

  EXPECT_EQ(WriteFdcProc(&file, FdcProcKind::kProc, "main", 3, 9), 0u);
  EXPECT_EQ(WriteFdcProc(&file, FdcProcKind::kEndProc, "main", 9, 9), 1u);
  EXPECT_EQ(WriteFdcCall(&file, "main", "exit(\"q\\\")", 6, 7), 0u);
  EXPECT_EQ(WriteFdcBlock(&file, FdcBlockKind::kSimple, "main", "then", 4, 4), 0u);
  EXPECT_EQ(WriteFdcBlock(&file, FdcBlockKind::kLogical, "main", "0/1", 5, 6), 1u);
  // Conditions share one counter: CA takes 1, CE 2, CC its branch count.
  EXPECT_EQ(WriteFdcCase(&file, "main", "case 1:", true, 4, 4), 0u);
  EXPECT_EQ(WriteFdcCase(&file, "main", "a > 0", false, 5, 5), 1u);
  const std::array<std::uint32_t, 2> operands = {1, 2};
  EXPECT_EQ(WriteFdcCondition(&file, operands, 4, "TT-F", 3), 3u);
  EXPECT_EQ(WriteFdcCondition(&file, std::span<const std::uint32_t>(), 2, "T", kNoExtraValue), 7u);
  EXPECT_EQ(file.conditionCount, 9u);
  Writer().WriteTrailers();

  const std::string expected = "VE 3.0e CCOV #i6 8.2.0.1\n"
                               "FC \"x.c\" \"" + dir + "\" \"a\\\"b\\\\c\\nd\"\n"
                               "FD " + std::to_string(MTime(dir + "x.c")) + "\n"
                               "TC PR RE AP BS BT BL CO CC\n"
                               "PR 0 proc \"main\" 3 9\n"
                               "PR 1 endproc \"main\" 9 9\n"
                               "AP 0 \"main\" \"exit(\\\"q\\\\\\\")\" 6 7\n"
                               "BL 0 simple \"main\" then 4 4\n"
                               "BL 1 logical \"main\" 0/1 5 6\n"
                               "CA 0 \"main\" \"case 1:\" 4 4\n"
                               "CE 1 \"main\" \"a > 0\" 5 5\n"
                               "CC 3 2 1 2 4 TT-F 3\n"
                               "CC 7 0 2 T\n";
  const std::string content = ReadAll(dir + "x.c.fdc.fdd");
  EXPECT_EQ(WithoutTrailer(content), expected);
  EXPECT_EQ(file.serial, 1);
}

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

TEST_F(FdcRecordTest, WithoutFullPathKeyTheTrailerCarriesTheKeyOfTheBareName) {
  settings.fullPathKey = false;
  const Source source = MakeSource("ab.c");
  FdcFile& file = Writer().Select(source.name, source.directory, 0x0001, nullptr);
  Writer().WriteTrailers();
  // No record: 4A4A4A4A ^ "CCOV" 43434F56 = 0909051C = 151586076.
  // Key of "ab.c": 4A4A4A4A ^ 61622E63 ^ 00000000 = 2B286429 = 724067369.
  EXPECT_EQ(TrailerOf(ReadAll(file.temporaryPath)), "DC 151586076 724067369\n");
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
