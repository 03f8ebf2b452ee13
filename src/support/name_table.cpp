#include "support/name_table.h"

namespace support {

std::size_t NameBucket(std::string_view text) {
  std::uint32_t hash = 0x4A4A4A4A;
  for (std::size_t i = 0; i < text.size(); ++i) {
    hash ^= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * (i % 4));
  }
  return hash % kNameBuckets;
}

NameEntry* InternName(std::string_view text) {
  if (text.empty()) return nullptr;
  NameTable& table = CurrentNameTable();
  const std::uint64_t hash = NameIndex::Hash(text);
  if (NameEntry* found = table.index.Find(text, hash)) return found;
  // A new entry follows the last one not longer than it, which keeps the
  // chain in ascending length and equal lengths in insertion order.
  const std::size_t bucket = NameBucket(text);
  std::map<std::uint32_t, NameEntry*>& lengths = table.lastOfLength[bucket];
  const auto length = static_cast<std::uint32_t>(text.size());
  const auto after = lengths.upper_bound(length);
  NameEntry** link = after == lengths.begin() ? &table.buckets[bucket] : &std::prev(after)->second->next;
  NameEntry& entry = table.entries.emplace_back();
  entry.text.assign(text);
  entry.length = length;
  entry.next = *link;
  *link = &entry;
  lengths[length] = &entry;
  table.index.Insert(&entry, hash);
  return &entry;
}

std::uint32_t AddToNameList(NameList& list, NameEntry* entry) {
  auto [where, added] = list.indexOf.try_emplace(entry, list.nodes.size());
  if (!added) return ++list.nodes[where->second].count;
  list.nodes.push_back({entry, 1});
  return 1;
}

void FreeNameList(NameList& list) {
  list.nodes.clear();
  list.indexOf.clear();
}

}  // namespace support
