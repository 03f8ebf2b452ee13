// What a count is, in the words the pages use.
#include "report/html_parts.h"

namespace report::html {
namespace {

bool Exceeds(const FunctionReport& function, std::uint64_t groups) {
  for (const BranchItem& item : function.branches) {
    if (item.count > groups) return true;
  }
  for (const LoopItem& loop : function.loops) {
    for (const LoopBranch& branch : loop.branches) {
      if (branch.count > groups) return true;
    }
  }
  for (const ConditionItem& item : function.conditions) {
    if (item.trueCount > groups || item.falseCount > groups) return true;
  }
  for (const DecisionItem& decision : function.decisions) {
    for (const RowItem& row : decision.rows) {
      if (row.count > groups) return true;
    }
  }
  return false;
}

}  // namespace

CountUnit CountUnitOf(const FileReport& file) {
  for (const FunctionReport& function : file.functions) {
    if (Exceeds(function, file.groups)) return CountUnit::kExecutions;
  }
  return CountUnit::kRuns;
}

QString CountText(std::uint64_t count, CountUnit unit) {
  if (count == 0) return QStringLiteral("never ran");
  if (unit == CountUnit::kRuns) {
    return count == 1 ? QStringLiteral("ran in 1 run") : QStringLiteral("ran in %1 runs").arg(count);
  }
  return count == 1 ? QStringLiteral("ran once") : QStringLiteral("ran %1 times").arg(count);
}

}  // namespace report::html
