#include "report/analysis_report.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <tuple>

namespace report {
namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

RoutineRef Resolve(const RoutineId& id, const TsfCatalog& catalog) {
  RoutineRef ref;
  ref.id = id;
  if (id.Untraced()) {
    ref.name = "(untraced code)";
    return ref;
  }
  const TsfBlock* block = catalog.FindBlock(id.key, id.checksum);
  const TsfRoutine* routine = catalog.FindRoutine(id);
  if (!block || !routine) {
    ref.name = "#" + std::to_string(id.message);
    return ref;
  }
  ref.known = true;
  ref.name = routine->name;
  ref.sourcePath = block->sourcePath;
  ref.sourceName = block->sourceName;
  ref.line = routine->line;
  return ref;
}

// A location text of another file is "[<path>,<line>]".
bool SplitLocation(const std::string& text, std::string& path, std::uint32_t& line) {
  const std::size_t comma = text.rfind(',');
  if (text.size() < 4 || text.front() != '[' || text.back() != ']' || comma == std::string::npos) return false;
  const std::string digits = text.substr(comma + 1, text.size() - comma - 2);
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  path = text.substr(1, comma - 1);
  line = static_cast<std::uint32_t>(std::stoul(digits));
  return true;
}

// The recorded line value names a location text of the routine's block when
// the block has one of that identifier; else it is an offset from the
// routine's opening line.
SiteRef ResolveSite(const SiteId& id, const TsfCatalog& catalog) {
  SiteRef site;
  site.routine = Resolve(id.routine, catalog);
  site.recorded = id.line;
  if (!site.routine.known) return site;
  const TsfBlock* block = catalog.FindBlock(id.routine.key, id.routine.checksum);
  const auto text = block->texts.find(id.line);
  if (text == block->texts.end()) {
    site.sourcePath = site.routine.sourcePath;
    site.sourceName = site.routine.sourceName;
    site.line = site.routine.line + id.line;
  } else if (SplitLocation(text->second, site.sourcePath, site.line)) {
    site.sourceName = BaseName(site.sourcePath);
  } else {
    site.sourcePath = site.sourceName = text->second;
  }
  return site;
}

auto SiteOrder(const SiteRef& site) { return std::tie(site.routine.name, site.sourcePath, site.line, site.recorded); }

std::vector<ProfileRow> ProfileRows(const AnalysisData& data, const TsfCatalog& catalog) {
  std::vector<ProfileRow> rows;
  rows.reserve(data.profile.size());
  for (const auto& [id, stats] : data.profile) rows.push_back({Resolve(id, catalog), stats});
  std::sort(rows.begin(), rows.end(), [](const ProfileRow& a, const ProfileRow& b) {
    if (a.stats.ownTotal != b.stats.ownTotal) return a.stats.ownTotal > b.stats.ownTotal;
    return std::tie(a.routine.name, a.routine.id.key, a.routine.id.message) <
           std::tie(b.routine.name, b.routine.id.key, b.routine.id.message);
  });
  return rows;
}

void AddMemoryRows(const AnalysisData& data, const TsfCatalog& catalog, AnalysisReport& report) {
  for (const auto& [id, stats] : data.allocations) report.allocations.push_back({ResolveSite(id, catalog), stats});
  std::sort(report.allocations.begin(), report.allocations.end(),
            [](const AllocationRow& a, const AllocationRow& b) { return SiteOrder(a.site) < SiteOrder(b.site); });
  for (const auto& [id, stats] : data.leaks) report.leaks.push_back({ResolveSite(id, catalog), stats});
  std::sort(report.leaks.begin(), report.leaks.end(), [](const LeakRow& a, const LeakRow& b) {
    return a.stats.bytes != b.stats.bytes ? a.stats.bytes > b.stats.bytes : SiteOrder(a.site) < SiteOrder(b.site);
  });
  for (const auto& [id, stats] : data.badFrees) {
    const SiteRef site = ResolveSite(id, catalog);
    if (stats.doubleFrees) report.badFrees.push_back({site, BadFreeKind::kDouble, stats.doubleFrees});
    if (stats.neverAllocated) report.badFrees.push_back({site, BadFreeKind::kNeverAllocated, stats.neverAllocated});
  }
  std::sort(report.badFrees.begin(), report.badFrees.end(), [](const BadFreeRow& a, const BadFreeRow& b) {
    return a.kind != b.kind ? a.kind < b.kind : SiteOrder(a.site) < SiteOrder(b.site);
  });
  report.badFreesNotListed = data.badFreesNotListed;
  report.memorySections = data.memorySections;
}

// Rebuilds one thread's calls in one pass: each exit closes the innermost
// open entry when that entry is of the same routine at the same depth. Only
// the first `limit` events get lines; later ones are read only to close the
// calls shown, and reading stops once none is open.
class TreeBuilder {
 public:
  TreeBuilder(const TsfCatalog& catalog, std::uint64_t limit, ThreadView& view)
      : catalog_(catalog), limit_(limit), view_(view) {}

  void Build(const TraceThread& thread) {
    for (const TraceEvent& event : thread.trace) {
      if (event.kind == EventKind::kSection) {
        StartSection(event.value);
        continue;
      }
      if (view_.shown >= limit_ && shownOpen_ == 0) return;
      const bool showing = view_.shown < limit_;
      if (showing) ++view_.shown;
      if (event.kind == EventKind::kEntry) Enter(event, showing);
      else if (event.kind == EventKind::kDump) Dump(event, showing);
      else Leave(event, showing);
    }
  }

 private:
  struct Open {
    std::uint32_t depth;
    RoutineId routine;
    std::uint64_t start;
    std::size_t line;  // kNoLine when not shown
  };
  static constexpr std::size_t kNoLine = SIZE_MAX;

  // Events dropped before this section: the calls open before it may have
  // ended among them, so none of them is paired with a later exit.
  void StartSection(std::uint64_t dropped) {
    if (dropped == 0) return;
    CloseAbove(0);
    if (view_.shown < limit_) view_.lines.push_back({TraceLineKind::kDropped, 0, {}, dropped, std::nullopt});
  }

  // Frames deeper than `depth` whose exit was not seen.
  void CloseAbove(std::uint32_t depth) {
    while (!open_.empty() && open_.back().depth > depth) Pop();
  }

  void Pop() {
    if (open_.back().line != kNoLine) --shownOpen_;
    open_.pop_back();
  }

  void Enter(const TraceEvent& event, bool showing) {
    CloseAbove(event.depth - 1);
    const std::size_t line = showing ? view_.lines.size() : kNoLine;
    open_.push_back({event.depth, event.routine, event.value, line});
    if (!showing) return;
    ++shownOpen_;
    view_.lines.push_back(
        {TraceLineKind::kCall, event.depth - 1, Resolve(event.routine, catalog_), event.value, std::nullopt});
  }

  void Leave(const TraceEvent& event, bool showing) {
    CloseAbove(event.depth);
    const bool unwound = event.kind == EventKind::kUnwound;
    if (!open_.empty() && open_.back().depth == event.depth && open_.back().routine == event.routine) {
      const Open& open = open_.back();
      if (open.line != kNoLine) {
        TraceLine& call = view_.lines[open.line];
        call.duration = event.value >= open.start ? event.value - open.start : 0;
        call.end = unwound ? CallEnd::kUnwound : CallEnd::kExit;
      }
      Pop();
      return;
    }
    if (!showing) return;
    view_.lines.push_back({unwound ? TraceLineKind::kUnwound : TraceLineKind::kExit, event.depth - 1,
                           Resolve(event.routine, catalog_), event.value, std::nullopt});
  }

  void Dump(const TraceEvent& event, bool showing) {
    if (showing) view_.lines.push_back({TraceLineKind::kDump, event.depth, {}, event.value, std::nullopt});
  }

  const TsfCatalog& catalog_;
  std::uint64_t limit_;
  ThreadView& view_;
  std::vector<Open> open_;
  std::size_t shownOpen_ = 0;
};

}  // namespace

std::string RoutineRef::Where() const {
  if (known) return sourceName + ":" + std::to_string(line);
  return id.Untraced() ? std::string() : Hex(id.key) + "/" + Hex(id.checksum);
}

std::string SiteRef::Where() const {
  if (!sourceName.empty()) return line == 0 ? sourceName : sourceName + ":" + std::to_string(line);
  return routine.id.Untraced() ? std::string() : routine.Where() + " +" + std::to_string(recorded);
}

AnalysisReport BuildAnalysisReport(const AnalysisData& data, const TsfCatalog& catalog, std::uint64_t eventLimit) {
  AnalysisReport report;
  report.tsfFiles = catalog.files;
  report.traceFiles = data.traceFiles;
  report.profileFiles = data.profileFiles;
  report.memoryFiles = data.memoryFiles;
  report.unresolved = data.unresolved;
  report.profileSections = data.profileSections;
  report.clocks = data.clocks;
  report.profile = ProfileRows(data, catalog);
  AddMemoryRows(data, catalog, report);
  report.eventLimit = eventLimit;
  for (const TraceThread& thread : data.threads) {
    ThreadView view{thread.pid, thread.thread, thread.sections, thread.events, thread.dropped, thread.lost, 0, {}};
    TreeBuilder(catalog, eventLimit, view).Build(thread);
    report.threads.push_back(std::move(view));
  }
  return report;
}

std::string FormatDuration(std::uint64_t nanoseconds) {
  static constexpr const char* kUnits[] = {"us", "ms", "s"};
  if (nanoseconds < 10000) return std::to_string(nanoseconds) + " ns";
  std::uint64_t tenths = nanoseconds / 100;  // tenths of a microsecond
  std::size_t unit = 0;
  for (; unit + 1 < std::size(kUnits) && tenths >= 100000; ++unit) tenths /= 1000;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[unit];
}

}  // namespace report
