// Source, directory and function names holding double quotes, backslashes,
// carriage returns and line feeds, written by the FDC writer, merged with
// the previous file and read back by the merge's reader and the report's.
#include "fdc_test_support.h"

#include "output/fdc_blocks.h"
#include "report/fdc_units.h"

#include <cstdio>
#include <vector>

namespace output {
namespace {

using testing_support::FdcTest;
using testing_support::Source;

struct ExpectedBlock {
  std::string name, directory, function;
};

// The report checks a listing against its block, which the fixture's
// stand-in section is not; the blocks read the same without it.
std::string WithoutListings(std::string text) {
  const std::string standIn = "@RIK\n  SRC=\nNODE TYPE=FILE@\n@/NODE /RIK@\n";
  for (std::size_t at = text.find(standIn); at != std::string::npos; at = text.find(standIn, at)) {
    text.erase(at, standIn.size());
  }
  return text;
}

// Both readers must see the blocks in this order with exactly these names.
void ExpectBlocks(const std::string& fdcPath, const std::vector<ExpectedBlock>& expected) {
  const report::FdcReadOutcome read = report::ParseFdcUnits(fdcPath, WithoutListings(testing_support::ReadAll(fdcPath)));
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.units.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(read.units[i].sourceName, expected[i].name) << "block " << i;
    EXPECT_EQ(read.units[i].sourceDirectory, expected[i].directory) << "block " << i;
    ASSERT_EQ(read.units[i].procs.size(), 1u) << "block " << i;
    EXPECT_EQ(read.units[i].procs[0].function, expected[i].function) << "block " << i;
  }

  FdcStream stream(std::fopen(fdcPath.c_str(), "rb"));
  ASSERT_TRUE(stream);
  const FdcReadResult blocks = ParseFdcBlocks(stream.get(), kFdcFormatMark);
  ASSERT_EQ(blocks.error, FdcReadError::kNone);
  ASSERT_EQ(blocks.blocks.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(blocks.blocks[i].sourceName, expected[i].name) << "block " << i;
    EXPECT_EQ(blocks.blocks[i].sourceDirectory, expected[i].directory) << "block " << i;
  }
}

using FdcQuotedNamesTest = FdcTest;

// The second run merges with a previous file whose FC line holds raw
// carriage returns: the merge must read it, and the new block replaces it.
TEST_F(FdcQuotedNamesTest, EveryEscapedByteAndCarriageReturnsComeBackAfterAReplacingMerge) {
  const std::string name = "a\"b\\c\rd\ne\\\"\r\n.c";
  const std::string subdirectory = "q\"u\\o\rt\ne/";
  const Source source = MakeSource(name, subdirectory);
  const std::string fdcPath = dir + subdirectory + name + ".fdc";

  const std::string first = "f\"1\\\r\n";
  RunWithProc(source, first, 0x0001);
  ExpectBlocks(fdcPath, {{name, dir + subdirectory, first}});

  const std::string second = "\\\\\"\"\n\n\r\rg";
  RunWithProc(source, second, 0x0003);  // other coverage types: the old block goes
  ExpectBlocks(fdcPath, {{name, dir + subdirectory, second}});
}

// A block of the same source with another checksum survives behind the new
// one, copied from the previous file.
TEST_F(FdcQuotedNamesTest, QuotesBackslashesAndLineFeedsComeBackFromASurvivingBlock) {
  const std::string name = "x\"\\\ny.c";
  const std::string subdirectory = "s\"\\\nt/";
  const Source source = MakeSource(name, subdirectory);
  const std::string fdcPath = dir + subdirectory + name + ".fdc";

  RunWithProc(source, "one\"\\\n");
  RunWithProc(source, "two\\\"\n");
  ExpectBlocks(fdcPath, {{name, dir + subdirectory, "two\\\"\n"}, {name, dir + subdirectory, "one\"\\\n"}});
}

}  // namespace
}  // namespace output
