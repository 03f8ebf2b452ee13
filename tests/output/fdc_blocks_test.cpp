#include "fdc_test_support.h"

#include "output/fdc_blocks.h"

#include <cstdio>

namespace output {
namespace {

using namespace testing_support;

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

// Only a closing RIK tag ends a section: "@@" is a doubled "@" of the
// listing, "/RIK" outside a tag is text, a tag ending in "/RIKA" is another
// tag, and "VE" lines inside the section belong to the listing. The reader
// takes the file in large chunks and skips runs of bytes; a tag, a "/RIK" or
// a "VE" line cut by a chunk's end must read as when whole. Shifting a
// section's closing lines by one byte at a time over the first 64 KB and a
// little beyond puts every one of their bytes on a chunk's end.
TEST(FdcBlockReaderTest, OnlyAClosingRikTagEndsTheSectionAcrossEveryChunkBoundary) {
  const std::string identity = "FC \"o.c\" \"/s/\"\nFD 1\nTC PR\nDC 2\n@RIK\n  SRC=o.c\nNODE@\n";
  // The closing tag's "/R/RIK" restarts its match halfway.
  const std::string closing = "VE text @@ x /RIK@@ y\n@FUNC /RIKA@ x /RIK y @@ z\nVE still listing\n@/NODE /R/RIK@\n";
  for (std::size_t filler = 65400; filler < 65560; ++filler) {
    const std::string block = kHeader + identity + std::string(filler, 'a') + "\n" + closing;
    const FdcReadResult result = Parse(block + kBlock);
    ASSERT_EQ(result.error, FdcReadError::kNone) << filler;
    ASSERT_EQ(result.blocks.size(), 2u) << filler;
    EXPECT_EQ(result.blocks[0].endOffset, static_cast<std::int64_t>(block.size())) << filler;
    EXPECT_EQ(result.blocks[1].endOffset, static_cast<std::int64_t>(block.size() + kBlock.size())) << filler;
  }
}

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

TEST_F(FdcBadInputTest, TruncatedOrHostileFilesStopWithTheMessageOfWhatIsWrong) {
  using namespace std::string_literals;
  const std::string invalid = "x.c.fdc is not a valid FDC file";
  const std::string unknown = "Unknown coverage type in FDC file .*x.c.fdc";
  const std::string huge(1 << 20, 'a');  // overlong fields are rejected, not buffered
  const std::string identity = kHeader + "FC \"o.c\" \"/s/\"\n";
  const struct {
    std::string previous;
    std::string message;
  } cases[] = {
      {"", "FATAL ERROR: .*x.c.fdc is not a valid FDC file\n"},
      {"XE 3.0e CCOV #i6\n", invalid},
      {kBlock.substr(0, 25), "FC expected but not found in .*x.c.fdc"},    // after it
      {kBlock.substr(0, 30), invalid},                                     // in the quoted name
      {kBlock.substr(0, 42), "FD expected but not found in .*x.c.fdc"},    // after FC
      {kBlock.substr(0, 46), invalid},                                     // "FD 5" without its line end
      {kBlock.substr(0, 47), "TC expected but not found in .*x.c.fdc"},    // after FD
      {kBlock.substr(0, 53), "DC expected but not found in .*x.c.fdc"},    // after TC
      {kBlock.substr(0, 77), invalid},                                     // "DC 1"
      {kBlock.substr(0, 86), invalid},                                     // in the RIK section
      {kBlock.substr(0, kBlock.size() - 2), invalid},                      // closing tag without its "@"
      {kHeader + "FC \"" + huge + "\" \"/s/\"\nFD 1\nTC PR\nDC 2\n", invalid},
      {"VE 3.0e CCOV " + huge + "\nFC \"o.c\" \"/s/\"\n", invalid},
      {identity + "FD 99999999999\nTC PR\nDC 2\n", invalid},
      {identity + "FD 5\0\nTC PR\nDC 2\n"s, invalid},
      {identity + "FD 5\nTC PR P\0\nDC 2\n"s, unknown},
      {identity + "FD 5\nTC PR XX\nDC 2\n", unknown},
      {identity + "FD 5\nTC  \r\nDC 2\n", ".*x.c.fdc has no selected coverage type"},
  };
  for (const auto& each : cases) ExpectRunStops(each.previous, each.message);
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
