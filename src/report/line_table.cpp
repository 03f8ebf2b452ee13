#include "report/line_table.h"

#include <algorithm>

namespace report {
namespace {

// Line 0 stands for an unknown line: neither format has a place for it.
void CountLine(LineTable& table, std::uint32_t line, std::uint64_t count) {
  if (line == 0) return;
  LineCount& entry = table.lines[line];
  entry.hits = std::max(entry.hits, count);
}

void AddBranch(LineTable& table, std::uint32_t line, std::uint32_t group, std::uint32_t branch,
               std::uint64_t taken) {
  if (line == 0) return;
  table.branches.push_back({line, group, branch, taken});
  CountLine(table, line, taken);
  LineCount& entry = table.lines[line];
  ++entry.branches;
  entry.branchesTaken += taken > 0 ? 1 : 0;
}

}  // namespace

LineTable DeriveLines(const FileReport& file) {
  LineTable table;
  std::uint32_t group = 0;
  for (const FunctionReport& function : file.functions) {
    for (const BranchItem& item : function.branches) {
      if (item.Excluded()) continue;
      if (item.category == Category::kFunctions) CountLine(table, item.first, item.count);
      if (item.category == Category::kStatementBlocks) CountLine(table, item.first, item.count);
      if (item.category == Category::kStatementBlocks || item.category == Category::kImplicitBlocks) {
        AddBranch(table, item.first, group++, 0, item.count);
      }
    }
    for (const LoopItem& loop : function.loops) {
      if (loop.Excluded()) continue;
      for (std::uint32_t i = 0; i < loop.branches.size(); ++i) AddBranch(table, loop.first, group, i, loop.branches[i].count);
      ++group;
    }
    for (const ConditionItem& condition : function.conditions) {
      if (condition.Excluded()) continue;
      AddBranch(table, condition.first, group, 0, condition.trueCount);
      if (!condition.isCase) AddBranch(table, condition.first, group, 1, condition.falseCount);
      ++group;
    }
  }
  return table;
}

}  // namespace report
