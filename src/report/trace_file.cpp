// The trace file: per section one thread's events since its previous one.
#include "report/analysis_records.h"

namespace report {
namespace {

struct TraceReader {
  const TsfCatalog& catalog;
  AnalysisData& data;
  TraceThread* thread = nullptr;  // of the last T line
};

bool ReadSection(RecordLine& fields, TraceReader& reader) {
  std::uint32_t pid = 0, number = 0;
  std::uint64_t time = 0, dropped = 0, lost = 0;
  if (!fields.Number(pid) || !fields.Number(number) || !fields.Number64(time) || !fields.Number64(dropped) ||
      !fields.Number64(lost) || !fields.AtEnd()) {
    return false;
  }
  AnalysisData& data = reader.data;
  const auto [found, added] = data.threadIndex.emplace(std::uint64_t{pid} << 32 | number, data.threads.size());
  if (added) data.threads.push_back({pid, number, 0, 0, 0, 0, {}});
  reader.thread = &data.threads[found->second];
  TraceThread& thread = *reader.thread;
  ++thread.sections;
  thread.dropped = Add(thread.dropped, dropped);
  thread.lost = Add(thread.lost, lost);
  thread.trace.push_back({EventKind::kSection, 0, dropped, {}});
  return true;
}

bool ReadEvent(char tag, RecordLine& fields, TraceReader& reader) {
  TraceEvent event;
  event.kind = static_cast<EventKind>(tag);
  if (!fields.Number64(event.value) || !fields.Number(event.depth)) return false;
  if (event.kind != EventKind::kDump) {
    if (!ReadRoutine(fields, event.routine) || event.depth == 0) return false;
    NoteRoutine(event.routine, reader.catalog, reader.data);
  }
  if (!fields.AtEnd()) return false;
  reader.thread->trace.push_back(event);
  ++reader.thread->events;
  return true;
}

bool ReadLine(std::string_view line, TraceReader& reader, std::string& what) {
  if (line.size() < 2 || line[1] != ' ' || std::string_view("TEXUD").find(line[0]) == std::string_view::npos) {
    what = "unknown line";
    return false;
  }
  RecordLine fields(line.substr(1));
  if (line[0] == 'T') {
    if (!ReadSection(fields, reader)) what = "bad T line";
  } else if (!reader.thread) {
    what = "event before any T line";
  } else if (!ReadEvent(line[0], fields, reader)) {
    what = "bad " + std::string(1, line[0]) + " line";
  }
  return what.empty();
}

}  // namespace

std::string ParseTraceFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                           AnalysisData& data) {
  TraceReader reader{catalog, data};
  return ReadWholeLines(path, text, [&](std::string_view line, std::string& what) {
    return line.empty() || ReadLine(line, reader, what);
  });
}

}  // namespace report
