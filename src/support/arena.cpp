#include "support/arena.h"

#include "support/messages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

namespace support {
namespace {

// A fresh page costs a fault on first touch, and on some virtual machines a
// fault costs several microseconds; mapping a stretch of pages in one call
// halves that. The stretch is small so that the chunk's unused end is not
// mapped for nothing.
constexpr std::uintptr_t kPopulateStep = 64 * 1024;
constexpr std::uintptr_t kPageSize = 4096;

std::uintptr_t AlignUp(std::uintptr_t address, std::size_t alignment) {
  return (address + alignment - 1) & ~static_cast<std::uintptr_t>(alignment - 1);
}

}  // namespace

char* Arena::FirstBlock(Chunk* chunk, std::size_t alignment) {
  return reinterpret_cast<char*>(AlignUp(reinterpret_cast<std::uintptr_t>(chunk + 1), alignment));
}

Arena::Arena(std::size_t chunkSize) : chunkSize_(chunkSize < 256 ? 256 : chunkSize) {}

Arena::~Arena() { Release(); }

void* Arena::Allocate(std::size_t size, std::size_t alignment) {
  if (size == 0) size = 1;
  const std::uintptr_t start = AlignUp(reinterpret_cast<std::uintptr_t>(free_), alignment);
  if (free_ && start <= reinterpret_cast<std::uintptr_t>(limit_) &&
      size <= reinterpret_cast<std::uintptr_t>(limit_) - start) {
    free_ = reinterpret_cast<char*>(start + size);
    if (free_ > populated_) PopulateUpTo(free_);
    return reinterpret_cast<void*>(start);
  }
  return AllocateInNewChunk(size, alignment);
}

void Arena::PopulateUpTo(const char* end) {
  const std::uintptr_t from = AlignUp(reinterpret_cast<std::uintptr_t>(populated_), kPageSize);
  const std::uintptr_t lastPage = reinterpret_cast<std::uintptr_t>(limit_) & ~(kPageSize - 1);
  const std::uintptr_t to = std::min(AlignUp(reinterpret_cast<std::uintptr_t>(end), kPopulateStep), lastPage);
  // Past the last whole page there is nothing more to map ahead.
  populated_ = to >= reinterpret_cast<std::uintptr_t>(end) ? reinterpret_cast<char*>(to) : limit_;
#ifdef MADV_POPULATE_WRITE
  if (populating_ && to > from && madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) != 0) {
    populating_ = false;
  }
#endif
}

void* Arena::AllocateInNewChunk(std::size_t size, std::size_t alignment) {
  // Room for the header, the worst alignment gap and the block; a size too
  // large to count is refused by the allocator as any other.
  const std::size_t overhead = sizeof(Chunk) + alignment - 1;
  const std::size_t needed = size > SIZE_MAX - overhead ? SIZE_MAX : overhead + size;
  if (size > chunkSize_ / 4 || needed > chunkSize_) {
    // An oversized block takes a chunk of its own behind the current one,
    // which keeps its free space.
    Chunk* own = NewChunk(needed);
    if (last_) {
      own->previous = last_->previous;
      last_->previous = own;
    } else {
      last_ = own;
    }
    return FirstBlock(own, alignment);
  }
  Chunk* chunk = NewChunk(chunkSize_);
  chunk->previous = last_;
  last_ = chunk;
  limit_ = reinterpret_cast<char*>(chunk) + chunkSize_;
  char* block = FirstBlock(chunk, alignment);
  free_ = block + size;
  populated_ = reinterpret_cast<char*>(chunk);
  PopulateUpTo(free_);
  return block;
}

// Chunks come zero-filled from calloc and no block is handed out twice, so
// no block needs clearing of its own.
Arena::Chunk* Arena::NewChunk(std::size_t bytes) {
  auto* chunk = static_cast<Chunk*>(CheckedAlloc(bytes));
  ++chunkCount_;
  reserved_ += bytes;
  return chunk;
}

void Arena::Release() {
  while (last_) {
    Chunk* previous = last_->previous;
    std::free(last_);
    last_ = previous;
  }
  free_ = limit_ = populated_ = nullptr;
  chunkCount_ = 0;
  reserved_ = 0;
}

}  // namespace support
