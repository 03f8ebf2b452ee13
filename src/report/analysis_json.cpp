// The "analyses" object of the JSON report; the README ("JSON report")
// documents its keys. Times are nanoseconds.
#include "report/analysis_writers.h"

#include <QJsonArray>
#include <QJsonValue>

namespace report {
namespace {

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Hex(std::uint32_t value) { return QStringLiteral("0x") + QString::number(value, 16).toUpper(); }

QJsonValue Count(std::uint64_t value) { return static_cast<double>(value); }

QJsonValue TextOrNull(const std::string& text) { return text.empty() ? QJsonValue() : QJsonValue(Text(text)); }

QJsonArray Strings(const std::vector<std::string>& texts) {
  QJsonArray array;
  for (const std::string& text : texts) array.append(Text(text));
  return array;
}

QJsonObject RoutineJson(const RoutineRef& routine) {
  QJsonObject object{{"name", routine.known ? QJsonValue(Text(routine.name)) : QJsonValue()},
                     {"key", Hex(routine.id.key)},
                     {"checksum", Hex(routine.id.checksum)},
                     {"message", Count(routine.id.message)},
                     {"source", TextOrNull(routine.sourcePath)},
                     {"line", routine.known ? Count(routine.line) : QJsonValue()}};
  return object;
}

QJsonObject SiteJson(const SiteRef& site) {
  return QJsonObject{{"routine", RoutineJson(site.routine)},
                     {"source", TextOrNull(site.sourcePath)},
                     {"line", site.line == 0 ? QJsonValue() : Count(site.line)},
                     {"recorded_line", Count(site.recorded)}};
}

QJsonValue ProfileJson(const AnalysisReport& analyses) {
  if (!analyses.HasProfile()) return QJsonValue();
  QJsonArray routines;
  for (const ProfileRow& row : analyses.profile) {
    const ProfileStats& stats = row.stats;
    routines.append(QJsonObject{{"routine", RoutineJson(row.routine)},
                                {"calls", Count(stats.calls)},
                                {"own_total_ns", Count(stats.ownTotal)},
                                {"total_ns", Count(stats.total)},
                                {"min_ns", Count(stats.calls ? stats.min : 0)},
                                {"max_ns", Count(stats.max)},
                                {"own_min_ns", Count(stats.calls ? stats.ownMin : 0)},
                                {"own_max_ns", Count(stats.ownMax)},
                                {"average_ns", Count(row.Average())}});
  }
  return QJsonObject{{"sections", Count(analyses.profileSections)},
                     {"clocks", Strings(analyses.clocks)},
                     {"routines", routines}};
}

QJsonValue MemoryJson(const AnalysisReport& analyses) {
  if (!analyses.HasMemory()) return QJsonValue();
  QJsonArray allocations, leaks, badFrees;
  for (const AllocationRow& row : analyses.allocations) {
    QJsonObject object = SiteJson(row.site);
    object["blocks"] = Count(row.stats.blocks);
    object["bytes"] = Count(row.stats.bytes);
    object["freed_blocks"] = Count(row.stats.freedBlocks);
    object["freed_bytes"] = Count(row.stats.freedBytes);
    allocations.append(object);
  }
  for (const LeakRow& row : analyses.leaks) {
    QJsonObject object = SiteJson(row.site);
    object["blocks"] = Count(row.stats.blocks);
    object["bytes"] = Count(row.stats.bytes);
    leaks.append(object);
  }
  for (const BadFreeRow& row : analyses.badFrees) {
    QJsonObject object = SiteJson(row.site);
    object["kind"] = row.kind == BadFreeKind::kDouble ? "freed_again" : "never_allocated";
    object["count"] = Count(row.count);
    badFrees.append(object);
  }
  return QJsonObject{{"sections", Count(analyses.memorySections)},
                     {"allocations", allocations},
                     {"leaks", leaks},
                     {"bad_frees", badFrees},
                     {"bad_frees_not_listed", Count(analyses.badFreesNotListed)}};
}

QString LineKind(TraceLineKind kind) {
  switch (kind) {
    case TraceLineKind::kCall: return QStringLiteral("call");
    case TraceLineKind::kExit: return QStringLiteral("exit");
    case TraceLineKind::kUnwound: return QStringLiteral("unwound");
    case TraceLineKind::kDump: return QStringLiteral("dump");
    case TraceLineKind::kDropped: return QStringLiteral("dropped");
  }
  return {};
}

QJsonObject TraceLineJson(const TraceLine& line) {
  QJsonObject object{{"kind", LineKind(line.kind)}, {"depth", Count(line.depth)}};
  if (line.kind == TraceLineKind::kDropped) {
    object["dropped"] = Count(line.time);
    return object;
  }
  object["time_ns"] = Count(line.time);
  if (line.kind == TraceLineKind::kDump) return object;
  object["routine"] = RoutineJson(line.routine);
  if (line.kind != TraceLineKind::kCall) return object;
  object["duration_ns"] = line.duration ? Count(*line.duration) : QJsonValue();
  object["end"] = line.end == CallEnd::kExit ? "exit" : line.end == CallEnd::kUnwound ? "unwound" : "open";
  return object;
}

QJsonValue TraceJson(const AnalysisReport& analyses) {
  if (!analyses.HasTrace()) return QJsonValue();
  QJsonArray threads;
  for (const ThreadView& thread : analyses.threads) {
    QJsonArray lines;
    for (const TraceLine& line : thread.lines) lines.append(TraceLineJson(line));
    threads.append(QJsonObject{{"pid", Count(thread.pid)},
                               {"thread", Count(thread.thread)},
                               {"sections", Count(thread.sections)},
                               {"events", Count(thread.events)},
                               {"dropped", Count(thread.dropped)},
                               {"lost", Count(thread.lost)},
                               {"shown", Count(thread.shown)},
                               {"lines", lines}});
  }
  return QJsonObject{{"event_limit", Count(analyses.eventLimit)}, {"threads", threads}};
}

}  // namespace

QJsonObject AnalysesJson(const AnalysisReport& analyses) {
  return QJsonObject{{"tsf_files", Strings(analyses.tsfFiles)},
                     {"trace_files", Strings(analyses.traceFiles)},
                     {"profile_files", Strings(analyses.profileFiles)},
                     {"memory_files", Strings(analyses.memoryFiles)},
                     {"unresolved", Count(analyses.unresolved)},
                     {"profile", ProfileJson(analyses)},
                     {"memory", MemoryJson(analyses)},
                     {"trace", TraceJson(analyses)}};
}

}  // namespace report
