// The terminal summary: a header line, then the compact table
// (summary_table.cpp) or the detailed view: one line per carried category,
// per file and in total, with covered and total branch counts and the
// percentage. In the detailed view a function's figures are indented under
// their file, with the name column narrowed by the indent so that the
// numbers stay in their columns.
#include "report/summary_parts.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>

namespace report {
namespace {

constexpr int kNameWidth = 23;

// With exclusions the lines get an "excluded" column after the percent.
void WriteFigure(std::string_view name, int indent, const Figure& figure, bool colour, bool excluded,
                 std::ostream& out) {
  char percent[16];
  const std::string_view shown = FormatPercent(figure, percent);
  char line[128];
  std::snprintf(line, sizeof line, "%*s%-*.*s%10llu%10llu", indent, "", kNameWidth - indent,
                static_cast<int>(name.size()), name.data(), static_cast<unsigned long long>(figure.covered),
                static_cast<unsigned long long>(figure.total));
  out << line;
  const std::string cell = figure.total == 0 ? std::string(shown) : std::string(shown) + "%";
  std::snprintf(line, sizeof line, "%9s", cell.c_str());
  if (colour && figure.total > 0) out << summary::ColourOf(figure) << line << "\033[0m";
  else out << line;
  if (excluded) {
    std::snprintf(line, sizeof line, "%10llu", static_cast<unsigned long long>(figure.excluded));
    out << line;
  }
  out << "\n";
}

void WriteFigures(const Figures& figures, int indent, bool colour, bool excluded, std::ostream& out) {
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (figures.carried[i]) WriteFigure(kCategoryNames[i], indent, figures.figures[i], colour, excluded, out);
  }
}

void WriteFunctions(const FileReport& file, bool colour, bool excluded, std::ostream& out) {
  for (const FunctionReport& function : file.functions) {
    out << "  " << function.name << " (lines " << function.first << "-" << function.last << ")\n";
    WriteFigures(function.figures, 4, colour, excluded, out);
  }
}

std::string Plural(std::size_t count, std::string_view word, std::string_view plural = {}) {
  if (count != 1 && !plural.empty()) return std::to_string(count) + " " + std::string(plural);
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

void WriteExclusions(const FileReport& file, std::ostream& out) {
  for (const ExclusionItem& exclusion : file.exclusions) {
    out << "  excluded: " << (exclusion.region ? "lines " : "line ") << exclusion.first;
    if (exclusion.region) out << "-" << exclusion.last;
    out << " \"" << exclusion.reason << "\" (" << Plural(exclusion.branches, "branch", "branches") << ")\n";
  }
}

std::uint64_t ExcludedBranches(const Figures& figures) {
  std::uint64_t excluded = 0;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (static_cast<Category>(i) != Category::kDecisions) excluded += figures.figures[i].excluded;
  }
  return excluded;
}

void WriteDetails(const Report& report, const std::vector<const FileReport*>& files, SummaryStyle style,
                  std::ostream& out) {
  const bool excluded = ExcludedBranches(report.total) > 0;
  char header[128];
  std::snprintf(header, sizeof header, "%-*s%10s%10s%9s%s\n", kNameWidth, "", "covered", "total", "percent",
                excluded ? "  excluded" : "");
  out << header;
  for (const FileReport* file : files) {
    out << file->sourcePath << "\n";
    WriteFigures(file->figures, 2, style.colour, excluded, out);
    WriteExclusions(*file, out);
    if (style.functions) WriteFunctions(*file, style.colour, excluded, out);
  }
  out << "TOTAL\n";
  WriteFigures(report.total, 2, style.colour, excluded, out);
}

// Covered and total branches of a file over the categories the report shows.
Figure Overall(const FileReport& file, const Figures& shown) {
  Figure overall;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (shown.carried[i]) overall += file.figures.figures[i];
  }
  return overall;
}

}  // namespace

namespace summary {

std::string ChangesText(const ChangesOrigin& changes) {
  return changes.diffFile.empty() ? "since " + changes.gitRef + " (git diff)" : "in " + changes.diffFile;
}

std::string_view ColourOf(const Figure& figure) {
  if (figure.covered == figure.total) return "\033[32m";
  return figure.covered * 2 >= figure.total ? "\033[33m" : "\033[31m";
}

std::vector<const FileReport*> SortedFiles(const Report& report, SortOrder order) {
  std::vector<const FileReport*> files;
  for (const FileReport& file : report.files) files.push_back(&file);
  if (order == SortOrder::kName) return files;  // the report's own order
  std::vector<Figure> overall(report.files.size());
  for (std::size_t i = 0; i < files.size(); ++i) overall[i] = Overall(report.files[i], report.total);
  const auto figureOf = [&](const FileReport* file) {
    return overall[static_cast<std::size_t>(file - report.files.data())];
  };
  std::stable_sort(files.begin(), files.end(), [&](const FileReport* a, const FileReport* b) {
    const Figure fa = figureOf(a), fb = figureOf(b);
    if (order == SortOrder::kMissed) return fa.total - fa.covered > fb.total - fb.covered;
    // A file without branches misses nothing: it counts as complete.
    const std::uint64_t totalA = std::max<std::uint64_t>(fa.total, 1), coveredA = fa.total == 0 ? 1 : fa.covered;
    const std::uint64_t totalB = std::max<std::uint64_t>(fb.total, 1), coveredB = fb.total == 0 ? 1 : fb.covered;
    return coveredA * totalB < coveredB * totalA;
  });
  return files;
}

}  // namespace summary

void WriteSummary(const Report& report, SummaryStyle style, std::ostream& out) {
  out << "Coverage of " << (report.changes.Active() ? "changed lines of " : "") << Plural(report.files.size(), "file");
  if (!report.root.empty()) out << " under " << report.root;
  out << " from " << Plural(report.sections, "results section");
  if (!report.stale.empty()) out << ", " << Plural(report.stale.size(), "stale group") << " not counted";
  out << "\n";
  if (report.leftOutSources > 0) {
    out << "Left out by --filter and --exclude: " << Plural(report.leftOutSources, "source file") << ", "
        << Plural(report.leftOutGroups, "results group") << "\n";
  }
  if (report.changes.Active()) {
    out << "Only branches on lines changed " << summary::ChangesText(report.changes) << " count; "
        << Plural(report.unchangedSources, "source file") << " without a changed line left out\n";
  }
  out << "\n";
  const std::vector<const FileReport*> files = summary::SortedFiles(report, style.sort);
  if (style.details) WriteDetails(report, files, style, out);
  else summary::WriteTable(report, files, style, out);
  const std::uint64_t excluded = ExcludedBranches(report.total);
  if (style.details || excluded == 0) return;
  std::size_t markers = 0;
  for (const FileReport& file : report.files) markers += file.exclusions.size();
  out << "Excluded by markers: " << Plural(excluded, "branch", "branches") << " (" << Plural(markers, "marker")
      << "; --details lists the reasons)\n";
}

}  // namespace report
