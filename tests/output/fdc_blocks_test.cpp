#include "fdc_test_support.h"

#include "output/fdc_blocks.h"

#include <cstdio>

namespace output {
namespace {

using testing_support::Exists;
using testing_support::FdcTest;
using testing_support::ReadAll;
using testing_support::Source;
using testing_support::WriteAll;

FdcReadResult Parse(const std::string& text, std::string_view mark = "#i6") {
  std::FILE* stream = ::fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  FdcReadResult result = ParseFdcBlocks(stream, mark);
  std::fclose(stream);
  return result;
}

const std::string kHeader = "VE 3.0e CCOV #i6 8.2.0.1\n";
// The header tag runs from "@RIK" to the "@" after NODE.
const std::string kRik = "@RIK\n  SRC=o.c\nNODE TYPE=FILE@\n@/NODE /RIK@\n";
// 25 + 17 + 5 + 6 + 20 + 6 + 44 = 123 bytes.
const std::string kBlock = kHeader + "FC \"o.c\" \"/src/\"\nFD 5\nTC PR\nPR 0 proc \"old\" 1 1\nDC 11\n" + kRik;

TEST(FdcBlockReaderTest, ReadsTheIdentityAndEndOfEachBlock) {
  const std::string second = "VE 3.0e CCOV CMCDC #i6 8.2.0.1\nFC \"a\\\"b\\\\c\\nd\" \"/x/\" \"note\"\nFD 4294967295\n"
                             "TC PR RE CC CF\nDC 0 77\n" + kRik;
  const FdcReadResult result = Parse(kBlock + second);
  ASSERT_EQ(result.error, FdcReadError::kNone);
  ASSERT_EQ(result.blocks.size(), 2u);
  const FdcBlock& first = result.blocks[0];
  EXPECT_FALSE(first.foreign);
  EXPECT_EQ(first.sourceName, "o.c");
  EXPECT_EQ(first.sourceDirectory, "/src/");
  EXPECT_EQ(first.date, 5u);
  EXPECT_EQ(first.coverage, 0x0001);
  EXPECT_EQ(first.checksum, 11u);
  EXPECT_EQ(first.endOffset, 123);
  const FdcBlock& next = result.blocks[1];
  EXPECT_EQ(next.sourceName, "a\"b\\c\nd") << "escapes undone, \\n back to a line feed";
  EXPECT_EQ(next.date, 4294967295u);
  EXPECT_EQ(next.coverage, 0x0001 | 0x0002 | 0x0600 | 0x0800);
  EXPECT_EQ(next.checksum, 0u);
  EXPECT_EQ(next.endOffset, static_cast<std::int64_t>(kBlock.size() + second.size()));
}

TEST(FdcBlockReaderTest, FormatMarkDecidesWhetherABlockIsOurs) {
  const std::string body = "FC \"o.c\" \"/s/\"\nFD 1\nTC PR\nDC 2\n" + kRik;
  EXPECT_TRUE(Parse("VE 3.0e CCOV 8.2.0.1\n" + body).blocks.at(0).foreign);
  EXPECT_TRUE(Parse("VE 3.0e CCOV #i5 8.2.0.1\n" + body).blocks.at(0).foreign);
  EXPECT_FALSE(Parse("VE 3.0e CCOV 8.2.0.1\n" + body, "").blocks.at(0).foreign) << "no mark set, none needed";
  // A foreign block needs none of our lines.
  const FdcReadResult foreign = Parse("VE 1.0 anything\nzz\n" + kRik + kBlock);
  ASSERT_EQ(foreign.error, FdcReadError::kNone);
  EXPECT_EQ(foreign.blocks.size(), 2u);
}

TEST(FdcBlockReaderTest, OnlyAClosingRikTagEndsTheSection) {
  // "@@" is a doubled "@" of the listing, "/RIK" outside a tag is text, a
  // tag ending in "/RIKA" is another tag; the "VE" lines inside the section
  // belong to the listing.
  const std::string block = kHeader + "FC \"o.c\" \"/s/\"\nFD 1\nTC PR\nDC 2\n@RIK\n  SRC=o.c\nNODE@\n"
                            "VE text @@ x /RIK@@ y\n@FUNC /RIKA@ body\nVE still listing\n@/NODE /RIK@\n";
  const FdcReadResult result = Parse(block + kBlock);
  ASSERT_EQ(result.error, FdcReadError::kNone);
  ASSERT_EQ(result.blocks.size(), 2u);
  EXPECT_EQ(result.blocks[0].endOffset, static_cast<std::int64_t>(block.size()));
}

// The reader takes the file in large chunks and skips runs of bytes; a tag,
// a "/RIK" or a "VE" line cut by a chunk's end must read as when whole.
// Shifting a section's closing lines by one byte at a time over the first
// 64 KB and a little beyond puts every one of their bytes on a chunk's end.
TEST(FdcBlockReaderTest, SectionsReadTheSameAcrossEveryChunkBoundary) {
  const std::string identity = "FC \"o.c\" \"/s/\"\nFD 1\nTC PR\nDC 2\n@RIK\nNODE@\n";
  // The closing tag's "/R/RIK" restarts its match halfway.
  const std::string closing = "VE inside\n@FUNC /RIKA@ x /RIK y @@ z @/NODE /R/RIK@\n";
  for (std::size_t filler = 65400; filler < 65560; ++filler) {
    const std::string block = kHeader + identity + std::string(filler, 'a') + "\n" + closing;
    const FdcReadResult result = Parse(block + kBlock);
    ASSERT_EQ(result.error, FdcReadError::kNone) << filler;
    ASSERT_EQ(result.blocks.size(), 2u) << filler;
    EXPECT_EQ(result.blocks[0].endOffset, static_cast<std::int64_t>(block.size())) << filler;
    EXPECT_EQ(result.blocks[1].endOffset, static_cast<std::int64_t>(block.size() + kBlock.size())) << filler;
  }
}

TEST(FdcBlockReaderTest, AMissingFileHasNoBlocks) { EXPECT_TRUE(ReadFdcBlocks("/nonexistent/x.fdc", kFdcFormatMark).empty()); }

TEST(FdcBlockReaderTest, AFileEndingRightAfterTheSectionIsComplete) {
  const FdcReadResult result = Parse(kBlock.substr(0, kBlock.size() - 1));
  EXPECT_EQ(result.error, FdcReadError::kNone);
  EXPECT_EQ(result.blocks.size(), 1u);
  const std::string noRik = kHeader + "FC \"o.c\" \"/s/\"\nFD 1\nTC PR\nDC 2\n";
  EXPECT_EQ(Parse(noRik).error, FdcReadError::kNone) << "a block written without RIK section";
}

class FdcBadInputTest : public FdcTest {
 protected:
  // A run whose previous x.c.fdc holds `previous` stops in the merge with
  // the message; the previous file stays and no temporary file is left.
  void ExpectRunStops(const std::string& previous, const std::string& message) {
    const Source source = MakeSource("x.c");
    WriteAll(dir + "x.c.fdc", previous);
    EXPECT_EXIT(RunWithProc(source, "f"), ::testing::ExitedWithCode(7), message) << previous.substr(0, 200);
    EXPECT_EQ(ReadAll(dir + "x.c.fdc"), previous);
    EXPECT_FALSE(Exists(dir + "x.c.fdc.fdd"));
  }
};

TEST_F(FdcBadInputTest, EmptyOrNotStartingWithVeIsInvalid) {
  ExpectRunStops("", "FATAL ERROR: .*x.c.fdc is not a valid FDC file\n");
  ExpectRunStops("XE 3.0e CCOV #i6\n", "x.c.fdc is not a valid FDC file");
}

TEST_F(FdcBadInputTest, TruncatedFileStopsWithTheMessageOfWhatIsMissing) {
  const std::string invalid = "x.c.fdc is not a valid FDC file";
  const struct {
    std::size_t length;
    std::string message;
  } cuts[] = {
      {1, invalid},                                              // "V"
      {20, "FC expected but not found in .*x.c.fdc"},            // in the version line
      {25, "FC expected but not found in .*x.c.fdc"},            // after it
      {30, invalid},                                             // in the quoted name
      {42, "FD expected but not found in .*x.c.fdc"},            // after FC
      {46, invalid},                                             // "FD 5" without its line end
      {47, "TC expected but not found in .*x.c.fdc"},            // after FD
      {53, "DC expected but not found in .*x.c.fdc"},            // after TC
      {60, "DC expected but not found in .*x.c.fdc"},            // in the PR record
      {77, invalid},                                             // "DC 1"
      {86, invalid},                                             // in the RIK section
      {kBlock.size() - 2, invalid},                              // closing tag without its "@"
  };
  for (const auto& cut : cuts) ExpectRunStops(kBlock.substr(0, cut.length), cut.message);
}

TEST_F(FdcBadInputTest, OverlongFieldsAreRejectedNotBuffered) {
  const std::string huge(1 << 20, 'a');
  ExpectRunStops(kHeader + "FC \"" + huge + "\" \"/s/\"\nFD 1\nTC PR\nDC 2\n", "x.c.fdc is not a valid FDC file");
  ExpectRunStops("VE 3.0e CCOV " + huge + "\nFC \"o.c\" \"/s/\"\n", "x.c.fdc is not a valid FDC file");
  ExpectRunStops(kHeader + "FC \"o.c\" \"/s/\"\nFD 99999999999\nTC PR\nDC 2\n", "x.c.fdc is not a valid FDC file");
}

TEST_F(FdcBadInputTest, NulBytesAndBadCoverageTokensAreFatal) {
  using namespace std::string_literals;
  ExpectRunStops(kHeader + "FC \"o.c\" \"/s/\"\nFD 5\0\nTC PR\nDC 2\n"s, "x.c.fdc is not a valid FDC file");
  ExpectRunStops(kHeader + "FC \"o.c\" \"/s/\"\nFD 5\nTC PR P\0\nDC 2\n"s, "Unknown coverage type in FDC file .*x.c.fdc");
  ExpectRunStops(kHeader + "FC \"o.c\" \"/s/\"\nFD 5\nTC PR XX\nDC 2\n", "Unknown coverage type in FDC file .*x.c.fdc");
  ExpectRunStops(kHeader + "FC \"o.c\" \"/s/\"\nFD 5\nTC  \r\nDC 2\n", ".*x.c.fdc has no selected coverage type");
}

TEST_F(FdcBadInputTest, AVeryLongRecordLineIsValidAndCopied) {
  const Source source = MakeSource("x.c");
  const std::string record = "CC 0 1 " + std::string(1 << 20, '7') + " 2 TF\n";
  const std::string previous = kHeader + "FC \"o.c\" \"/s/\"\nFD 5\nTC CO\n" + record + "DC 2\n" + kRik;
  WriteAll(dir + "x.c.fdc", previous);
  RunWithProc(source, "f");
  const std::string merged = ReadAll(dir + "x.c.fdc");
  EXPECT_EQ(merged.substr(merged.size() - previous.size()), previous);
}

}  // namespace
}  // namespace output
