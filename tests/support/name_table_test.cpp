#include "support/name_table.h"

#include "bound_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace support {
namespace {

class NameTableTest : public ::testing::Test {
 protected:
  BoundRun run_;
};

TEST_F(NameTableTest, InterningIsIdentityAndCaseSensitive) {
  NameEntry* main = InternName("main");
  EXPECT_EQ(main, InternName("main"));
  EXPECT_NE(main, InternName("Main"));
  EXPECT_EQ(main->text, "main");
  EXPECT_EQ(main->length, 4u);
  EXPECT_EQ(main->flags, 0u);
  EXPECT_EQ(InternName(""), nullptr);  // the empty text is not interned
  EXPECT_EQ(CurrentNameTable().entries.size(), 2u);
}

TEST_F(NameTableTest, BucketHashXorsBytesIntoFourLanes) {
  // "ab": 0x4A4A4A4A ^ 0x61 ^ (0x62 << 8) = 0x4A4A282B -> 1246373931 % 250
  EXPECT_EQ(NameBucket("ab"), 1246373931u % 250);
  // Byte i goes to lane i mod 4 (little-endian): "abcd" = 0x64636261, and the
  // fifth byte goes back to the lowest lane: 0x4A4A4A4A ^ 0x64636261 ^ 0x61
  EXPECT_EQ(NameBucket("abcda"), 0x2E29284Au % 250);
}

TEST_F(NameTableTest, ChainStaysInAscendingLengthWithInsertionOrderAmongEquals) {
  // Find names of lengths 3, 1, 3, 2 that share the bucket of "abc".
  const std::size_t bucket = NameBucket("abc");
  std::vector<std::string> sameBucket;
  for (int i = 0; i < 200000 && sameBucket.size() < 3; ++i) {
    std::string candidate = std::to_string(i);
    if (candidate.size() != 3 && candidate.size() != 1 && candidate.size() != 2) continue;
    if (NameBucket(candidate) == bucket) sameBucket.push_back(candidate);
  }
  ASSERT_FALSE(sameBucket.empty());
  InternName("abc");
  for (const std::string& name : sameBucket) InternName(name);
  InternName("abc");  // a repeat adds nothing

  std::vector<std::uint32_t> lengths;
  std::vector<std::string> equalToThree;
  for (NameEntry* e = CurrentNameTable().buckets[bucket]; e; e = e->next) {
    lengths.push_back(e->length);
    if (e->length == 3) equalToThree.push_back(e->text);
  }
  EXPECT_TRUE(std::is_sorted(lengths.begin(), lengths.end()));
  EXPECT_EQ(lengths.size(), sameBucket.size() + 1);
  ASSERT_FALSE(equalToThree.empty());
  EXPECT_EQ(equalToThree.front(), "abc");
}

TEST_F(NameTableTest, NameListCountsRepeatsOnOneNode) {
  NameList list;
  NameEntry* foo = InternName("foo");
  NameEntry* bar = InternName("bar");
  EXPECT_EQ(AddToNameList(list, foo), 1u);
  EXPECT_EQ(AddToNameList(list, bar), 1u);
  EXPECT_EQ(AddToNameList(list, foo), 2u);
  EXPECT_EQ(AddToNameList(list, foo), 3u);
  ASSERT_EQ(list.nodes.size(), 2u);
  EXPECT_EQ(list.nodes[0].entry, foo);
  EXPECT_EQ(list.nodes[0].count, 3u);
  EXPECT_EQ(list.nodes[1].entry, bar);
  FreeNameList(list);
  EXPECT_TRUE(list.nodes.empty());
  EXPECT_EQ(InternName("foo"), foo);  // entries outlive the list
}

}  // namespace
}  // namespace support
