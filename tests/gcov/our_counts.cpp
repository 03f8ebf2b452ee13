#include "our_counts.h"

#include "report/results_file.h"

#include <limits>

namespace gcovcheck {
namespace {

std::vector<BranchCount>* Table(UnitCounts& counts, report::BranchKind kind) {
  switch (kind) {
    case report::BranchKind::kProc: return &counts.procs;
    case report::BranchKind::kCall: return &counts.calls;
    case report::BranchKind::kBlock: return &counts.blocks;
    case report::BranchKind::kCondition: return nullptr;
  }
  return nullptr;
}

// Adds a group's hits; false (with `error`) for a branch the unit does not have.
bool AddGroup(UnitCounts& counts, const report::ResultsGroup& group, std::string& error) {
  for (const report::BranchHit& hit : group.hits) {
    std::vector<BranchCount>* table = Table(counts, hit.kind);
    if (!table) continue;
    if (hit.branch >= table->size()) {
      error = "results line " + std::to_string(hit.line) + ": branch " + std::to_string(hit.branch) +
              " beyond the FDC block of " + counts.unit.SourcePath();
      return false;
    }
    BranchCount& branch = (*table)[hit.branch];
    branch.count += hit.count;
    branch.saturated = branch.saturated || hit.count == std::numeric_limits<std::uint32_t>::max();
  }
  return true;
}

// Adds the blocks of FDC file `path` with their counts in `results`.
bool AddFdcFile(OurCounts& counts, const std::string& path, const report::ResultsFile& results) {
  report::FdcReadOutcome fdc = report::ReadFdcUnits(path);
  if (!fdc.error.empty()) {
    counts.error = fdc.error;
    return false;
  }
  for (report::FdcUnit& unit : fdc.units) {
    UnitCounts unitCounts;
    unitCounts.procs.resize(unit.procIds);
    unitCounts.calls.resize(unit.callIds);
    unitCounts.blocks.resize(unit.blockIds);
    unitCounts.unit = std::move(unit);
    for (const report::ResultsGroup& group : results.groups) {
      if (group.key != unitCounts.unit.key || group.checksum != unitCounts.unit.checksum) continue;
      if (!AddGroup(unitCounts, group, counts.error)) return false;
    }
    counts.units.push_back(std::move(unitCounts));
  }
  return true;
}

}  // namespace

OurCounts ReadOurCounts(const std::vector<std::string>& fdcPaths, const std::string& resultsPath) {
  OurCounts counts;
  bool missing = false;
  const report::ResultsReadOutcome results = report::ReadResults(resultsPath, missing);
  if (!results.error.empty()) {
    counts.error = results.error;
    return counts;
  }
  for (const std::string& fdcPath : fdcPaths) {
    if (!AddFdcFile(counts, fdcPath, results.file)) break;
  }
  return counts;
}

}  // namespace gcovcheck
