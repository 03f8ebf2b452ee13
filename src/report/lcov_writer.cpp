// lcov tracefile: one record per source file with its functions (FN, FNDA),
// the branch groups and lines of line_table.h (BRDA, DA) and their totals.
#include "report/line_table.h"
#include "report/save_file.h"
#include "report/writers.h"

#include <QByteArray>

namespace report {
namespace {

void Append(QByteArray& text, const std::string& line) {
  text.append(line.data(), static_cast<qsizetype>(line.size()));
  text.append('\n');
}

std::string Number(std::uint64_t value) { return std::to_string(value); }

void AppendFile(QByteArray& text, const FileReport& file) {
  Append(text, "TN:");
  Append(text, "SF:" + file.sourcePath);
  std::uint64_t functionsHit = 0, functions = 0;
  for (const FunctionReport& function : file.functions) {
    for (const BranchItem& item : function.branches) {
      if (item.category != Category::kFunctions || item.Excluded()) continue;
      Append(text, "FN:" + Number(item.first) + "," + function.name);
    }
  }
  for (const FunctionReport& function : file.functions) {
    for (const BranchItem& item : function.branches) {
      if (item.category != Category::kFunctions || item.Excluded()) continue;
      Append(text, "FNDA:" + Number(item.count) + "," + function.name);
      ++functions;
      functionsHit += item.count > 0 ? 1 : 0;
    }
  }
  Append(text, "FNF:" + Number(functions));
  Append(text, "FNH:" + Number(functionsHit));
  const LineTable table = DeriveLines(file);
  std::uint64_t taken = 0;
  for (const LineBranch& branch : table.branches) {
    Append(text, "BRDA:" + Number(branch.line) + "," + Number(branch.group) + "," + Number(branch.branch) + "," +
                     Number(branch.taken));
    taken += branch.taken > 0 ? 1 : 0;
  }
  Append(text, "BRF:" + Number(table.branches.size()));
  Append(text, "BRH:" + Number(taken));
  std::uint64_t linesHit = 0;
  for (const auto& [line, count] : table.lines) {
    Append(text, "DA:" + Number(line) + "," + Number(count.hits));
    linesHit += count.hits > 0 ? 1 : 0;
  }
  Append(text, "LF:" + Number(table.lines.size()));
  Append(text, "LH:" + Number(linesHit));
  Append(text, "end_of_record");
}

}  // namespace

bool WriteLcov(const Report& report, const std::string& path, std::string& error) {
  QByteArray text;
  for (const FileReport& file : report.files) AppendFile(text, file);
  return SaveFile(path, text, error);
}

}  // namespace report
