// The line-validity table: for every original file, the lines that produced
// tokens, as ascending disjoint pairs (low, high) each covering the lines
// low + 1 to high, and the wrapping sum of every line reported. From it come
// the checksum seed of the coverage files and the activity of the
// conditional-compilation regions of the user's sources.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace support {
struct NameEntry;
}

namespace frontend {

struct ValidFile {
  support::NameEntry* file;
  support::NameEntry* directory;
  /// low -> high, ascending; a balanced tree, so that lines reported out of
  /// order cost a logarithmic step, never a shift of all later pairs.
  std::map<std::uint32_t, std::uint32_t> intervals;
  std::uint32_t validLineSum;
  ValidFile* next;
};

struct ValidLineTable {
  ValidFile* head;     // newest record first
  ValidFile* current;  // the record the last report went to
};

/// Finds or creates the record of (file, directory), makes it current and
/// records the line.
void SetCurrentValidFile(support::NameEntry* file, support::NameEntry* directory, std::uint32_t line);
/// Records a line of the current file.
void ValidLine(std::uint32_t line);
/// The record's sum, 0 for a file without record.
std::uint32_t ValidLineSum(const ValidLineTable& table, const support::NameEntry* file,
                           const support::NameEntry* directory);
/// The pairs of a file in ascending order (empty without record).
std::vector<std::pair<std::uint32_t, std::uint32_t>> ValidLinePairs(const ValidLineTable& table,
                                                                    const support::NameEntry* file,
                                                                    const support::NameEntry* directory);
void FreeValidFiles(ValidLineTable& table);

/// A line range of an original file; one per conditional-compilation branch.
struct Region {
  std::uint8_t active;
  std::uint32_t firstLine;
  std::uint32_t lastLine;
  Region* next;
};

struct RegionList;
/// Empties the list.
void FreeRegions(RegionList& list);

/// Owns its regions: a run that ends by unwinding while the regions are
/// being collected frees them too.
struct RegionList {
  RegionList() = default;
  RegionList(const RegionList&) = delete;
  RegionList& operator=(const RegionList&) = delete;
  ~RegionList() { FreeRegions(*this); }

  Region* head = nullptr;
  Region* tail = nullptr;
};

void AppendRegion(RegionList& list, std::uint32_t first, std::uint32_t last);

/// Marks active every region (sorted by first line) that holds a line of the
/// file that produced tokens. A file without record is an internal error.
void SetIfdefs(const ValidLineTable& table, RegionList& regions, const support::NameEntry* file,
               const support::NameEntry* directory);

/// The first region that is not active and starts at or after the line.
Region* FirstInactiveRegion(const RegionList& regions, std::uint32_t line);

}  // namespace frontend
