#include "support/name_index.h"

#include "support/name_table.h"

#include <cstring>

namespace support {
namespace {

constexpr std::size_t kInitialCapacity = 1024;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 32;
  value *= kMultiplier;
  return value ^ (value >> 29);
}

}  // namespace

// Eight bytes at a time: names are short, so the length and one or two
// multiplications decide the hash.
std::uint64_t NameIndex::Hash(std::string_view text) {
  std::uint64_t hash = text.size() * kMultiplier;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    hash = Mix(hash ^ word);
  }
  if (at < text.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, text.size() - at);
    hash = Mix(hash ^ word);
  }
  return Mix(hash);
}

NameEntry* NameIndex::Find(std::string_view text, std::uint64_t hash) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (!slot.entry) return nullptr;
    if (slot.hash == hash && slot.entry->text == text) return slot.entry;
  }
}

void NameIndex::Insert(NameEntry* entry, std::uint64_t hash) {
  if (2 * (count_ + 1) > slots_.size()) Grow();
  Place({hash, entry});
  ++count_;
}

void NameIndex::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  count_ = 0;
}

void NameIndex::Grow() {
  std::vector<Slot> old(slots_.empty() ? kInitialCapacity : 2 * slots_.size(), Slot{0, nullptr});
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.entry) Place(slot);
  }
}

void NameIndex::Place(const Slot& slot) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = slot.hash & mask;
  while (slots_[at].entry) at = (at + 1) & mask;
  slots_[at] = slot;
}

}  // namespace support
