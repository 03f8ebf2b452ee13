#include "fdc_test_support.h"

#include "output/fdc_blocks.h"

#include <sys/time.h>
#include <vector>

namespace output {
namespace {

using namespace testing_support;

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

TEST_F(FdcMergeTest, CarriageReturnsStayWhenABlockIsDroppedAndInsideANameWhenAllSurvive) {
  const Source source = MakeSource("x.c");
  const std::string other = Block("o.c", "/src/", 5, "PR", 11, "\r\n");
  WriteAll(dir + "x.c.fdc", Block("x.c", dir, 1, "PR", 3, "\r\n") + other);
  RunWithProc(source, "f");
  std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(CountBlocks(merged), 2u);
  EXPECT_EQ(merged.substr(merged.size() - other.size()), other) << "copied byte for byte";

  // A carriage return inside a name is no line end: it stays.
  const std::string named = Block("o.c", "/s\rc/", 5, "PR", 11);
  WriteAll(dir + "x.c.fdc", named);
  RunWithProc(source, "f");
  merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(merged.substr(merged.size() - named.size()), named);
}

// The merge reads a previous FC line holding every escaped byte and raw
// carriage returns back exactly, so the new block replaces the old one.
TEST_F(FdcMergeTest, ABlockNamedWithEscapesAndCarriageReturnsIsReplaced) {
  const std::string name = "a\"b\\c\rd\ne\\\"\r\n.c";
  const std::string subdirectory = "q\"u\\o\rt\ne/";
  const Source source = MakeSource(name, subdirectory);
  RunWithProc(source, "f\"1\\\r\n", 0x0001);
  RunWithProc(source, "\\\\\"\"\n\n\r\rg", 0x0003);  // other coverage types: the old block goes
  const std::vector<FdcBlock> blocks = ReadFdcBlocks(dir + subdirectory + name + ".fdc", kFdcFormatMark);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceName, name);
  EXPECT_EQ(blocks[0].sourceDirectory, dir + subdirectory);
  EXPECT_EQ(blocks[0].coverage, 0x0003);
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
