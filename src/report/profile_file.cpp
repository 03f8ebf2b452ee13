// The performance file: per section and TSF block, each routine's figures.
#include "report/analysis_records.h"

#include <algorithm>

namespace report {
namespace {

struct ProfileReader {
  const TsfCatalog& catalog;
  AnalysisData& data;
  bool inSection = false;
  bool inGroup = false;
  std::uint32_t key = 0, checksum = 0;  // of the last F line
};

bool ReadGroup(RecordLine& fields, ProfileReader& reader) {
  std::string clock;
  if (!fields.HexNumber(reader.key) || !fields.HexNumber(reader.checksum) || !fields.Word(clock) ||
      !fields.AtEnd() || (clock != "os" && clock != "process")) {
    return false;
  }
  std::vector<std::string>& clocks = reader.data.clocks;
  if (std::find(clocks.begin(), clocks.end(), clock) == clocks.end()) clocks.push_back(clock);
  reader.inGroup = true;
  return true;
}

bool ReadRoutineFigures(RecordLine& fields, ProfileReader& reader) {
  RoutineId id{reader.key, reader.checksum, 0};
  ProfileStats read;
  if (!fields.Number(id.message) || !fields.Number64(read.calls) || !fields.Number64(read.min) ||
      !fields.Number64(read.max) || !fields.Number64(read.total) || !fields.Number64(read.ownMin) ||
      !fields.Number64(read.ownMax) || !fields.Number64(read.ownTotal) || !fields.AtEnd()) {
    return false;
  }
  NoteRoutine(id, reader.catalog, reader.data);
  ProfileStats& stats = reader.data.profile[id];
  stats.calls = Add(stats.calls, read.calls);
  stats.min = std::min(stats.min, read.min);
  stats.max = std::max(stats.max, read.max);
  stats.total = Add(stats.total, read.total);
  stats.ownMin = std::min(stats.ownMin, read.ownMin);
  stats.ownMax = std::max(stats.ownMax, read.ownMax);
  stats.ownTotal = Add(stats.ownTotal, read.ownTotal);
  return true;
}

bool ReadLine(std::string_view line, ProfileReader& reader, std::string& what) {
  if (line.size() < 2 || line[1] != ' ' || std::string_view("QFS").find(line[0]) == std::string_view::npos) {
    what = "unknown line";
    return false;
  }
  RecordLine fields(line.substr(1));
  const std::string bad = "bad " + std::string(1, line[0]) + " line";
  std::uint32_t pid = 0;
  std::uint64_t time = 0;
  switch (line[0]) {
    case 'Q':
      if (!fields.Number(pid) || !fields.Number64(time) || !fields.AtEnd()) what = bad;
      ++reader.data.profileSections;
      reader.inSection = true;
      reader.inGroup = false;
      break;
    case 'F':
      if (!reader.inSection) what = "F line before any Q line";
      else if (!ReadGroup(fields, reader)) what = bad;
      break;
    default:
      if (!reader.inGroup) what = "S line outside an F group";
      else if (!ReadRoutineFigures(fields, reader)) what = bad;
  }
  return what.empty();
}

}  // namespace

std::string ParseProfileFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                             AnalysisData& data) {
  ProfileReader reader{catalog, data};
  return ReadWholeLines(path, text, [&](std::string_view line, std::string& what) {
    return line.empty() || ReadLine(line, reader, what);
  });
}

}  // namespace report
