// quorbcc1 on preprocessed files whose line directives name sources with
// double quotes, backslashes, carriage returns and line feeds in their names
// and directories, three runs merged into one FDC file; the report must read
// every name back exactly.
#include "report/fdc_units.h"

#include "built_tool_fixture.h"
#include "report_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utime.h>
#include <vector>

namespace report {
namespace {

constexpr const char* kProgram = "int f(int x)\n{\n  if (x > 2)\n    return 1;\n  return 2;\n}\n";

// A name as the preprocessor writes it into a line directive: backslash and
// double quote escaped, control bytes in octal.
std::string DirectiveName(const std::string& path) {
  std::string escaped;
  for (const char c : path) {
    if (c == '\\' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r') {
      escaped += "\\015";
    } else if (c == '\n') {
      escaped += "\\012";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

struct Named {
  std::string directory;  // absolute, ending with "/"
  std::string name;
};

class FdcQuotedNamesTest : public BuiltToolFixture {
 protected:
  void SetUp() override {
    BuiltToolFixture::SetUp();
    scratch = directory.string() + "/";
  }

  /// The source file, written with the program, in a directory of its own.
  Named MakeSource(const std::string& subdirectory, const std::string& name) {
    const Named source{scratch + subdirectory + "/", name};
    std::filesystem::create_directories(source.directory);
    std::ofstream(source.directory + source.name, std::ios::binary) << kProgram;
    return source;
  }

  /// One quorbcc1 run over the preprocessed form of `source`, into all.fdc.
  void Instrument(const Named& source) {
    std::ofstream(scratch + "a.i", std::ios::binary)
        << "# 1 \"" << DirectiveName(source.directory + source.name) << "\"\n"
        << kProgram;
    ASSERT_EQ(RunTool("a.i out.c gcc.def -NOINFO -FDCNAME=all.fdc >/dev/null 2>messages"), 0)
        << testing_support::ReadAll(scratch + "messages");
  }

  /// The report's reading of all.fdc: the blocks in this order, with exactly
  /// these names.
  void ExpectBlocks(const std::vector<Named>& expected) {
    const FdcReadOutcome read = ReadFdcUnits(scratch + "all.fdc");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.units.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(read.units[i].sourceName, expected[i].name) << "block " << i;
      EXPECT_EQ(read.units[i].sourceDirectory, expected[i].directory) << "block " << i;
      EXPECT_FALSE(read.units[i].procs.empty()) << "block " << i;
      EXPECT_FALSE(read.units[i].listing.empty()) << "block " << i << " lost its listing";
    }
  }

  std::string scratch;  // the scratch directory, ending with "/"
};

// The merge keeps the previous file's bytes when it copies surviving blocks
// one by one (some block replaced), but removes every carriage return when
// it appends the whole previous file; so the names with carriage returns are
// checked once their block has survived a replacing merge.
TEST_F(FdcQuotedNamesTest, NamesComeBackExactlyThroughThreeMergedRuns) {
  const Named plain = MakeSource("d\"i\\r\n", "p\"q\\r\n.c");
  const Named every = MakeSource("a\"b\\c\rd\n", "n\"o\\p\rq\n.c");

  Instrument(plain);
  ExpectBlocks({plain});

  Instrument(every);  // another source: the previous block survives
  ExpectBlocks({every, plain});

  // A new date for the first source: its old block is replaced, and the
  // other one is copied behind the new block.
  const std::string plainPath = plain.directory + plain.name;
  const utimbuf times{1600000000, 1600000000};
  ASSERT_EQ(::utime(plainPath.c_str(), &times), 0);
  Instrument(plain);
  ExpectBlocks({plain, every});
}

}  // namespace
}  // namespace report
