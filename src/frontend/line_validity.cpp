// Line recording. Lines arrive almost always in ascending order, which extends
// the last pair in place; an out-of-order line is located in the tree of
// pairs. A line already covered only adds to the sum.
#include "frontend/line_validity.h"

#include "frontend/front_end.h"
#include "support/messages.h"
#include "support/translate.h"


namespace frontend {
namespace {

ValidFile* FindValidFile(const ValidLineTable& table, const support::NameEntry* file,
                         const support::NameEntry* directory) {
  for (ValidFile* record = table.head; record; record = record->next) {
    if (record->file == file && record->directory == directory) return record;
  }
  return nullptr;
}

// Line 0 (from a "# 0" directive) has no lower neighbour and is only summed.
void RecordLine(std::map<std::uint32_t, std::uint32_t>& intervals, std::uint32_t line) {
  if (line == 0) return;
  auto after = intervals.lower_bound(line);  // first pair with low >= line
  if (after != intervals.begin()) {
    auto before = std::prev(after);  // low < line
    if (before->second >= line) return;  // already covered
    if (before->second == line - 1) {
      before->second = line;
      return;
    }
  }
  // The line just before a pair's first line joins that pair.
  if (after != intervals.end() && after->first == line) {
    const std::uint32_t high = after->second;
    intervals.erase(after);
    intervals.emplace(line - 1, high);
    return;
  }
  intervals.emplace(line - 1, line);
}

}  // namespace

void SetCurrentValidFile(support::NameEntry* file, support::NameEntry* directory, std::uint32_t line) {
  ValidLineTable& table = ValidLines();
  ValidFile* record = FindValidFile(table, file, directory);
  if (!record) {
    record = new ValidFile{file, directory, {}, 0, table.head};
    table.head = record;
  }
  table.current = record;
  ValidLine(line);
}

void ValidLine(std::uint32_t line) {
  ValidLineTable& table = ValidLines();
  if (!table.current) {
    support::DisplayInternalError(support::Translate("Internal Error", "No CurrentValidFile in ValidLine()"),
                                  support::CodeLocation::Current());
  }
  table.current->validLineSum += line;
  RecordLine(table.current->intervals, line);
}

std::uint32_t ValidLineSum(const ValidLineTable& table, const support::NameEntry* file,
                           const support::NameEntry* directory) {
  const ValidFile* record = FindValidFile(table, file, directory);
  return record ? record->validLineSum : 0;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> ValidLinePairs(const ValidLineTable& table,
                                                                    const support::NameEntry* file,
                                                                    const support::NameEntry* directory) {
  const ValidFile* record = FindValidFile(table, file, directory);
  if (!record) return {};
  return {record->intervals.begin(), record->intervals.end()};
}

void FreeValidFiles(ValidLineTable& table) {
  while (table.head) {
    ValidFile* next = table.head->next;
    delete table.head;
    table.head = next;
  }
  table.current = nullptr;
}

void AppendRegion(RegionList& list, std::uint32_t first, std::uint32_t last) {
  Region* region = new Region{0, first, last, nullptr};
  if (list.tail) list.tail->next = region;
  else list.head = region;
  list.tail = region;
}

void FreeRegions(RegionList& list) {
  while (list.head) {
    Region* next = list.head->next;
    delete list.head;
    list.head = next;
  }
  list.tail = nullptr;
}

// Regions and pairs are walked together: a region that starts at or before a
// pair's high end is decided by that pair; otherwise the next pair is tried.
void SetIfdefs(const ValidLineTable& table, RegionList& regions, const support::NameEntry* file,
               const support::NameEntry* directory) {
  const ValidFile* record = FindValidFile(table, file, directory);
  if (!record) {
    support::DisplayInternalError(support::Translate("Internal Error", "No ValidFileTypeP in SetIfdefs()."),
                                  support::CodeLocation::Current());
  }
  Region* region = regions.head;
  auto pair = record->intervals.begin();
  while (region && pair != record->intervals.end()) {
    if (region->firstLine <= pair->second) {
      if (region->lastLine > pair->first) region->active = 1;
      region = region->next;
    } else {
      ++pair;
    }
  }
}

Region* FirstInactiveRegion(const RegionList& regions, std::uint32_t line) {
  for (Region* region = regions.head; region; region = region->next) {
    if (!region->active && region->firstLine >= line) return region;
  }
  return nullptr;
}

}  // namespace frontend
