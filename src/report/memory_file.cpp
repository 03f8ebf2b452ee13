// The memory file: per section the allocating sites' counts, the bad frees
// and, at exit, the leaks.
#include "report/analysis_records.h"

namespace report {
namespace {

struct MemoryReader {
  const TsfCatalog& catalog;
  AnalysisData& data;
  bool inSection = false;
};

bool ReadSite(RecordLine& fields, MemoryReader& reader, SiteId& site) {
  if (!ReadRoutine(fields, site.routine) || !fields.Number(site.line)) return false;
  NoteRoutine(site.routine, reader.catalog, reader.data);
  return true;
}

bool ReadAllocations(RecordLine& fields, MemoryReader& reader) {
  SiteId site;
  AllocationStats read;
  if (!ReadSite(fields, reader, site) || !fields.Number64(read.blocks) || !fields.Number64(read.bytes) ||
      !fields.Number64(read.freedBlocks) || !fields.Number64(read.freedBytes) || !fields.AtEnd()) {
    return false;
  }
  AllocationStats& stats = reader.data.allocations[site];
  stats.blocks = Add(stats.blocks, read.blocks);
  stats.bytes = Add(stats.bytes, read.bytes);
  stats.freedBlocks = Add(stats.freedBlocks, read.freedBlocks);
  stats.freedBytes = Add(stats.freedBytes, read.freedBytes);
  return true;
}

bool ReadBadFree(char tag, RecordLine& fields, MemoryReader& reader) {
  SiteId site;
  std::uint64_t address = 0;
  if (!ReadSite(fields, reader, site) || !fields.HexNumber64(address) || !fields.AtEnd()) return false;
  BadFreeStats& stats = reader.data.badFrees[site];
  if (tag == 'D') ++stats.doubleFrees;
  else ++stats.neverAllocated;
  return true;
}

bool ReadLeak(RecordLine& fields, MemoryReader& reader) {
  SiteId site;
  std::uint64_t bytes = 0, address = 0;
  if (!ReadSite(fields, reader, site) || !fields.Number64(bytes) || !fields.HexNumber64(address) || !fields.AtEnd()) {
    return false;
  }
  LeakStats& stats = reader.data.leaks[site];
  ++stats.blocks;
  stats.bytes = Add(stats.bytes, bytes);
  return true;
}

bool ReadRecord(char tag, RecordLine& fields, MemoryReader& reader) {
  std::uint64_t count = 0;
  switch (tag) {
    case 'A': return ReadAllocations(fields, reader);
    case 'D':
    case 'N': return ReadBadFree(tag, fields, reader);
    case 'L': return ReadLeak(fields, reader);
    default:
      if (!fields.Number64(count) || !fields.AtEnd()) return false;
      reader.data.badFreesNotListed = Add(reader.data.badFreesNotListed, count);
      return true;
  }
}

bool ReadLine(std::string_view line, MemoryReader& reader, std::string& what) {
  if (line.size() < 2 || line[1] != ' ' || std::string_view("HADNBL").find(line[0]) == std::string_view::npos) {
    what = "unknown line";
    return false;
  }
  RecordLine fields(line.substr(1));
  std::uint32_t pid = 0;
  std::uint64_t time = 0;
  if (line[0] == 'H') {
    if (!fields.Number(pid) || !fields.Number64(time) || !fields.AtEnd()) what = "bad H line";
    ++reader.data.memorySections;
    reader.inSection = true;
  } else if (!reader.inSection) {
    what = std::string(1, line[0]) + " line before any H line";
  } else if (!ReadRecord(line[0], fields, reader)) {
    what = "bad " + std::string(1, line[0]) + " line";
  }
  return what.empty();
}

}  // namespace

std::string ParseMemoryFile(const std::string& path, const std::string& text, const TsfCatalog& catalog,
                            AnalysisData& data) {
  MemoryReader reader{catalog, data};
  return ReadWholeLines(path, text, [&](std::string_view line, std::string& what) {
    return line.empty() || ReadLine(line, reader, what);
  });
}

}  // namespace report
