#include "support/name_table.h"

namespace support {

NameEntry* InternName(std::string_view text) {
  if (text.empty()) return nullptr;
  NameTable& table = CurrentNameTable();
  const std::uint64_t hash = NameIndex::Hash(text);
  if (NameEntry* found = table.index.Find(text, hash)) return found;
  NameEntry& entry = table.entries.emplace_back();
  entry.text.assign(text);
  entry.length = static_cast<std::uint32_t>(text.size());
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
