// Building the report from the counted blocks.
//
// Records are grouped by the function they name; a decision (CC) names none,
// so it belongs to the function of its first basic condition. Loop branches
// are consecutive logical blocks whose last path segment is "0", "1" or
// "2+"; a "0" or a "1" not directly after a "0" starts a new loop.
#include "report/report_model.h"

#include "report/report_scope.h"
#include "report/source_paths.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace report {
namespace {

HitState StateOf(std::size_t hit, std::size_t total) {
  if (hit == 0) return HitState::kNever;
  return hit == total ? HitState::kCovered : HitState::kPartly;
}

struct FunctionTable {
  std::vector<FunctionReport> functions;
  std::unordered_map<std::string, std::size_t> byName;

  FunctionReport& Of(const std::string& name, std::uint32_t first, std::uint32_t last) {
    const auto [found, inserted] = byName.emplace(name, functions.size());
    if (inserted) {
      FunctionReport& function = functions.emplace_back();
      function.name = name;
      function.first = first;
      function.last = last;
      return function;
    }
    FunctionReport& function = functions[found->second];
    if (first != 0 && (function.first == 0 || first < function.first)) function.first = first;
    function.last = std::max(function.last, last);
    return function;
  }
};

void AddProcs(const CountedUnit& counted, FunctionTable& table) {
  // Entries first, so a function spans the lines of its PR proc record.
  for (const ProcRecord& record : counted.unit.procs) {
    if (record.kind == ProcKind::kProc) table.Of(record.function, record.first, record.last);
  }
  static constexpr const char* kExitLabels[] = {"entry", "endproc", "return", "term"};
  for (const ProcRecord& record : counted.unit.procs) {
    const Category category = record.kind == ProcKind::kProc ? Category::kFunctions : Category::kExits;
    FunctionReport& function = table.Of(record.function, record.first, record.last);
    function.branches.push_back({category, kExitLabels[static_cast<int>(record.kind)], record.id, record.first,
                                 record.last, counted.counts.procs[record.id]});
  }
}

void AddCalls(const CountedUnit& counted, FunctionTable& table) {
  for (const CallRecord& record : counted.unit.calls) {
    table.Of(record.function, record.first, record.last)
        .branches.push_back({Category::kCalls, record.callee, record.id, record.first, record.last,
                             counted.counts.calls[record.id]});
  }
}

std::string_view LastSegment(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view LoopPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

void AddLoopBranch(const BlockRecord& record, std::uint64_t count, FunctionReport& function,
                   const BlockRecord*& previous) {
  const std::string_view label = LastSegment(record.path);
  const bool continues = previous && previous->id + 1 == record.id && previous->function == record.function &&
                         ((label == "1" && LastSegment(previous->path) == "0") || label == "2+") &&
                         !function.loops.empty();
  if (!continues) {
    LoopItem& loop = function.loops.emplace_back();
    loop.path = LoopPath(record.path);
    loop.first = record.first;
    loop.last = record.last;
  }
  function.loops.back().branches.push_back({std::string(label), record.id, count});
  previous = &record;
}

void AddBlocks(const CountedUnit& counted, FunctionTable& table) {
  const BlockRecord* previousLoopBranch = nullptr;
  for (const BlockRecord& record : counted.unit.blocks) {
    FunctionReport& function = table.Of(record.function, record.first, record.last);
    const std::uint64_t count = counted.counts.blocks[record.id];
    if (record.kind == BlockKind::kLogical) {
      AddLoopBranch(record, count, function, previousLoopBranch);
      continue;
    }
    const Category category = record.kind == BlockKind::kImplicit ? Category::kImplicitBlocks
                                                                  : Category::kStatementBlocks;
    function.branches.push_back({category, record.path, record.id, record.first, record.last, count});
  }
}

void AddCases(const CountedUnit& counted, FunctionTable& table) {
  for (const CaseRecord& record : counted.unit.cases) {
    ConditionItem item{record.id, record.isCase, record.text, record.first, record.last,
                       counted.counts.Condition(record.id), 0};
    if (!record.isCase) item.falseCount = counted.counts.Condition(record.id + 1);
    table.Of(record.function, record.first, record.last).conditions.push_back(std::move(item));
  }
}

// The pair that shows a condition is looked for among the rows that ran
// only, and at most kListedPairs pairs are listed for a condition not shown:
// a case table can have thousands of rows.
constexpr std::size_t kListedPairs = 16;

std::optional<output::RowPair> FirstSeenPair(const std::vector<RowItem>& rows, const std::vector<std::uint32_t>& seenTrue,
                                     const std::vector<std::uint32_t>& seenFalse, std::size_t k) {
  for (const std::uint32_t i : seenTrue) {
    for (const std::uint32_t j : seenFalse) {
      if (output::ShowsIndependence(rows[i].text, rows[j].text, k)) return output::RowPair{i, j};
    }
  }
  return std::nullopt;
}

void FillCaseTable(const DecisionRecord& record, const BranchCounts& counts, DecisionItem& item) {
  const std::size_t width = record.operands.size();
  std::vector<std::uint32_t> seenTrue, seenFalse;
  for (std::uint32_t row = 0; row < record.branchCount; ++row) {
    const std::uint64_t count = counts.Condition(record.id + row);
    const bool value = row < *record.trueRows;
    item.rows.push_back({record.text.substr(row * width, width), value, record.id + row, count});
    if (count > 0) (value ? seenTrue : seenFalse).push_back(row);
  }
  item.observed = seenTrue.size() + seenFalse.size();
  for (std::size_t k = 0; k < item.conditions.size(); ++k) {
    IndependenceItem& condition = item.conditions[k];
    condition.shownBy = FirstSeenPair(item.rows, seenTrue, seenFalse, k);
    condition.pairs = output::IndependencePairs(record.text, width, *record.trueRows, k, kListedPairs);
  }
}

using SortedHits = std::vector<std::pair<std::uint32_t, std::uint64_t>>;

void FillForcedTable(const DecisionRecord& record, const SortedHits& hits, const BranchCounts& counts,
                     DecisionItem& item) {
  const std::size_t width = record.operands.size();
  std::vector<std::uint32_t> seen;
  auto hit = std::lower_bound(hits.begin(), hits.end(), std::pair<std::uint32_t, std::uint64_t>{record.id, 0});
  for (; hit != hits.end() && hit->first - record.id < record.branchCount; ++hit) {
    if (hit->second > 0) seen.push_back(hit->first - record.id);
  }
  const std::unordered_set<std::uint32_t> seenSet(seen.begin(), seen.end());
  for (const std::uint32_t values : seen) {
    item.rows.push_back({CombinationText(values, width), EvaluatePrefix(record.text, values), record.id + values,
                         counts.Condition(record.id + values)});
  }
  item.observed = seen.size();
  for (IndependenceItem& condition : item.conditions) {
    const std::uint32_t bit = std::uint32_t{1} << (&condition - item.conditions.data());
    for (const std::uint32_t values : seen) {
      if (!(values & bit) || !seenSet.count(values ^ bit)) continue;
      const bool outcome = EvaluatePrefix(record.text, values);
      if (outcome == EvaluatePrefix(record.text, values ^ bit)) continue;
      condition.shownBy = outcome ? output::RowPair{values, values ^ bit} : output::RowPair{values ^ bit, values};
      break;
    }
  }
}

void AddDecisions(const CountedUnit& counted, FunctionTable& table) {
  std::unordered_map<std::uint32_t, const CaseRecord*> basicById;
  for (const CaseRecord& record : counted.unit.cases) basicById.emplace(record.id, &record);
  SortedHits hits(counted.counts.conditions.begin(), counted.counts.conditions.end());
  std::sort(hits.begin(), hits.end());
  for (const DecisionRecord& record : counted.unit.decisions) {
    DecisionItem item;
    item.id = record.id;
    item.forced = record.Forced();
    item.width = record.operands.size();
    item.combinations = record.branchCount;
    item.operands = record.operands;
    if (item.forced) item.prefix = record.text;
    std::string function;
    for (const std::uint32_t operand : record.operands) {
      const auto found = basicById.find(operand);
      const CaseRecord* basic = found == basicById.end() ? nullptr : found->second;
      item.conditions.push_back({basic ? basic->text : "#" + std::to_string(operand), {}, std::nullopt});
      if (!basic) continue;
      if (item.first == 0) {
        function = basic->function;
        item.first = basic->first;
      }
      item.last = std::max(item.last, basic->last);
    }
    if (item.forced) FillForcedTable(record, hits, counted.counts, item);
    else FillCaseTable(record, counted.counts, item);
    table.Of(function, item.first, item.last).decisions.push_back(std::move(item));
  }
}

// An excluded branch counts apart: in `excluded`, not in `total`.
void Count(Figure& figure, bool excluded, bool hit) {
  if (excluded) ++figure.excluded;
  else figure.Add(hit);
}

void CountFigures(FunctionReport& function) {
  Figures& figures = function.figures;
  for (const BranchItem& item : function.branches) Count(figures[item.category], item.Excluded(), item.count > 0);
  for (const ConditionItem& item : function.conditions) {
    Count(figures[Category::kBasicConditions], item.Excluded(), item.trueCount > 0);
    if (!item.isCase) Count(figures[Category::kBasicConditions], item.Excluded(), item.falseCount > 0);
  }
  for (const LoopItem& loop : function.loops) {
    for (const LoopBranch& branch : loop.branches) Count(figures[Category::kLoops], loop.Excluded(), branch.count > 0);
  }
  for (const DecisionItem& decision : function.decisions) {
    const Category category = decision.forced ? Category::kForcedConditions : Category::kModifiedConditions;
    for (const IndependenceItem& condition : decision.conditions) {
      Count(figures[category], decision.Excluded(), condition.shownBy.has_value());
    }
    if (decision.forced) continue;
    for (const RowItem& row : decision.rows) {
      Count(figures[Category::kMultipleConditions], decision.Excluded(), row.count > 0);
    }
  }
  figures[Category::kDecisions] = figures[Category::kStatementBlocks];
  figures[Category::kDecisions] += figures[Category::kImplicitBlocks];
}

std::array<bool, kCategoryCount> CarriedBy(const FdcUnit& unit, const Figures& figures) {
  std::array<bool, kCategoryCount> carried = SelectedCategories(unit.coverage);
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    carried[i] = carried[i] || figures.figures[i].total > 0 || figures.figures[i].excluded > 0;
  }
  return carried;
}

// Only the changed lines count when the scope has a map; `changed` is then
// the file's entry in it.
FileReport BuildFile(const CountedUnit& counted, const std::string& root, const ReportScope& scope,
                     const std::vector<std::uint32_t>* changed) {
  FunctionTable table;
  AddProcs(counted, table);
  AddCalls(counted, table);
  AddBlocks(counted, table);
  AddCases(counted, table);
  AddDecisions(counted, table);
  FileReport file;
  file.sourcePath = ShownPath(root, counted.unit.SourcePath());
  file.fdcPath = counted.unit.fdcPath;
  file.key = counted.unit.key;
  file.checksum = counted.unit.checksum;
  file.groups = counted.groups;
  file.listing = counted.unit.listing;
  file.functions = std::move(table.functions);
  if (scope.readMarkers) {
    ApplyExclusions(file, ScanExclusionMarkers(MarkerSourceText(file.listing, counted.unit.SourcePath())));
  }
  if (changed) KeepChangedLines(file, *changed);
  for (FunctionReport& function : file.functions) {
    CountFigures(function);
    file.figures += function.figures;
  }
  file.figures.carried = CarriedBy(counted.unit, file.figures);
  for (FunctionReport& function : file.functions) function.figures.carried = file.figures.carried;
  std::stable_sort(file.functions.begin(), file.functions.end(),
                   [](const FunctionReport& a, const FunctionReport& b) { return a.first < b.first; });
  return file;
}

bool ExcludesBranchesAt(const FileReport& file, std::uint32_t line) {
  return std::any_of(file.exclusions.begin(), file.exclusions.end(),
                     [&](const ExclusionItem& exclusion) { return exclusion.first == line && exclusion.branches > 0; });
}

// The variants of one source (files sorted by path, so side by side) share
// its markers: a marker that excludes nothing in one variant but branches
// of another is no mistake of the source's.
void KeepMarkerWarningsOfEveryVariant(std::vector<FileReport>& files) {
  for (std::size_t first = 0, end = 0; first < files.size(); first = end) {
    end = first + 1;
    while (end < files.size() && files[end].sourcePath == files[first].sourcePath) ++end;
    if (end - first == 1) continue;
    for (std::size_t i = first; i < end; ++i) {
      std::erase_if(files[i].markerWarnings, [&](const MarkerWarning& warning) {
        if (!warning.message.ends_with("excludes no branch") &&
            !warning.message.starts_with("exclusion marker excludes no branch")) {
          return false;
        }
        for (std::size_t j = first; j < end; ++j) {
          if (j != i && ExcludesBranchesAt(files[j], warning.line)) return true;
        }
        return false;
      });
    }
  }
}

}  // namespace

HitState ConditionItem::State() const {
  if (isCase) return trueCount > 0 ? HitState::kCovered : HitState::kNever;
  return StateOf((trueCount > 0 ? 1 : 0) + (falseCount > 0 ? 1 : 0), 2);
}

HitState LoopItem::State() const {
  const auto hit = std::count_if(branches.begin(), branches.end(), [](const LoopBranch& b) { return b.count > 0; });
  return StateOf(static_cast<std::size_t>(hit), branches.size());
}

HitState DecisionItem::State() const {
  if (observed == 0) return HitState::kNever;
  const bool all = std::all_of(conditions.begin(), conditions.end(),
                               [](const IndependenceItem& c) { return c.shownBy.has_value(); });
  return all ? HitState::kCovered : HitState::kPartly;
}

Report BuildReport(const CoverageData& data, const std::string& root, const ReportScope& scope) {
  Report report;
  report.root = root;
  report.changes = scope.changes;
  const bool changesOnly = scope.changedLines != nullptr;
  for (const CountedUnit& counted : data.units) {
    if (!counted.chosen) {
      ++report.leftOutSources;
      continue;
    }
    const std::vector<std::uint32_t>* changed = nullptr;
    if (changesOnly) {
      const auto found = scope.changedLines->find(ShownPath(root, counted.unit.SourcePath()));
      if (found == scope.changedLines->end() || found->second.empty()) {
        ++report.unchangedSources;
        continue;
      }
      changed = &found->second;
    }
    report.files.push_back(BuildFile(counted, root, scope, changed));
    report.total += report.files.back().figures;
  }
  std::stable_sort(report.files.begin(), report.files.end(),
                   [](const FileReport& a, const FileReport& b) { return a.sourcePath < b.sourcePath; });
  KeepMarkerWarningsOfEveryVariant(report.files);
  report.stale = data.stale;
  for (StaleGroup& group : report.stale) {
    if (!group.olderBuildOf.empty()) group.olderBuildOf = ShownPath(root, group.olderBuildOf);
  }
  report.leftOutGroups = data.leftOutGroups;
  report.fdcFiles = data.fdcFiles;
  report.resultsFiles = data.resultsFiles;
  report.sections = data.sections;
  return report;
}

}  // namespace report
