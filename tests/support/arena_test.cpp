#include "support/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace support {
namespace {

bool AllZero(const void* block, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

std::uintptr_t Address(const void* block) { return reinterpret_cast<std::uintptr_t>(block); }

// The syntax tree's nodes, one size and alignment in chunks released at the
// end of each run, are every parse's and every repeated run's; these are the
// sizes and alignments no node has.
TEST(ArenaTest, BlocksOfMixedSizesKeepTheirAlignmentAndDoNotOverlap) {
  Arena arena(512);
  struct Placed {
    unsigned char* block;
    std::size_t size;
  };
  std::vector<Placed> placed;
  const std::size_t alignments[] = {1, 2, 8, 16, 64};
  for (int i = 0; i < 200; ++i) {
    const std::size_t alignment = alignments[i % 5];
    const std::size_t size = 1 + (i * 7) % 45;  // odd sizes push later blocks off alignment
    auto* block = static_cast<unsigned char*>(arena.Allocate(size, alignment));
    ASSERT_EQ(Address(block) % alignment, 0u) << "block " << i;
    ASSERT_TRUE(AllZero(block, size)) << "block " << i;
    std::memset(block, i + 1, size);
    placed.push_back({block, size});
  }
  // Every block still holds its own pattern: no later block overlapped it.
  for (std::size_t i = 0; i < placed.size(); ++i) {
    for (std::size_t k = 0; k < placed[i].size; ++k) {
      ASSERT_EQ(placed[i].block[k], static_cast<unsigned char>(i + 1)) << "block " << i;
    }
  }
}

TEST(ArenaTest, AnOversizedBlockGetsItsOwnChunkAndTheCurrentOneKeepsItsSpace) {
  Arena arena(1024);
  char* small = static_cast<char*>(arena.Allocate(16, 8));
  char* large = static_cast<char*>(arena.Allocate(1200, 8));  // larger than what is left
  char* next = static_cast<char*>(arena.Allocate(16, 8));
  EXPECT_EQ(next, small + 16);
  EXPECT_EQ(arena.ChunkCount(), 2u);
  EXPECT_TRUE(AllZero(large, 1200));
  std::memset(large, 0xAB, 1200);
  EXPECT_TRUE(AllZero(next, 16));
  char* fits = static_cast<char*>(arena.Allocate(300, 8));  // large, but the current chunk has room
  EXPECT_EQ(fits, next + 16);
  EXPECT_EQ(arena.ChunkCount(), 2u);

  // Larger than a whole chunk, and first of all: still one block of its own.
  Arena fresh(256);
  auto* huge = static_cast<unsigned char*>(fresh.Allocate(100000, 64));
  EXPECT_EQ(Address(huge) % 64, 0u);
  EXPECT_TRUE(AllZero(huge, 100000));
  huge[99999] = 1;
  EXPECT_NE(fresh.Allocate(8, 8), nullptr);
  EXPECT_EQ(fresh.ChunkCount(), 2u);
}

}  // namespace
}  // namespace support
