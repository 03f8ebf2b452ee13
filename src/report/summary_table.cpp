// The compact terminal summary: a row per file, its path first, then per
// category the report carries the percentage covered ("-" where the file has
// no branch of it); function rows indented under their file when asked; a
// total row last. Columns are as wide as their widest cell.
#include "report/summary_parts.h"

#include <algorithm>
#include <array>
#include <string>

namespace report::summary {
namespace {

// Column headings: short enough for a row of every category to stay readable.
constexpr std::array<std::string_view, kCategoryCount> kHeadings = {
    "functions", "exits", "calls",    "statements", "implicit", "decisions",
    "loops",     "conditions", "modified", "multiple", "forced"};

constexpr std::size_t kPercentWidth = 6;  // "100.0%"

struct Row {
  std::string name;
  const Figures* figures;
};

std::string Padded(std::string_view text, std::size_t width, bool right) {
  const std::string pad(width > text.size() ? width - text.size() : 0, ' ');
  return right ? pad + std::string(text) : std::string(text) + pad;
}

std::vector<Row> RowsOf(const Report& report, const std::vector<const FileReport*>& files, bool functions) {
  std::vector<Row> rows;
  for (const FileReport* file : files) {
    rows.push_back({file->sourcePath, &file->figures});
    if (!functions) continue;
    for (const FunctionReport& function : file->functions) rows.push_back({"  " + function.name, &function.figures});
  }
  rows.push_back({"TOTAL", &report.total});
  return rows;
}

}  // namespace

void WriteTable(const Report& report, const std::vector<const FileReport*>& files, SummaryStyle style,
                std::ostream& out) {
  const std::vector<Row> rows = RowsOf(report, files, style.functions);
  std::size_t nameWidth = 4;  // "file"
  for (const Row& row : rows) nameWidth = std::max(nameWidth, row.name.size());
  std::string line = Padded("file", nameWidth, false);
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (report.total.carried[i]) line += "  " + Padded(kHeadings[i], kPercentWidth, true);
  }
  out << line << "\n";
  for (const Row& row : rows) {
    out << Padded(row.name, nameWidth, false);
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
      if (!report.total.carried[i]) continue;
      const Figure& figure = row.figures->figures[i];
      char buffer[16];
      const std::string_view percent = FormatPercent(figure, buffer);
      const std::string cell =
          Padded(figure.total == 0 ? std::string(percent) : std::string(percent) + "%",
                 std::max(kPercentWidth, kHeadings[i].size()), true);
      out << "  ";
      if (style.colour && figure.total > 0) out << ColourOf(figure) << cell << "\033[0m";
      else out << cell;
    }
    out << "\n";
  }
}

}  // namespace report::summary
