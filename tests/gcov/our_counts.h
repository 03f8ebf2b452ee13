// The counts of one instrumented build: the branch records of its FDC blocks
// with the counts its results file holds for them.
#pragma once

#include "report/fdc_units.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gcovcheck {

struct BranchCount {
  std::uint64_t count = 0;     // added up over every section and group
  bool saturated = false;      // a section's count stopped at its maximum
};

struct UnitCounts {
  report::FdcUnit unit;
  std::vector<BranchCount> procs, calls, blocks;  // indexed by branch number
};

struct OurCounts {
  std::vector<UnitCounts> units;
  std::string error;  // empty when both files were read whole
};

/// The blocks of every FDC file of the build, with the results file's counts.
OurCounts ReadOurCounts(const std::vector<std::string>& fdcPaths, const std::string& resultsPath);

}  // namespace gcovcheck
