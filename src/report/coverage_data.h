// The FDC blocks of a report and the counts the results give their branches.
//
// Blocks are matched to results groups by key and checksum. Per source file
// only the first block read counts (an FDC file holds the newest block of a
// source first); a later block of the same source is an older build. A group
// that matches no counted block is stale: it is listed, never added. A block
// left out of the report (not chosen) takes its groups, and those of its
// older builds, out of the count without making them stale.
#pragma once

#include "report/fdc_units.h"
#include "report/results_file.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace report {

struct BranchCounts {
  std::vector<std::uint64_t> procs, calls, blocks;
  std::unordered_map<std::uint32_t, std::uint64_t> conditions;  // sparse: forced tables are large

  std::uint64_t Condition(std::uint32_t id) const {
    const auto found = conditions.find(id);
    return found == conditions.end() ? 0 : found->second;
  }
};

struct CountedUnit {
  FdcUnit unit;
  BranchCounts counts;
  std::size_t groups = 0;  // results groups added
  bool chosen = true;      // reported; else its groups are left out
};

struct StaleGroup {
  std::string resultsPath;
  std::size_t line = 0;  // of its F line
  std::uint32_t key = 0, checksum = 0;
  std::string olderBuildOf;  // the source path when the key names a counted block
};

struct CoverageData {
  std::vector<CountedUnit> units;
  std::vector<FdcUnit> olderBuilds;
  std::vector<StaleGroup> stale;
  std::vector<std::string> fdcFiles, resultsFiles;
  std::size_t sections = 0;
  std::size_t leftOutGroups = 0;  // groups of blocks not chosen
  // Indexes into `units`: by key and checksum, by key, by source path.
  std::unordered_map<std::uint64_t, std::size_t> byIdentity;
  std::unordered_map<std::uint32_t, std::size_t> byKey;
  std::unordered_map<std::string, std::size_t> bySource;
};

/// Adds the blocks of one FDC file. A block of a source that a block read
/// before describes is an older build of it when the source's date differs;
/// with the same date it is another variant of the same text (compiled
/// with other macros, or included by another source, as lz4hc.c includes
/// lz4.c) and counts as a unit of its own.
void AddUnits(CoverageData& data, std::vector<FdcUnit> units);

/// Adds the groups of one results file; false, with `error` naming the line,
/// when a group matches a block but names a branch the block does not have.
bool AddResults(CoverageData& data, const ResultsFile& file, std::string& error);

}  // namespace report
