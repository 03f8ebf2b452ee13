#include "report/coverage_data.h"

namespace report {
namespace {

std::uint64_t Identity(std::uint32_t key, std::uint32_t checksum) { return std::uint64_t{key} << 32 | checksum; }

CountedUnit* FindBlock(CoverageData& data, std::uint32_t key, std::uint32_t checksum) {
  const auto found = data.byIdentity.find(Identity(key, checksum));
  return found == data.byIdentity.end() ? nullptr : &data.units[found->second];
}

bool AddHit(CountedUnit& counted, const BranchHit& hit) {
  const FdcUnit& unit = counted.unit;
  BranchCounts& counts = counted.counts;
  switch (hit.kind) {
    case BranchKind::kProc:
      if (hit.branch >= unit.procIds) return false;
      counts.procs[hit.branch] += hit.count;
      return true;
    case BranchKind::kCall:
      if (hit.branch >= unit.callIds) return false;
      counts.calls[hit.branch] += hit.count;
      return true;
    case BranchKind::kBlock:
      if (hit.branch >= unit.blockIds) return false;
      counts.blocks[hit.branch] += hit.count;
      return true;
    case BranchKind::kCondition:
      if (hit.branch >= unit.conditionIds) return false;
      counts.conditions[hit.branch] += hit.count;
      return true;
  }
  return false;
}

}  // namespace

void AddUnits(CoverageData& data, std::vector<FdcUnit> units) {
  for (FdcUnit& unit : units) {
    if (FindBlock(data, unit.key, unit.checksum)) continue;  // the same block read twice
    const auto sameSource = data.bySource.find(unit.SourcePath());
    if (sameSource != data.bySource.end() && data.units[sameSource->second].unit.date != unit.date) {
      data.olderBuilds.push_back(std::move(unit));
      continue;
    }
    const std::size_t index = data.units.size();
    data.byIdentity.emplace(Identity(unit.key, unit.checksum), index);
    data.byKey.emplace(unit.key, index);
    data.bySource.emplace(unit.SourcePath(), index);
    CountedUnit& counted = data.units.emplace_back();
    counted.counts.procs.assign(unit.procIds, 0);
    counted.counts.calls.assign(unit.callIds, 0);
    counted.counts.blocks.assign(unit.blockIds, 0);
    counted.unit = std::move(unit);
  }
}

bool AddResults(CoverageData& data, const ResultsFile& file, std::string& error) {
  data.sections += file.sections;
  for (const ResultsGroup& group : file.groups) {
    CountedUnit* counted = FindBlock(data, group.key, group.checksum);
    const auto sameKey = data.byKey.find(group.key);
    const bool keyLeftOut = sameKey != data.byKey.end() && !data.units[sameKey->second].chosen;
    if (counted ? !counted->chosen : keyLeftOut) {
      ++data.leftOutGroups;
      continue;
    }
    if (!counted) {
      data.stale.push_back({file.path, group.line, group.key, group.checksum,
                            sameKey == data.byKey.end() ? std::string() : data.units[sameKey->second].unit.SourcePath()});
      continue;
    }
    for (const BranchHit& hit : group.hits) {
      if (!AddHit(*counted, hit)) {
        error = file.path + ":" + std::to_string(hit.line) + ": branch " + std::to_string(hit.branch) +
                " is not in the FDC block of " + counted->unit.SourcePath();
        return false;
      }
    }
    ++counted->groups;
  }
  return true;
}

}  // namespace report
