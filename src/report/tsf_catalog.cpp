#include "report/tsf_catalog.h"

#include "report/record_line.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

namespace report {
namespace {

constexpr std::string_view kTracerName = "Grendam-Tracer";

std::uint64_t Identity(std::uint32_t key, std::uint32_t checksum) { return std::uint64_t{key} << 32 | checksum; }

std::string_view Tag(std::string_view line) { return line.substr(0, std::min(line.find(' '), line.size())); }

// The reader walks a file line by line: outside any block, inside one of
// ours, or skipping another tracer's block up to the next "DB" line.
struct TsfReader {
  enum class Where : std::uint8_t { kOutside, kBlock, kForeign };
  Where where = Where::kOutside;
  std::optional<TsfBlock> block;
  std::size_t blockLine = 0;     // of its DB line
  std::uint32_t pendingLine = 0;  // from the last LK line
  bool identified = false;       // the ID line was read
};

bool StartBlock(std::string_view line, TsfReader& reader) {
  RecordLine fields(line.substr(2));
  std::string tracer;
  if (!fields.Quoted(tracer)) return false;
  reader.where = tracer == kTracerName ? TsfReader::Where::kBlock : TsfReader::Where::kForeign;
  reader.block.emplace();
  reader.identified = false;
  reader.pendingLine = 0;
  return true;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One line inside a block of ours; false with `what` set when malformed.
bool ReadBlockLine(std::string_view line, TsfReader& reader, std::string& what) {
  const std::string_view tag = Tag(line);
  RecordLine fields(line.substr(tag.size()));
  TsfBlock& block = *reader.block;
  std::string text, word;
  std::uint32_t number = 0;
  std::uint64_t date = 0;
  bool good = true;
  if (tag == "US" || tag == "IN") {
    return true;  // provider and file instance: nothing the views need
  } else if (tag == "SO") {
    good = fields.Quoted(block.sourcePath) && fields.Number64(date) && fields.Quoted(text) && fields.AtEnd();
    block.sourceName = BaseName(block.sourcePath);
  } else if (tag == "LK") {
    good = fields.Number(reader.pendingLine) && fields.AtEnd();
  } else if (tag == "MS") {
    good = fields.Number(number) && fields.Quoted(text) && fields.AtEnd();
    if (good) block.routines[number] = {text, reader.pendingLine};
  } else if (tag == "TX") {
    good = fields.Number(number) && fields.Quoted(text) && fields.AtEnd();
    if (good) block.texts[number] = text;
  } else if (tag == "ID") {
    good = fields.Number(block.key) && fields.Number(block.checksum) && fields.AtEnd();
    reader.identified = good;
  } else {
    what = "unknown line";
    return false;
  }
  if (!good) what = "bad " + std::string(tag) + " line";
  return good;
}

void FinishBlock(TsfReader& reader, TsfCatalog& catalog) {
  TsfBlock& block = *reader.block;
  if (catalog.byIdentity.emplace(Identity(block.key, block.checksum), catalog.blocks.size()).second) {
    catalog.blocks.push_back(std::move(block));
  }
  reader.block.reset();
  reader.where = TsfReader::Where::kOutside;
}

bool ReadLine(std::string_view line, std::size_t number, TsfReader& reader, TsfCatalog& catalog, std::string& what) {
  if (line.empty()) return true;
  const std::string_view tag = Tag(line);
  if (tag == "DB") {
    if (reader.where == TsfReader::Where::kBlock) {
      what = "block without ID and ED lines";
      return false;
    }
    reader.blockLine = number;
    if (!StartBlock(line, reader)) what = "bad DB line";
    return what.empty();
  }
  if (reader.where == TsfReader::Where::kOutside && line.substr(0, 3) == "tsf") reader.where = TsfReader::Where::kForeign;
  if (reader.where == TsfReader::Where::kForeign) return true;
  if (reader.where == TsfReader::Where::kOutside) {
    what = "not a TSF block";
    return false;
  }
  if (tag == "ED") {
    if (!reader.identified || line.size() != 2) what = reader.identified ? "bad ED line" : "ED line without ID line";
    else FinishBlock(reader, catalog);
    return what.empty();
  }
  return ReadBlockLine(line, reader, what);
}

}  // namespace

const TsfBlock* TsfCatalog::FindBlock(std::uint32_t key, std::uint32_t checksum) const {
  const auto found = byIdentity.find(Identity(key, checksum));
  return found == byIdentity.end() ? nullptr : &blocks[found->second];
}

const TsfRoutine* TsfCatalog::FindRoutine(const RoutineId& id) const {
  const TsfBlock* block = FindBlock(id.key, id.checksum);
  if (!block) return nullptr;
  const auto found = block->routines.find(id.message);
  return found == block->routines.end() ? nullptr : &found->second;
}

std::string ParseTsf(const std::string& path, const std::string& text, TsfCatalog& catalog) {
  TsfReader reader;
  LineSplitter lines(text, 0, text.size());
  std::string_view line;
  std::string what;
  std::size_t number = 1;
  const std::size_t firstNew = catalog.blocks.size();
  for (; lines.Next(line); ++number) {
    if (!ReadLine(line, number, reader, catalog, what)) return path + ":" + std::to_string(number) + ": " + what;
  }
  if (reader.where == TsfReader::Where::kBlock) {
    return path + ":" + std::to_string(reader.blockLine) + ": block without ID and ED lines";
  }
  for (std::size_t i = firstNew; i < catalog.blocks.size(); ++i) catalog.blocks[i].tsfPath = path;
  catalog.files.push_back(path);
  return {};
}

std::string ReadTsf(const std::string& path, TsfCatalog& catalog) {
  std::string text;
  if (!ReadWholeFile(path, text)) return path + ": cannot be read";
  return ParseTsf(path, text, catalog);
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return !in.bad();
}

}  // namespace report
