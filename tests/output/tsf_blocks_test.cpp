#include "tsf_test_support.h"

#include "output/tsf_blocks.h"

namespace output {
namespace {

using testing_support::TsfBlockText;

constexpr TsfProvider kTrace{"QBT", 8};

TsfReadResult Parse(const std::string& content) { return ParseTsfBlocks(content, kTrace, "/work/"); }

TEST(TsfReaderTest, IdentityAndEndOfEachBlock) {
  const std::string first = TsfBlockText("/src/x.c", 1700000000, 8, 4242);
  const std::string second = TsfBlockText("/a b/dir/q\\\"\\\\y.c", 5, 8, 7);  // escapes undone
  const TsfReadResult result = Parse(first + second);
  ASSERT_EQ(result.error, TsfReadError::kNone);
  ASSERT_EQ(result.blocks.size(), 2u);
  EXPECT_EQ(result.blocks[0].key, 5u);
  EXPECT_EQ(result.blocks[0].checksum, 4242u);
  EXPECT_EQ(result.blocks[1].sourceDirectory, "/a b/dir/");
  EXPECT_EQ(result.blocks[1].sourceName, "q\"\\y.c");
  EXPECT_EQ(result.blocks[1].endOffset, static_cast<std::int64_t>(first.size() + second.size()));
}

TEST(TsfReaderTest, ForeignBlocks) {
  const struct {
    const char* why;
    std::string text;
  } cases[] = {
      {"another tracer", "DB \"Other\"\nUS QBT 8 3.0e\nSO \"/x.c\" 1 \"txt\"\nID 1 2\nED\n"},
      {"another provider", "DB \"Grendam-Tracer\"\nUS QBX 8 3.0e\nSO \"/x.c\" 1 \"txt\"\nID 1 2\nED\n"},
      {"another version", "DB \"Grendam-Tracer\"\nUS QBT 8 2.9\nSO \"/x.c\" 1 \"txt\"\nID 1 2\nED\n"},
      {"ID before US", "DB \"Grendam-Tracer\"\nID 1 2\nUS QBT 8 3.0e\nED\n"},
      {"no US", "DB \"Grendam-Tracer\"\nSO \"/x.c\" 1 \"txt\"\nED\n"},
      {"another tool", "tsf 1\nanything\n"},
  };
  for (const auto& c : cases) {
    const TsfReadResult result = Parse(c.text);
    ASSERT_EQ(result.error, TsfReadError::kNone) << c.why;
    ASSERT_EQ(result.blocks.size(), 1u) << c.why;
    EXPECT_TRUE(result.blocks[0].foreign) << c.why;
  }
}

TEST(TsfReaderTest, AnotherToolsBlockRunsToTheNextOfItsKind) {
  const std::string ours = TsfBlockText("/x.c", 1, 8, 2);
  const TsfReadResult result = Parse("tsf a\n" + ours + "tsf b\n" + ours);
  ASSERT_EQ(result.error, TsfReadError::kNone);
  ASSERT_EQ(result.blocks.size(), 2u) << "each tsf block swallows what follows up to the next";
  EXPECT_TRUE(result.blocks[0].foreign);
  EXPECT_EQ(result.blocks[0].endOffset, static_cast<std::int64_t>(6 + ours.size()));
}

TEST(TsfReaderTest, EveryInvalidCaseHasItsNumber) {
  const std::string db = "DB \"Grendam-Tracer\"\n";
  const std::string us = "US QBT 8 3.0e\n";
  const struct {
    int number;
    std::string text;
  } cases[] = {
      {1, ""},
      {1, "DB"},
      {2, "VE 3.0e\n"},
      {2, "\nDB \"Grendam-Tracer\"\n"},
      {2, std::string(4096, '\0') + TsfBlockText("/x.c", 1, 8, 2)},
      {3, "DB\n"},
      {3, db + "US \n"},
      {4, db + "US QBT\n"},
      {4, db + "US QBT x8 3.0e\n"},
      {4, db + "US QBT 123 3.0e\n"},
      {5, db + "US QBT 8\n"},
      {6, db + us + "SO 12 \"txt\"\n"},
      {6, db + us + "SO \"/x.c 12\nID 1 2\n"},
      {6, db + us + "SO \"\" 12\n"},
      {6, db + us + "SO \"/" + std::string(1 << 20, 'p') + "\" 1 \"txt\"\n"},  // overlong, not buffered
      {7, db + us + "SO \"/x.c\"\n"},
      {7, db + us + "SO \"/x.c\" -4 \"txt\"\n"},
      {8, db + us + "SO \"/x.c\" 1 \"txt\"\nID \n"},
      {8, db + us + "SO \"/x.c\" 1 \"txt\"\nID 99999999999 1\n"},
      {9, db + us + "SO \"/x.c\" 1 \"txt\"\nID 1\n"},
  };
  for (const auto& c : cases) {
    const TsfReadResult result = Parse(c.text);
    EXPECT_EQ(result.error, TsfReadError::kNotValid) << c.text;
    EXPECT_EQ(result.invalidNumber, c.number) << c.text;
  }
}

TEST(TsfReaderTest, MissingLinesAreNamed) {
  const std::string head = "DB \"Grendam-Tracer\"\nUS QBT 8 3.0e\n";
  TsfReadResult result = Parse(head + "LK 1\n");
  EXPECT_EQ(result.error, TsfReadError::kMissingTag);
  EXPECT_EQ(result.missingTag, "SO ");
  result = Parse(head + "SO \"/x.c\" 1 \"txt\"\nED\n" + TsfBlockText("/y.c", 1, 8, 2));
  EXPECT_EQ(result.error, TsfReadError::kMissingTag) << "a block's ID line is not taken from the next block";
  EXPECT_EQ(result.missingTag, "ID ");
}

TEST(TsfReaderTest, RelativeSourcePathIsMadeAbsolute) {
  const TsfReadResult result = Parse(TsfBlockText("sub/x.c", 1, 8, 2));
  ASSERT_EQ(result.error, TsfReadError::kNone);
  EXPECT_EQ(result.blocks[0].sourceDirectory, "/work/sub/");
}

}  // namespace
}  // namespace output
