// The analyses in the terminal: aligned tables and indented call trees.
#include "report/analysis_writers.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace report {
namespace {

constexpr std::uint32_t kDeepestIndent = 100;

std::string Plural(std::uint64_t count, std::string_view word) {
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

// Columns as wide as their widest cell; the first `leftColumns` are names
// and aligned left, the rest numbers aligned right.
class TextTable {
 public:
  TextTable(std::vector<std::string> header, std::size_t leftColumns)
      : leftColumns_(leftColumns), rows_{std::move(header)} {}

  void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

  void Write(std::ostream& out) const {
    std::vector<std::size_t> widths(rows_.front().size(), 0);
    for (const auto& row : rows_) {
      for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    for (const auto& row : rows_) {
      std::string line;
      for (std::size_t i = 0; i < row.size(); ++i) {
        const std::string padding(widths[i] - row[i].size(), ' ');
        const bool last = i + 1 == row.size();
        line += i < leftColumns_ ? "  " + row[i] + (last ? "" : padding) : "  " + padding + row[i];
      }
      out << line << "\n";
    }
  }

 private:
  std::size_t leftColumns_;
  std::vector<std::vector<std::string>> rows_;
};

std::string Clocks(const std::vector<std::string>& clocks) {
  std::string text;
  for (const std::string& clock : clocks) text += (text.empty() ? "" : " and ") + clock;
  return text.empty() ? "none" : text;
}

void WriteProfile(const AnalysisReport& analyses, std::ostream& out) {
  out << "Performance profile: " << Plural(analyses.profile.size(), "routine") << " from "
      << Plural(analyses.profileSections, "section") << ", clock " << Clocks(analyses.clocks) << "\n";
  if (analyses.profile.empty()) return;
  TextTable table({"routine", "location", "calls", "own total", "total", "min", "max", "average"}, 2);
  for (const ProfileRow& row : analyses.profile) {
    const ProfileStats& stats = row.stats;
    table.Add({row.routine.name, row.routine.Where(), std::to_string(stats.calls), FormatDuration(stats.ownTotal),
               FormatDuration(stats.total), FormatDuration(stats.calls ? stats.min : 0),
               FormatDuration(stats.max), FormatDuration(row.Average())});
  }
  table.Write(out);
}

void WriteMemory(const AnalysisReport& analyses, std::ostream& out) {
  out << "Memory profile: " << Plural(analyses.allocations.size(), "allocating site") << " from "
      << Plural(analyses.memorySections, "section") << "\n";
  if (!analyses.allocations.empty()) {
    TextTable table({"routine", "location", "blocks", "bytes", "freed blocks", "freed bytes"}, 2);
    for (const AllocationRow& row : analyses.allocations) {
      table.Add({row.site.routine.name, row.site.Where(), std::to_string(row.stats.blocks),
                 std::to_string(row.stats.bytes), std::to_string(row.stats.freedBlocks),
                 std::to_string(row.stats.freedBytes)});
    }
    table.Write(out);
  }
  std::uint64_t blocks = 0, bytes = 0;
  for (const LeakRow& row : analyses.leaks) blocks += row.stats.blocks, bytes += row.stats.bytes;
  out << "Leaks: " << (blocks == 0 ? "none" : Plural(blocks, "block") + ", " + Plural(bytes, "byte")) << "\n";
  if (blocks != 0) {
    TextTable table({"routine", "location", "blocks", "bytes"}, 2);
    for (const LeakRow& row : analyses.leaks) {
      table.Add({row.site.routine.name, row.site.Where(), std::to_string(row.stats.blocks),
                 std::to_string(row.stats.bytes)});
    }
    table.Write(out);
  }
  std::uint64_t bad = analyses.badFreesNotListed;
  for (const BadFreeRow& row : analyses.badFrees) bad += row.count;
  out << "Bad frees: " << (bad == 0 ? std::string("none") : std::to_string(bad)) << "\n";
  if (!analyses.badFrees.empty()) {
    TextTable table({"kind", "routine", "location", "count"}, 3);
    for (const BadFreeRow& row : analyses.badFrees) {
      table.Add({row.kind == BadFreeKind::kDouble ? "freed again" : "never allocated", row.site.routine.name,
                 row.site.Where(), std::to_string(row.count)});
    }
    table.Write(out);
  }
  if (analyses.badFreesNotListed) out << "  " << analyses.badFreesNotListed << " more not listed by the runtime\n";
}

std::string Named(const RoutineRef& routine) {
  const std::string where = routine.Where();
  return where.empty() ? routine.name : routine.name + " (" + where + ")";
}

std::string LineText(const TraceLine& line) {
  switch (line.kind) {
    case TraceLineKind::kCall:
      if (line.end == CallEnd::kOpen) return Named(line.routine) + ", no exit seen";
      return Named(line.routine) + " " + FormatDuration(*line.duration) +
             (line.end == CallEnd::kUnwound ? ", unwound" : "");
    case TraceLineKind::kExit: return "exit of " + Named(line.routine);
    case TraceLineKind::kUnwound: return "unwound " + Named(line.routine);
    case TraceLineKind::kDump: return "-- trace dump --";
    case TraceLineKind::kDropped: return "... " + Plural(line.time, "earlier event") + " dropped";
  }
  return {};
}

void WriteThread(const ThreadView& thread, std::ostream& out) {
  out << "Trace of process " << thread.pid << ", thread " << thread.thread << ": " << Plural(thread.events, "event")
      << " in " << Plural(thread.sections, "section") << ", " << thread.dropped << " dropped, " << thread.lost
      << " lost\n";
  for (const TraceLine& line : thread.lines) {
    // Deeper lines keep the deepest indentation and say their depth.
    const std::uint32_t indent = std::min(line.depth, kDeepestIndent);
    out << std::string(2 + 2 * std::size_t{indent}, ' ');
    if (indent < line.depth) out << "[depth " << line.depth << "] ";
    out << LineText(line) << "\n";
  }
  if (thread.shown < thread.events) {
    out << "  (the first " << thread.shown << " of " << thread.events << " events shown)\n";
  }
}

}  // namespace

void WriteAnalyses(const AnalysisReport& analyses, std::ostream& out) {
  if (analyses.HasProfile()) {
    out << "\n";
    WriteProfile(analyses, out);
  }
  if (analyses.HasMemory()) {
    out << "\n";
    WriteMemory(analyses, out);
  }
  if (analyses.HasTrace() && analyses.threads.empty()) out << "\nTrace: no events\n";
  for (const ThreadView& thread : analyses.threads) {
    out << "\n";
    WriteThread(thread, out);
  }
}

void WriteAnalysesNote(const AnalysisReport& analyses, std::ostream& out) {
  if (!analyses.Any()) return;
  std::vector<std::string> parts;
  if (analyses.HasProfile()) parts.push_back(Plural(analyses.profile.size(), "routine") + " profiled");
  if (analyses.HasMemory()) {
    std::uint64_t leaks = 0;
    for (const LeakRow& row : analyses.leaks) leaks += row.stats.blocks;
    parts.push_back(Plural(leaks, "leak"));
  }
  if (analyses.HasTrace()) {
    std::uint64_t events = 0;
    for (const ThreadView& thread : analyses.threads) events += thread.events;
    parts.push_back(Plural(events, "trace event"));
  }
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  out << "\nRuntime analyses: " << text << " (--analyses shows them)\n";
}

}  // namespace report
