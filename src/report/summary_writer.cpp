// The terminal summary: one line per carried category, per file and in
// total, with covered and total branch counts and the percentage. A
// function's figures are indented under their file, with the name column
// narrowed by the indent so that the numbers stay in their columns.
#include "report/writers.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace report {
namespace {

constexpr int kNameWidth = 23;

std::string_view ColourOf(const Figure& figure) {
  if (figure.covered == figure.total) return "\033[32m";
  return figure.covered * 2 >= figure.total ? "\033[33m" : "\033[31m";
}

void WriteFigure(std::string_view name, int indent, const Figure& figure, bool colour, std::ostream& out) {
  char percent[16];
  const std::string_view shown = FormatPercent(figure, percent);
  char line[128];
  std::snprintf(line, sizeof line, "%*s%-*.*s%10llu%10llu", indent, "", kNameWidth - indent,
                static_cast<int>(name.size()), name.data(), static_cast<unsigned long long>(figure.covered),
                static_cast<unsigned long long>(figure.total));
  out << line;
  const std::string cell = figure.total == 0 ? std::string(shown) : std::string(shown) + "%";
  std::snprintf(line, sizeof line, "%9s", cell.c_str());
  if (colour && figure.total > 0) out << ColourOf(figure) << line << "\033[0m\n";
  else out << line << "\n";
}

void WriteFigures(const Figures& figures, int indent, bool colour, std::ostream& out) {
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (figures.carried[i]) WriteFigure(kCategoryNames[i], indent, figures.figures[i], colour, out);
  }
}

void WriteFunctions(const FileReport& file, bool colour, std::ostream& out) {
  for (const FunctionReport& function : file.functions) {
    out << "  " << function.name << " (lines " << function.first << "-" << function.last << ")\n";
    WriteFigures(function.figures, 4, colour, out);
  }
}

std::string Plural(std::size_t count, std::string_view word) {
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

}  // namespace

void WriteSummary(const Report& report, SummaryStyle style, std::ostream& out) {
  out << "Coverage of " << Plural(report.files.size(), "file") << " from "
      << Plural(report.sections, "results section");
  if (!report.stale.empty()) out << ", " << Plural(report.stale.size(), "stale group") << " not counted";
  out << "\n\n";
  char header[128];
  std::snprintf(header, sizeof header, "%-*s%10s%10s%9s\n", kNameWidth, "", "covered", "total", "percent");
  out << header;
  for (const FileReport& file : report.files) {
    out << file.sourcePath << "\n";
    WriteFigures(file.figures, 2, style.colour, out);
    if (style.functions) WriteFunctions(file, style.colour, out);
  }
  out << "TOTAL\n";
  WriteFigures(report.total, 2, style.colour, out);
}

}  // namespace report
