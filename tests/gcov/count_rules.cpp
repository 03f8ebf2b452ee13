#include "count_rules.h"

#include "control_lines.h"
#include "line_index.h"

#include <map>
#include <set>
#include <tuple>

namespace gcovcheck {
namespace {

const GcovSource* FindSource(const GcovReport& gcov, const std::string& path) {
  for (const GcovSource& source : gcov.sources) {
    if (source.path == path) return &source;
  }
  return nullptr;
}

struct UnitComparer {
  const UnitCounts& counts;
  const GcovSource* source;  // none when gcc emitted no code of the file
  std::string path;
  LineIndex index;
  std::vector<bool> controlLines;
  Comparison& comparison;

  void Compare(const std::string& function, std::uint32_t line, const std::string& what, const BranchCount& ours,
               std::uint64_t gcov, std::size_t& compared) {
    if (ours.saturated) {
      ++comparison.saturated;
      return;
    }
    ++compared;
    if (ours.count != gcov) comparison.mismatches.push_back({path, function, what, line, ours.count, gcov});
  }

  // The line when gcov counts it as straight code of one function: no
  // conditional jump leaves it and it holds no control statement, so
  // everything on it runs as often as the line is entered.
  const GcovLine* StraightLine(std::uint32_t line) const {
    if (!source || line >= controlLines.size() || controlLines[line]) return nullptr;
    const auto found = source->lines.find(line);
    if (found == source->lines.end() || found->second.shared || found->second.hasBranches) return nullptr;
    return &found->second;
  }

  void CompareEntries() {
    std::map<std::string, const GcovFunction*> functions;
    if (source) {
      for (const GcovFunction& function : source->functions) functions.emplace(function.name, &function);
    }
    std::set<std::string> recorded;
    std::set<std::tuple<std::string, std::uint32_t, std::uint32_t>> bodies;
    for (const report::ProcRecord& proc : counts.unit.procs) {
      if (proc.kind != report::ProcKind::kProc) continue;
      recorded.insert(proc.function);
      bodies.insert({proc.function, proc.first, proc.last});
      const auto found = functions.find(proc.function);
      // A function gcc did not emit (an unused inline one) never ran.
      const std::uint64_t gcov = found == functions.end() ? 0 : found->second->count;
      Compare(proc.function, proc.first, "entry P " + std::to_string(proc.id), counts.procs[proc.id], gcov,
              comparison.entries);
    }
    // The block of a function's body (no path, the function's lines) is
    // counted right after its entry.
    for (const report::BlockRecord& block : counts.unit.blocks) {
      if (!block.path.empty() || !bodies.contains({block.function, block.first, block.last})) continue;
      const auto found = functions.find(block.function);
      const std::uint64_t gcov = found == functions.end() ? 0 : found->second->count;
      Compare(block.function, block.first, "body block B " + std::to_string(block.id), counts.blocks[block.id], gcov,
              comparison.entries);
    }
    for (const auto& [name, function] : functions) {
      // gcc names a nested function "outer.N" or "name.N"; its inside is
      // never instrumented.
      if (recorded.contains(name) || name.find('.') != std::string::npos) continue;
      comparison.mismatches.push_back({path, name, "function without entry record", function->startLine, 0,
                                       function->count});
    }
  }

  // A call is counted just before it runs, gcov counts a line each time
  // control enters it. They agree on a line that holds this one call and
  // no conditional jump (so the call is not skipped by &&, || or ?:, and the
  // line is not a loop header run more often than its body), unless a
  // sequence block begins on it: the code before that block on the same
  // line may have jumped away.
  void CompareCalls() {
    for (const report::CallRecord& call : counts.unit.calls) {
      if (call.first != call.last || index.At(index.callsOver, call.first) != 1) continue;
      if (index.At(index.sequenceStarts, call.first) != 0) continue;
      const GcovLine* line = StraightLine(call.first);
      if (!line) continue;
      Compare(call.function, call.first, "call C " + std::to_string(call.id) + " " + call.callee,
              counts.calls[call.id], line->count, comparison.calls);
    }
  }

  // A one-line block is counted when control reaches its first statement;
  // gcov's count of its line is the same when the block is the only block
  // record that begins or ends there (no enclosing block or function shares
  // it) and the line holds no conditional jump: the condition that chooses
  // the block (an if, a loop header) is then on another line, or the line's
  // count would be the condition's.
  void CompareBlocks() {
    for (const report::BlockRecord& block : counts.unit.blocks) {
      if (block.kind != report::BlockKind::kSimple || block.first != block.last) continue;
      if (index.At(index.blockEnds, block.first) != 1 || index.At(index.procEnds, block.first) != 0) continue;
      const GcovLine* line = StraightLine(block.first);
      if (!line) continue;
      Compare(block.function, block.first, "block B " + std::to_string(block.id) + " " + block.path,
              counts.blocks[block.id], line->count, comparison.blocks);
    }
  }
};

}  // namespace

Comparison CompareCounts(const OurCounts& ours, const GcovReport& gcov) {
  Comparison comparison;
  for (const UnitCounts& counts : ours.units) {
    const std::string path = CleanPath("/", counts.unit.SourcePath());
    UnitComparer comparer{counts, FindSource(gcov, path), path, IndexLines(counts.unit), ReadControlLines(path),
                          comparison};
    comparer.CompareEntries();
    comparer.CompareCalls();
    comparer.CompareBlocks();
  }
  return comparison;
}

}  // namespace gcovcheck
