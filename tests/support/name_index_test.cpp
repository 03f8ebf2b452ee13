#include "support/name_index.h"

#include "bound_run.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>

namespace support {
namespace {

class NameIndexTest : public ::testing::Test {
 protected:
  NameEntry* Entry(std::string text) {
    NameEntry& entry = entries.emplace_back();
    entry.length = static_cast<std::uint32_t>(text.size());
    entry.text = std::move(text);
    return &entry;
  }

  std::deque<NameEntry> entries;
  NameIndex index;
};

TEST_F(NameIndexTest, EntriesSharingAHashAreToldApartByTheirTexts) {
  constexpr std::uint64_t kSame = 0x1234;
  NameEntry* a = Entry("alpha");
  NameEntry* b = Entry("beta");
  NameEntry* c = Entry("alph");  // a prefix of another
  index.Insert(a, kSame);
  index.Insert(b, kSame);
  index.Insert(c, kSame);
  EXPECT_EQ(index.Find("alpha", kSame), a);
  EXPECT_EQ(index.Find("beta", kSame), b);
  EXPECT_EQ(index.Find("alph", kSame), c);
  EXPECT_EQ(index.Find("gamma", kSame), nullptr);
  EXPECT_EQ(index.Find("alpha", kSame + 1), nullptr);  // another hash probes elsewhere
  EXPECT_EQ(index.Size(), 3u);
}

// Probing past the end of the slots and growth over distinct hashes are
// every large source's (the parse suite's, lz4's builds); runs of entries
// sharing a hash are not.
TEST_F(NameIndexTest, GrowingKeepsEveryEntryAndTheLoadUnderHalf) {
  std::vector<NameEntry*> added;
  for (int i = 0; i < 5000; ++i) {
    NameEntry* entry = Entry("name_" + std::to_string(i));
    // Every fourth hash is shared, so runs of colliding entries move together.
    index.Insert(entry, NameIndex::Hash(entry->text) & ~std::uint64_t{3});
    added.push_back(entry);
    ASSERT_LE(2 * index.Size(), index.Capacity());
  }
  for (NameEntry* entry : added) {
    ASSERT_EQ(index.Find(entry->text, NameIndex::Hash(entry->text) & ~std::uint64_t{3}), entry) << entry->text;
  }
  index.Clear();
  EXPECT_EQ(index.Size(), 0u);
  EXPECT_EQ(index.Find("name_1", NameIndex::Hash("name_1") & ~std::uint64_t{3}), nullptr);
}

TEST_F(NameIndexTest, HashTakesEveryByteAndTheLength) {
  // Long names that differ in one byte, at each position of an 8-byte word
  // and in the partial last word, hash differently.
  const std::string base(1001, 'x');
  std::set<std::uint64_t> hashes = {NameIndex::Hash(base)};
  for (std::size_t at : {0, 7, 8, 500, 999, 1000}) {
    std::string changed = base;
    changed[at] = 'y';
    EXPECT_TRUE(hashes.insert(NameIndex::Hash(changed)).second) << at;
  }
  // Zero bytes padding the last word do not make texts of other lengths equal.
  EXPECT_NE(NameIndex::Hash("a"), NameIndex::Hash(std::string_view("a\0", 2)));
  EXPECT_NE(NameIndex::Hash(""), NameIndex::Hash(std::string_view("\0", 1)));
  EXPECT_EQ(NameIndex::Hash(std::string("same text")), NameIndex::Hash("same text"));
}

// Every run's names rest on interning; these are its edges.
TEST(NameTableInterning, CaseLongNamesAndZeroBytesAreKeptApart) {
  const BoundRun run;
  EXPECT_NE(InternName("main"), InternName("Main"));
  EXPECT_EQ(InternName(""), nullptr);  // the empty text is not interned
  const std::string longName(5000, 'n');
  NameEntry* entry = InternName(longName);
  EXPECT_EQ(InternName(std::string(5000, 'n')), entry);
  EXPECT_EQ(entry->length, 5000u);
  EXPECT_NE(InternName(std::string(4999, 'n')), entry);
  NameEntry* a = InternName("a");
  NameEntry* aZero = InternName(std::string_view("a\0", 2));
  EXPECT_NE(a, aZero);
  EXPECT_EQ(aZero->length, 2u);
  EXPECT_EQ(InternName(std::string_view("a\0", 2)), aZero);
}

}  // namespace
}  // namespace support
