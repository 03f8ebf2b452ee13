#include "support/name_table.h"

namespace support {
namespace {

NameTable table;

}  // namespace

NameTable& GlobalNameTable() { return table; }

void ResetNameTable() {
  for (NameEntry*& head : table.buckets) head = nullptr;
}

void ReleaseNameTable() {
  ResetNameTable();
  table.entries.clear();
}

std::size_t NameBucket(std::string_view text) {
  std::uint32_t hash = 0x4A4A4A4A;
  for (std::size_t i = 0; i < text.size(); ++i) {
    hash ^= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * (i % 4));
  }
  return hash % kNameBuckets;
}

NameEntry* InternName(std::string_view text) {
  if (text.empty()) return nullptr;
  NameEntry** link = &table.buckets[NameBucket(text)];
  // Pass the shorter entries, then compare among those of equal length.
  while (*link && (*link)->length < text.size()) link = &(*link)->next;
  while (*link && (*link)->length == text.size()) {
    if ((*link)->text == text) return *link;
    link = &(*link)->next;
  }
  NameEntry& entry = table.entries.emplace_back();
  entry.text.assign(text);
  entry.length = static_cast<std::uint32_t>(text.size());
  entry.next = *link;
  *link = &entry;
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
