// What the runtime's trace, performance and memory files hold, added up as
// they are read (README, "Tracing and profiling files"):
//
//   quorb.qbt  T <pid> <thread> <time> <dropped> <lost>, then E/X/U/D events
//   quorb.qbq  Q <pid> <time>, F 0x<KEY> 0x<CHECKSUM> <clock>, S <message> <figures>
//   quorb.qbp  H <pid> <time>, then A, D, N, B and L lines
//
// Profile figures and allocation sites are summed over sections, processes
// and files; a thread's events are kept in order, their sections one after
// the other. Each reader checks every line and names the first malformed
// one as "path:line: what"; a file must end with a line feed, since the
// runtime writes whole lines (anything else is a truncated file).
#pragma once

#include "report/tsf_catalog.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace report {

struct ProfileStats {
  std::uint64_t calls = 0;
  std::uint64_t min = UINT64_MAX, max = 0, total = 0;  // per call, with the callees
  std::uint64_t ownMin = UINT64_MAX, ownMax = 0, ownTotal = 0;
};

/// An allocating site: a routine and the line value the runtime recorded (an
/// offset from the routine's opening line, or a TSF text identifier).
struct SiteId {
  RoutineId routine;
  std::uint32_t line = 0;
  bool operator==(const SiteId&) const = default;
};

struct SiteIdHash {
  std::size_t operator()(const SiteId& id) const { return RoutineIdHash()(id.routine) * 31 + id.line; }
};

struct AllocationStats {
  std::uint64_t blocks = 0, bytes = 0, freedBlocks = 0, freedBytes = 0;
};

struct LeakStats {
  std::uint64_t blocks = 0, bytes = 0;
};

struct BadFreeStats {
  std::uint64_t doubleFrees = 0, neverAllocated = 0;
};

enum class EventKind : char {
  kEntry = 'E',
  kExit = 'X',
  kUnwound = 'U',  // left without return (longjmp)
  kDump = 'D',
  kSection = 'T',  // start of a section: `value` is the events its ring dropped
};

struct TraceEvent {
  EventKind kind = EventKind::kEntry;
  std::uint32_t depth = 0;
  std::uint64_t value = 0;  // CLOCK_MONOTONIC nanoseconds; dropped events for kSection
  RoutineId routine;
};

struct TraceThread {
  std::uint32_t pid = 0, thread = 0;
  std::uint64_t sections = 0, events = 0, dropped = 0, lost = 0;
  std::vector<TraceEvent> trace;  // events and section starts, in file order
};

struct AnalysisData {
  std::vector<std::string> traceFiles, profileFiles, memoryFiles;
  std::size_t unresolved = 0;  // records naming a routine no TSF block resolves

  std::size_t profileSections = 0;
  std::vector<std::string> clocks;  // "os", "process": each clock seen once
  std::unordered_map<RoutineId, ProfileStats, RoutineIdHash> profile;

  std::size_t memorySections = 0;
  std::unordered_map<SiteId, AllocationStats, SiteIdHash> allocations;
  std::unordered_map<SiteId, LeakStats, SiteIdHash> leaks;
  std::unordered_map<SiteId, BadFreeStats, SiteIdHash> badFrees;
  std::uint64_t badFreesNotListed = 0;

  std::vector<TraceThread> threads;  // in the order they first appear
  std::unordered_map<std::uint64_t, std::size_t> threadIndex;  // pid << 32 | thread
};

/// Each adds one file's records to `data`; an empty text when well formed,
/// else "path:line: what". Records whose routine `catalog` does not resolve
/// are added all the same and counted in `data.unresolved`.
std::string ParseTraceFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                           AnalysisData& data);
std::string ParseProfileFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                             AnalysisData& data);
std::string ParseMemoryFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                            AnalysisData& data);

}  // namespace report
