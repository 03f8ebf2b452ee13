// A stream read in 64 KB chunks, for readers that pass over runs of bytes
// (found with memchr) instead of taking them one call at a time. Header
// only, so that readers built without the rest of the library can use it.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace support {

class ChunkedInput {
 public:
  explicit ChunkedInput(std::FILE* stream) : stream_(stream) {}

  /// The bytes of the current chunk not taken yet, or when none are left
  /// those of the next chunk; empty at the end of the stream or on a read
  /// error (the stream's error flag tells which).
  std::string_view Pending() {
    if (next_ == end_) {
      next_ = 0;
      end_ = std::fread(chunk_.data(), 1, chunk_.size(), stream_);
    }
    return {chunk_.data() + next_, end_ - next_};
  }

  /// Marks the first `count` pending bytes as taken.
  void Take(std::size_t count) { next_ += count; }

 private:
  std::FILE* stream_;
  std::vector<char> chunk_ = std::vector<char>(std::size_t{1} << 16);
  std::size_t next_ = 0;  // first byte of the chunk not taken yet
  std::size_t end_ = 0;   // bytes in the chunk
};

}  // namespace support
