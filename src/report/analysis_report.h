// The views of the runtime analyses, with every routine resolved through the
// TSF blocks: the performance profile by own time, the memory profile by
// allocating site with its leaks and bad frees, and the trace as an indented
// call tree per process and thread.
#pragma once

#include "report/analysis_data.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

/// A routine by name and place, or by number when no TSF block resolves it.
struct RoutineRef {
  RoutineId id;
  bool known = false;
  std::string name;        // "#<message>" when unknown, "(untraced code)" for the untraced site
  std::string sourcePath;  // full path, empty when unknown
  std::string sourceName;  // without the directory
  std::uint32_t line = 0;  // of the opening brace
  /// "leak.c:7", or the key and checksum of an unknown routine.
  std::string Where() const;
};

struct SiteRef {
  RoutineRef routine;
  std::uint32_t recorded = 0;  // the line value as the runtime wrote it
  std::string sourcePath, sourceName;  // empty when unknown
  std::uint32_t line = 0;
  std::string Where() const;
};

struct ProfileRow {
  RoutineRef routine;
  ProfileStats stats;
  std::uint64_t Average() const { return stats.calls == 0 ? 0 : stats.total / stats.calls; }
};

struct AllocationRow {
  SiteRef site;
  AllocationStats stats;
};

struct LeakRow {
  SiteRef site;
  LeakStats stats;
};

enum class BadFreeKind : std::uint8_t { kDouble, kNeverAllocated };

struct BadFreeRow {
  SiteRef site;
  BadFreeKind kind = BadFreeKind::kDouble;
  std::uint64_t count = 0;
};

enum class TraceLineKind : std::uint8_t {
  kCall,     // an entry, with its duration when its exit was seen
  kExit,     // an exit whose entry was not kept
  kUnwound,  // a frame unwound whose entry was not kept
  kDump,
  kDropped,  // the ring overwrote older events here
};

enum class CallEnd : std::uint8_t { kExit, kUnwound, kOpen };

struct TraceLine {
  TraceLineKind kind = TraceLineKind::kCall;
  std::uint32_t depth = 0;  // indentation: a routine's depth less one, a dump's depth
  RoutineRef routine;       // calls, exits and unwound frames
  std::uint64_t time = 0;   // nanoseconds; dropped events for kDropped
  std::optional<std::uint64_t> duration;
  CallEnd end = CallEnd::kOpen;  // calls only
};

struct ThreadView {
  std::uint32_t pid = 0, thread = 0;
  std::uint64_t sections = 0, events = 0, dropped = 0, lost = 0;
  std::uint64_t shown = 0;  // events the lines show: the first `limit`
  std::vector<TraceLine> lines;
};

struct AnalysisReport {
  std::vector<std::string> tsfFiles, traceFiles, profileFiles, memoryFiles;
  std::size_t unresolved = 0;

  std::size_t profileSections = 0;
  std::vector<std::string> clocks;
  std::vector<ProfileRow> profile;  // by own total, largest first

  std::size_t memorySections = 0;
  std::vector<AllocationRow> allocations;  // by routine, then line
  std::vector<LeakRow> leaks;              // by bytes, largest first
  std::vector<BadFreeRow> badFrees;        // by routine, then line
  std::uint64_t badFreesNotListed = 0;

  std::uint64_t eventLimit = 0;
  std::vector<ThreadView> threads;

  bool HasProfile() const { return !profileFiles.empty(); }
  bool HasMemory() const { return !memoryFiles.empty(); }
  bool HasTrace() const { return !traceFiles.empty(); }
  bool Any() const { return HasProfile() || HasMemory() || HasTrace(); }
};

/// `eventLimit`: the events per thread the call tree shows.
AnalysisReport BuildAnalysisReport(const AnalysisData& data, const TsfCatalog& catalog, std::uint64_t eventLimit);

/// "850 ns", "69.5 us", "274.6 ms", "12.0 s": below ten units in the next
/// smaller one, one decimal rounded down.
std::string FormatDuration(std::uint64_t nanoseconds);

}  // namespace report
