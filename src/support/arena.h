// A bump allocator for objects that all live until one moment, such as the
// syntax tree, which the instrumentation reads until the end of the run.
//
// Blocks are carved from chunks in order and are never freed one by one;
// Release returns every chunk at once. A block is zero-filled and aligned as
// asked. A block that does not fit in the rest of the current chunk opens a
// new one, unless it is larger than a quarter of a chunk: then it gets a
// chunk of its own and the current one keeps its space, so a chunk is never
// left more than a quarter empty.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

namespace support {

inline constexpr std::size_t kArenaChunkSize = 1 << 20;

class Arena {
 public:
  explicit Arena(std::size_t chunkSize = kArenaChunkSize);
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  /// A zero-filled block of `size` bytes at a multiple of `alignment` (a
  /// power of two); fatal "No memory left" when no chunk can be had.
  [[nodiscard]] void* Allocate(std::size_t size, std::size_t alignment = alignof(std::max_align_t));

  /// A value-initialised T; its destructor is never run, so T must not need one.
  template <typename T>
  [[nodiscard]] T* Create() {
    static_assert(std::is_trivially_destructible_v<T>);
    return new (Allocate(sizeof(T), alignof(T))) T();
  }

  /// Frees every chunk: every block handed out so far is gone.
  void Release();

  [[nodiscard]] std::size_t ChunkCount() const { return chunkCount_; }
  /// Bytes of all chunks held, headers included.
  [[nodiscard]] std::size_t ReservedBytes() const { return reserved_; }

 private:
  struct Chunk {
    Chunk* previous;
  };

  void* AllocateInNewChunk(std::size_t size, std::size_t alignment);
  void PopulateUpTo(const char* end);
  Chunk* NewChunk(std::size_t bytes);
  static char* FirstBlock(Chunk* chunk, std::size_t alignment);

  std::size_t chunkSize_;
  Chunk* last_ = nullptr;  // the chunk being carved, or the latest oversized one
  char* free_ = nullptr;   // next free byte of the chunk being carved
  char* limit_ = nullptr;  // its end
  char* populated_ = nullptr;  // its pages up to here are mapped already
  bool populating_ = true;     // the system maps pages ahead when asked
  std::size_t chunkCount_ = 0;
  std::size_t reserved_ = 0;
};

}  // namespace support
