#include "report/results_file.h"

#include "report/record_line.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string_view>

namespace report {
namespace {

bool BranchKindOf(char tag, BranchKind& kind) {
  switch (tag) {
    case 'P': kind = BranchKind::kProc; return true;
    case 'C': kind = BranchKind::kCall; return true;
    case 'B': kind = BranchKind::kBlock; return true;
    case 'K': kind = BranchKind::kCondition; return true;
    default: return false;
  }
}

// "R" may carry any fields after it (process id and time).
bool ReadLine(std::string_view line, std::size_t number, ResultsFile& file, std::string& what) {
  if (line.empty()) return true;
  if (line[0] == 'R' && (line.size() == 1 || line[1] == ' ')) {
    ++file.sections;
    return true;
  }
  if (line.size() < 2 || line[1] != ' ') {
    what = "unknown line";
    return false;
  }
  RecordLine fields(line.substr(1));
  if (line[0] == 'F') {
    ResultsGroup group;
    group.section = file.sections;
    group.line = number;
    if (file.sections == 0 || !fields.HexNumber(group.key) || !fields.HexNumber(group.checksum) || !fields.AtEnd()) {
      what = file.sections == 0 ? "F line before any R line" : "bad F line";
      return false;
    }
    file.groups.push_back(std::move(group));
    return true;
  }
  BranchHit hit;
  hit.line = number;
  if (!BranchKindOf(line[0], hit.kind)) {
    what = "unknown line";
    return false;
  }
  if (file.groups.empty() || file.groups.back().section != file.sections) {
    what = "branch line outside an F group";
    return false;
  }
  if (!fields.Number(hit.branch) || !fields.Number(hit.count) || !fields.AtEnd()) {
    what = "bad branch line";
    return false;
  }
  file.groups.back().hits.push_back(hit);
  return true;
}

}  // namespace

ResultsReadOutcome ParseResults(const std::string& path, const std::string& text) {
  ResultsReadOutcome outcome;
  outcome.file.path = path;
  LineSplitter lines(text, 0, text.size());
  std::string_view line;
  std::string what;
  for (std::size_t number = 1; lines.Next(line); ++number) {
    if (!ReadLine(line, number, outcome.file, what)) {
      outcome.error = path + ":" + std::to_string(number) + ": " + what;
      return outcome;
    }
  }
  return outcome;
}

ResultsReadOutcome ReadResults(const std::string& path, bool& missing) {
  std::ifstream in(path, std::ios::binary);
  missing = !in && errno == ENOENT;
  if (!in) return {{path, 0, {}}, path + ": cannot be read"};
  std::ostringstream content;
  content << in.rdbuf();
  return ParseResults(path, content.str());
}

}  // namespace report
