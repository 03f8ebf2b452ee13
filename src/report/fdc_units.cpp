// Reading the branch records of FDC files.
//
// The writer numbers the records of each kind in the order it writes them,
// from 0 (a CE record takes two condition numbers, a CC record one per row);
// a record out of that sequence is rejected, which also bounds the count
// tables by the size of the file.
//
// The merge reader (output/fdc_blocks.h) validates the file and cuts it into
// byte ranges; inside each range this reader walks the lines: a version line,
// the FC, FD and TC header lines, the branch records, the DC line. A "VE" line
// right after the DC line starts another block of the same range (one written
// without RIK section); anything else there is the RIK section, which ends
// the range.
#include "report/fdc_units.h"

#include "output/fdc_blocks.h"
#include "output/fdc_coverage_types.h"
#include "output/fdc_format.h"
#include "report/condition_tables.h"
#include "report/record_line.h"
#include "report/rik_markup.h"
#include "support/file_utils.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

namespace report {
namespace {

struct UnitReader {
  const std::string& path;
  std::string_view text;
  std::size_t lineNumber = 0;  // of the line last read
  std::string error;
};

bool Fail(UnitReader& reader, const std::string& what) {
  reader.error = reader.path + ":" + std::to_string(reader.lineNumber) + ": " + what;
  return false;
}

bool NextLine(UnitReader& reader, LineSplitter& lines, std::string_view& line) {
  if (!lines.Next(line)) return false;
  ++reader.lineNumber;
  return true;
}

bool Tagged(std::string_view line, std::string_view tag) { return line.substr(0, tag.size()) == tag; }

// The fields after a two-letter tag; none for a shorter line.
std::string_view AfterTag(std::string_view line) { return line.substr(std::min<std::size_t>(2, line.size())); }

// Our blocks have version "3.0e" and the format mark as the first "#" word.
bool IsOurVersion(std::string_view line) {
  RecordLine fields(AfterTag(line));
  std::string word;
  if (!fields.Word(word) || word != output::kFdcFormatVersion) return false;
  while (fields.Word(word)) {
    if (!word.empty() && word.front() == '#') return word == output::kFdcFormatMark;
  }
  return false;
}

bool ReadProc(RecordLine& fields, FdcUnit& unit) {
  ProcRecord record;
  std::string kind;
  if (!fields.Number(record.id) || !fields.Word(kind)) return false;
  static constexpr std::string_view kKinds[] = {"proc", "endproc", "return", "term"};
  std::size_t index = 0;
  while (index < 4 && kKinds[index] != kind) ++index;
  if (index == 4) return false;
  record.kind = static_cast<ProcKind>(index);
  if (!fields.Quoted(record.function) || !fields.Number(record.first) || !fields.Number(record.last)) return false;
  if (record.id != unit.procIds) return false;
  unit.procIds = record.id + 1;
  unit.procs.push_back(std::move(record));
  return true;
}

bool ReadCall(RecordLine& fields, FdcUnit& unit) {
  CallRecord record;
  if (!fields.Number(record.id) || !fields.Quoted(record.function) || !fields.Quoted(record.callee) ||
      !fields.Number(record.first) || !fields.Number(record.last) || record.id != unit.callIds) {
    return false;
  }
  unit.callIds = record.id + 1;
  unit.calls.push_back(std::move(record));
  return true;
}

bool ReadBlock(RecordLine& fields, FdcUnit& unit) {
  BlockRecord record;
  std::string kind;
  if (!fields.Number(record.id) || !fields.Word(kind)) return false;
  static constexpr std::string_view kKinds[] = {"simple", "implicit", "logical", "qbc"};
  std::size_t index = 0;
  while (index < 4 && kKinds[index] != kind) ++index;
  if (index == 4) return false;
  record.kind = static_cast<BlockKind>(index);
  if (!fields.Quoted(record.function) || !fields.Word(record.path) || !fields.Number(record.first) ||
      !fields.Number(record.last) || record.id != unit.blockIds) {
    return false;
  }
  unit.blockIds = record.id + 1;
  unit.blocks.push_back(std::move(record));
  return true;
}

bool ReadCase(RecordLine& fields, FdcUnit& unit, bool isCase) {
  CaseRecord record;
  record.isCase = isCase;
  if (!fields.Number(record.id) || !fields.Quoted(record.function) || !fields.Quoted(record.text) ||
      !fields.Number(record.first) || !fields.Number(record.last) || record.id != unit.conditionIds ||
      record.id > 0xFFFFFFFDu) {
    return false;
  }
  unit.conditionIds = record.id + (isCase ? 1 : 2);
  unit.cases.push_back(std::move(record));
  return true;
}

// The rows of a case table are w characters each over T, F and X; a forced
// decision carries its prefix form instead and at most 30 conditions.
bool DecisionShapeValid(const DecisionRecord& record) {
  const std::size_t width = record.operands.size();
  if (width == 0 || record.branchCount == 0) return false;
  if (record.Forced()) {
    return width <= 30 && record.branchCount == (std::uint32_t{1} << width) && PrefixWidth(record.text) == width;
  }
  if (record.text.size() != width * std::uint64_t{record.branchCount}) return false;
  if (*record.trueRows > record.branchCount) return false;
  return record.text.find_first_not_of("TFX") == std::string::npos;
}

bool ReadDecision(RecordLine& fields, FdcUnit& unit) {
  DecisionRecord record;
  std::uint32_t count = 0;
  if (!fields.Number(record.id) || !fields.Number(count) || count > 0x7FFF) return false;
  record.operands.resize(count);
  for (std::uint32_t& operand : record.operands) {
    if (!fields.Number(operand)) return false;
  }
  if (!fields.Number(record.branchCount) || !fields.Word(record.text)) return false;
  if (!fields.AtEnd()) {
    std::uint32_t trueRows = 0;
    if (!fields.Number(trueRows)) return false;
    record.trueRows = trueRows;
  }
  if (!DecisionShapeValid(record) || record.id != unit.conditionIds ||
      std::uint64_t{record.id} + record.branchCount > 0xFFFFFFFFu) {
    return false;
  }
  unit.conditionIds = record.id + record.branchCount;
  unit.decisions.push_back(std::move(record));
  return true;
}

bool ReadRecord(std::string_view line, FdcUnit& unit) {
  RecordLine fields(AfterTag(line));
  bool read = false;
  if (Tagged(line, "PR")) read = ReadProc(fields, unit);
  else if (Tagged(line, "AP")) read = ReadCall(fields, unit);
  else if (Tagged(line, "BL")) read = ReadBlock(fields, unit);
  else if (Tagged(line, "CA")) read = ReadCase(fields, unit, true);
  else if (Tagged(line, "CE")) read = ReadCase(fields, unit, false);
  else if (Tagged(line, "CC")) read = ReadDecision(fields, unit);
  return read && fields.AtEnd();
}

bool ReadHeader(UnitReader& reader, LineSplitter& lines, FdcUnit& unit) {
  std::string_view line;
  if (!NextLine(reader, lines, line) || !Tagged(line, "FC")) return Fail(reader, "FC line expected");
  RecordLine fc(AfterTag(line));
  if (!fc.Quoted(unit.sourceName) || !fc.Quoted(unit.sourceDirectory)) return Fail(reader, "bad FC line");
  if (!NextLine(reader, lines, line) || !Tagged(line, "FD")) return Fail(reader, "FD line expected");
  RecordLine fd(AfterTag(line));
  if (!fd.Number(unit.date)) return Fail(reader, "bad FD line");
  if (!NextLine(reader, lines, line) || !Tagged(line, "TC")) return Fail(reader, "TC line expected");
  RecordLine tc(AfterTag(line));
  for (std::string token; tc.Word(token);) unit.coverage |= output::CoverageTokenBits(token);
  return true;
}

// The records up to the DC line, and the DC line.
bool ReadRecords(UnitReader& reader, LineSplitter& lines, FdcUnit& unit) {
  std::string_view line;
  while (NextLine(reader, lines, line)) {
    if (!Tagged(line, "DC")) {
      if (!ReadRecord(line, unit)) return Fail(reader, "bad branch record");
      continue;
    }
    RecordLine dc(AfterTag(line));
    if (!dc.Number(unit.checksum)) return Fail(reader, "bad DC line");
    if (dc.AtEnd()) {
      const std::string source = support::JoinPath(unit.sourceDirectory, unit.sourceName);
      unit.key = static_cast<std::uint32_t>(support::FileKey(source));
      return true;
    }
    if (!dc.Number(unit.key) || !dc.AtEnd()) return Fail(reader, "bad DC line");
    return true;
  }
  return Fail(reader, "DC line expected");
}

std::uint32_t IdsOfKind(const FdcUnit& unit, char kind) {
  switch (kind) {
    case 'P': return unit.procIds;
    case 'C': return unit.callIds;
    case 'B': return unit.blockIds;
    default: return unit.conditionIds;
  }
}

bool CheckListingBranches(std::string_view text, const RikListing& listing, const FdcUnit& unit, std::string& error,
                          std::size_t& offset) {
  for (const RikEvent& event : listing.events) {
    // Closing tags name no branch.
    if ((event.tag != RikTag::kBranch && event.tag != RikTag::kShortcut) || event.kind == RikEventKind::kClose) continue;
    const std::uint32_t limit = IdsOfKind(unit, BranchKindOfSum(event.branch.sum));
    bool inside = event.branch.id < limit;
    for (const auto& [first, second] : event.branch.couples) inside = inside && first < limit && second < limit;
    if (inside) continue;
    error = "@" + std::string(event.text.substr(0, 200)) + "@ names a branch the block does not have";
    offset = static_cast<std::size_t>(event.text.data() - text.data());
    return false;
  }
  return true;
}

// The listing must read whole and name only branches of its block.
bool AttachListing(UnitReader& reader, std::string_view text, std::size_t firstLine, FdcUnit& unit) {
  RikListing listing;
  std::string error;
  std::size_t offset = 0;
  if (ParseRikListing(text, listing, error, offset) && CheckListingBranches(text, listing, unit, error, offset)) {
    unit.listing = std::string(text);
    return true;
  }
  const std::string_view before = text.substr(0, offset);
  reader.lineNumber = firstLine + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
  return Fail(reader, "bad annotated listing: " + error);
}

// One range of the merge reader: its blocks, chained by "VE" lines that
// follow DC lines directly.
bool ReadRange(UnitReader& reader, std::size_t from, std::size_t to, std::vector<FdcUnit>& units) {
  LineSplitter lines(reader.text, from, to);
  std::string_view line;
  if (!NextLine(reader, lines, line)) return true;
  bool lastOurs = false;
  while (Tagged(line, "VE")) {
    const bool ours = IsOurVersion(line);
    lastOurs = ours;
    FdcUnit unit;
    unit.fdcPath = reader.path;
    if (ours && (!ReadHeader(reader, lines, unit) || !ReadRecords(reader, lines, unit))) return false;
    if (!ours) {
      while (NextLine(reader, lines, line) && !Tagged(line, "DC")) {
      }
    }
    if (ours) units.push_back(std::move(unit));
    if (!NextLine(reader, lines, line)) return true;
  }
  // The RIK section belongs to the last block read; its lines count for the
  // messages of later blocks.
  const std::size_t start = static_cast<std::size_t>(line.data() - reader.text.data());
  const std::size_t firstLine = reader.lineNumber;
  while (NextLine(reader, lines, line)) {
  }
  if (!lastOurs) return true;
  return AttachListing(reader, reader.text.substr(start, to - start), firstLine, units.back());
}

std::string MergeReaderError(const output::FdcReadResult& result, const std::string& path) {
  switch (result.error) {
    case output::FdcReadError::kNone:
      return {};
    case output::FdcReadError::kMissingTag:
      return result.missingTag + " expected but not found in " + path;
    case output::FdcReadError::kUnknownCoverage:
      return "Unknown coverage type in FDC file " + path;
    case output::FdcReadError::kNoCoverage:
      return path + " has no selected coverage type";
    case output::FdcReadError::kNotValid:
      break;
  }
  return path + " is not a valid FDC file";
}

}  // namespace

std::string FdcUnit::SourcePath() const { return support::JoinPath(sourceDirectory, sourceName); }

FdcReadOutcome ParseFdcUnits(const std::string& path, const std::string& text) {
  FdcReadOutcome outcome;
  if (text.empty()) {
    outcome.error = path + " is not a valid FDC file";
    return outcome;
  }
  std::FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
  if (!stream) {
    outcome.error = path + ": cannot be read";
    return outcome;
  }
  const output::FdcReadResult ranges = output::ParseFdcBlocks(stream, output::kFdcFormatMark);
  std::fclose(stream);
  outcome.error = MergeReaderError(ranges, path);
  if (!outcome.error.empty()) return outcome;
  UnitReader reader{path, text, 0, {}};
  std::size_t from = 0;
  for (const output::FdcBlock& range : ranges.blocks) {
    const auto to = static_cast<std::size_t>(range.endOffset);
    if (!ReadRange(reader, from, to, outcome.units)) {
      outcome.error = reader.error;
      return outcome;
    }
    from = to;
  }
  return outcome;
}

FdcReadOutcome ReadFdcUnits(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {{}, path + ": cannot be read"};
  std::ostringstream content;
  content << in.rdbuf();
  return ParseFdcUnits(path, content.str());
}

}  // namespace report
