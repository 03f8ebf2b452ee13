#include "report/report_scope.h"

#include <algorithm>

namespace report {
namespace {

// The exclusion of each line, -1 for none. Regions never overlap (a start
// inside an open region is ignored); a line marker inside a region takes
// its own line.
std::vector<std::int32_t> ExclusionByLine(const std::vector<ExclusionItem>& exclusions) {
  std::uint32_t lastLine = 0;
  for (const ExclusionItem& exclusion : exclusions) lastLine = std::max(lastLine, exclusion.last);
  std::vector<std::int32_t> byLine(exclusions.empty() ? 0 : lastLine + 1, -1);
  for (bool regions : {true, false}) {
    for (std::size_t i = 0; i < exclusions.size(); ++i) {
      if (exclusions[i].region != regions) continue;
      for (std::uint32_t line = exclusions[i].first; line <= exclusions[i].last; ++line) {
        byLine[line] = static_cast<std::int32_t>(i);
      }
    }
  }
  return byLine;
}

struct Marking {
  const std::vector<std::int32_t>& byLine;
  std::vector<ExclusionItem>& exclusions;

  // Marks an item beginning on `line` that holds `branches` branches.
  std::int32_t Mark(std::uint32_t line, std::size_t branches) const {
    if (line >= byLine.size() || byLine[line] < 0) return -1;
    exclusions[static_cast<std::size_t>(byLine[line])].branches += branches;
    return byLine[line];
  }
};

void MarkFunction(FunctionReport& function, const Marking& marking) {
  for (BranchItem& item : function.branches) item.exclusion = marking.Mark(item.first, 1);
  for (ConditionItem& item : function.conditions) item.exclusion = marking.Mark(item.first, item.isCase ? 1 : 2);
  for (LoopItem& loop : function.loops) loop.exclusion = marking.Mark(loop.first, loop.branches.size());
  for (DecisionItem& decision : function.decisions) {
    const std::size_t rows = decision.forced ? 0 : decision.rows.size();  // a forced decision's rows are no branches
    decision.exclusion = marking.Mark(decision.first, decision.conditions.size() + rows);
  }
}

template <typename Items>
void KeepOn(Items& items, const std::vector<std::uint32_t>& lines) {
  std::erase_if(items, [&](const auto& item) { return !std::binary_search(lines.begin(), lines.end(), item.first); });
}

}  // namespace

void ApplyExclusions(FileReport& file, MarkerScan scan) {
  file.exclusions = std::move(scan.exclusions);
  file.markerWarnings = std::move(scan.warnings);
  const std::vector<std::int32_t> byLine = ExclusionByLine(file.exclusions);
  const Marking marking{byLine, file.exclusions};
  for (FunctionReport& function : file.functions) MarkFunction(function, marking);
  for (const ExclusionItem& exclusion : file.exclusions) {
    if (exclusion.branches > 0) continue;
    file.markerWarnings.push_back(
        {exclusion.first, exclusion.region ? "exclusion region (lines " + std::to_string(exclusion.first) + "-" +
                                                 std::to_string(exclusion.last) + ") excludes no branch"
                                           : "exclusion marker excludes no branch (none begins on its line)"});
  }
  std::stable_sort(file.markerWarnings.begin(), file.markerWarnings.end(),
                   [](const MarkerWarning& a, const MarkerWarning& b) { return a.line < b.line; });
}

void KeepChangedLines(FileReport& file, std::vector<std::uint32_t> lines) {
  for (FunctionReport& function : file.functions) {
    KeepOn(function.branches, lines);
    KeepOn(function.conditions, lines);
    KeepOn(function.loops, lines);
    KeepOn(function.decisions, lines);
  }
  std::erase_if(file.functions, [](const FunctionReport& function) {
    return function.branches.empty() && function.conditions.empty() && function.loops.empty() &&
           function.decisions.empty();
  });
  file.changedLines = std::move(lines);
}

}  // namespace report
