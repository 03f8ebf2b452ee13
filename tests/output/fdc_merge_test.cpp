#include "fdc_test_support.h"

#include "output/fdc_blocks.h"

#include <cstdio>
#include <sys/time.h>

namespace output {
namespace {

using testing_support::Exists;
using testing_support::FdcTest;
using testing_support::ReadAll;
using testing_support::Source;
using testing_support::WriteAll;

std::size_t CountBlocks(const std::string& content) {
  std::size_t count = content.rfind("VE ", 0) == 0 ? 1 : 0;
  for (std::size_t at = content.find("\nVE "); at != std::string::npos; at = content.find("\nVE ", at + 1)) ++count;
  return count;
}

// A hand-written block of our format with a RIK section.
std::string Block(const std::string& name, const std::string& directory, std::uint32_t date,
                  const std::string& tokens, std::uint32_t checksum, const std::string& eol = "\n") {
  return "VE 3.0e CCOV #i6 8.2.0.1" + eol + "FC \"" + name + "\" \"" + directory + "\"" + eol + "FD " +
         std::to_string(date) + eol + "TC " + tokens + eol + "PR 0 proc \"old\" 1 1" + eol + "DC " +
         std::to_string(checksum) + eol + "@RIK" + eol + "  SRC=" + name + eol + "NODE TYPE=FILE@" + eol + "@/NODE /RIK@" + eol;
}

using FdcMergeTest = FdcTest;

// A first run too writes its block aside: a half-written FDC file at its
// final path would stop every later run that merges with it.
TEST_F(FdcMergeTest, EveryRunGoesThroughTheTemporaryFileAndReplacesTheOldBlock) {
  const Source source = MakeSource("x.c");
  FdcFile& first = Writer().Select(source.name, source.directory, 1, nullptr);
  EXPECT_EQ(first.temporaryPath, dir + "x.c.fdc.fdd");
  EXPECT_FALSE(Exists(dir + "x.c.fdc"));
  WriteFdcProc(&first, FdcProcKind::kProc, "f", 1, 2);
  CompleteRun();
  const std::string firstContent = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(firstContent.rfind("VE 3.0e CCOV #i6 8.2.0.1\nFC \"x.c\"", 0), 0u) << firstContent;

  FdcFile& second = Writer().Select(source.name, source.directory, 1, nullptr);
  EXPECT_EQ(second.temporaryPath, dir + "x.c.fdc.fdd");
  EXPECT_TRUE(Exists(dir + "x.c.fdc.fdd"));
  WriteFdcProc(&second, FdcProcKind::kProc, "f", 1, 2);
  CompleteRun();

  EXPECT_FALSE(Exists(dir + "x.c.fdc.fdd"));
  EXPECT_FALSE(Exists(dir + "x.c.fdc.lock")) << "the lock file goes with the update";
  EXPECT_EQ(ReadAll(dir + "x.c.fdc"), firstContent) << "the same block once";
}

TEST_F(FdcMergeTest, TwoSourcesIntoOneFdcNameKeepBothMostRecentFirst) {
  settings.placement.name = dir + "all.fdc";
  RunWithProc(MakeSource("a.c"), "fa");
  RunWithProc(MakeSource("b.c"), "fb");
  const std::string merged = ReadAll(dir + "all.fdc");
  EXPECT_EQ(CountBlocks(merged), 2u);
  const std::size_t b = merged.find("FC \"b.c\"");
  const std::size_t a = merged.find("FC \"a.c\"");
  ASSERT_NE(a, std::string::npos);
  EXPECT_LT(b, a);
}

TEST_F(FdcMergeTest, OtherChecksumVariantSurvivesBehindAndSameChecksumIsReplaced) {
  const Source source = MakeSource("x.c");
  RunWithProc(source, "one");
  RunWithProc(source, "two");  // same date and coverage, other checksum
  std::string merged = ReadAll(dir + "x.c.fdc");
  ASSERT_EQ(CountBlocks(merged), 2u);
  EXPECT_LT(merged.find("\"two\""), merged.find("\"one\""));

  RunWithProc(source, "two");  // same checksum as the first block: replaced
  merged = ReadAll(dir + "x.c.fdc");
  ASSERT_EQ(CountBlocks(merged), 2u) << merged;
  EXPECT_LT(merged.find("\"two\""), merged.find("\"one\""));

  RunWithProc(source, "one", 0x0003);  // other coverage: both old blocks go
  merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 1u);
  EXPECT_NE(merged.find("TC PR RE\n"), std::string::npos);
}

TEST_F(FdcMergeTest, VariantOfASourceDatedPast2038Survives) {
  const Source source = MakeSource("x.c");
  const timeval times[2] = {{3000000000, 0}, {3000000000, 0}};  // written as "FD 0"
  ASSERT_EQ(::utimes((dir + "x.c").c_str(), times), 0);
  RunWithProc(source, "one");
  RunWithProc(source, "two");
  EXPECT_EQ(CountBlocks(ReadAll(dir + "x.c.fdc")), 2u);
}

TEST_F(FdcMergeTest, ForeignVersionOrMissingMarkDropsTheBlockSilently) {
  const Source source = MakeSource("x.c");
  const std::string other = Block("o.c", "/src/", 5, "PR", 11);
  WriteAll(dir + "x.c.fdc", "VE 2.0 CCOV #i6 7.0\nFC \"o.c\" \"/src/\"\nDC 1\n@RIK\nNODE@\n@/NODE /RIK@\n"
                            "VE 3.0e CCOV 8.2.0.1\nFC \"o.c\" \"/src/\"\nFD 5\nTC PR\nDC 12\n@RIK\nNODE@\n@/NODE /RIK@\n" +
                                other);
  ::testing::internal::CaptureStderr();
  RunWithProc(source, "f");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  const std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 2u);
  EXPECT_EQ(merged.substr(merged.size() - other.size()), other);
}

TEST_F(FdcMergeTest, BlockWithoutRikSectionCarriesTheNextBlockAlong) {
  const Source source = MakeSource("x.c");
  const std::string noRik = "VE 3.0e CCOV #i6 8.2.0.1\nFC \"o.c\" \"/src/\"\nFD 5\nTC PR\nDC 9\n";
  const std::string same = Block("x.c", dir, 1, "PR", 3);
  WriteAll(dir + "x.c.fdc", noRik + same);
  RunWithProc(source, "f");
  std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 3u) << "the same-source block rides along with o.c";
  EXPECT_EQ(merged.substr(merged.size() - noRik.size() - same.size()), noRik + same);

  const std::string sameNoRik = "VE 3.0e CCOV #i6 8.2.0.1\nFC \"x.c\" \"" + dir + "\"\nFD 5\nTC PR\nDC 9\n";
  const std::string other = Block("o.c", "/src/", 5, "PR", 11);
  WriteAll(dir + "x.c.fdc", sameNoRik + other);
  RunWithProc(source, "f");
  merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 1u) << "o.c is dropped together with the old x.c block";
}

TEST_F(FdcMergeTest, CarriageReturnsStayWhenABlockIsDroppedAndLineEndsLoseThemWhenAllSurvive) {
  const Source source = MakeSource("x.c");
  const std::string other = Block("o.c", "/src/", 5, "PR", 11, "\r\n");
  WriteAll(dir + "x.c.fdc", Block("x.c", dir, 1, "PR", 3, "\r\n") + other);
  RunWithProc(source, "f");
  std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 2u);
  EXPECT_EQ(merged.substr(merged.size() - other.size()), other) << "copied byte for byte";

  WriteAll(dir + "x.c.fdc", other);
  RunWithProc(source, "f");
  merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(merged.find('\r'), std::string::npos);
  const std::string stripped = Block("o.c", "/src/", 5, "PR", 11);
  EXPECT_EQ(merged.substr(merged.size() - stripped.size()), stripped);

  // A carriage return inside a name is no line end: it stays.
  const std::string named = Block("o.c", "/s\rc/", 5, "PR", 11);
  WriteAll(dir + "x.c.fdc", named);
  RunWithProc(source, "f");
  merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(merged.substr(merged.size() - named.size()), named);
}

TEST_F(FdcMergeTest, EachFinishedFileIsLogged) {
  support::OpenMoxtelLog(dir + "moxtel.log");
  settings.placement.name = dir + "all.fdc";
  RunWithProc(MakeSource("a.c"), "fa");
  const Source idle = MakeSource("idle.c");
  settings.placement.name = std::nullopt;
  Writer().Select(idle.name, idle.directory, 1, nullptr);  // no records: not logged
  CompleteRun();
  support::CloseMoxtelLog();
  EXPECT_EQ(ReadAll(dir + "moxtel.log"), "FDC " + dir + "all.fdc\n");
}

}  // namespace
}  // namespace output
