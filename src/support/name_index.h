// The lookup structure behind the name table: open addressing over the
// interned entries, so that finding a name costs one hash of its bytes and,
// mostly, one probe and one comparison.
//
// Slots hold the full 64-bit hash beside the entry, so a probe compares
// texts only when the hashes agree; the capacity is a power of two, probing
// is linear, and the table doubles before it is half full. Entries are never
// removed one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace support {

struct NameEntry;

class NameIndex {
 public:
  /// The hash the index expects for a text.
  [[nodiscard]] static std::uint64_t Hash(std::string_view text);

  /// The entry whose text is `text`, given its hash; none when absent.
  [[nodiscard]] NameEntry* Find(std::string_view text, std::uint64_t hash) const;

  /// Adds an entry whose text is not in the index yet, under that hash.
  void Insert(NameEntry* entry, std::uint64_t hash);

  void Clear();

  [[nodiscard]] std::size_t Size() const { return count_; }
  [[nodiscard]] std::size_t Capacity() const { return slots_.size(); }

 private:
  struct Slot {
    std::uint64_t hash;
    NameEntry* entry;  // none: free
  };

  void Grow();
  void Place(const Slot& slot);

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace support
