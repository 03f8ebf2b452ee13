// The Markdown summary for pull-request comments: a heading line saying what
// was counted, a table with a row per file and a column per category the
// report carries ("75.0% (3/4)", "-" without branches, ", 1 excluded" when
// markers took branches out), a bold total row, and the exclusions with
// their reasons. Text from paths and reasons is escaped so that it cannot
// break the table or turn into markup.
#include "report/save_file.h"
#include "report/summary_parts.h"
#include "report/writers.h"

#include <QByteArray>

#include <string>

namespace report {
namespace {

std::string Escaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (std::string_view("\\`*_[]<>|#~").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c == '\n' ? ' ' : c;
  }
  return escaped;
}

std::string Plural(std::uint64_t count, std::string_view word, std::string_view plural = {}) {
  if (count != 1 && !plural.empty()) return std::to_string(count) + " " + std::string(plural);
  return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

// "75.0% (3/4)", "75.0% (3/4, 1 excluded)", "-", "- (2 excluded)".
std::string Cell(const Figure& figure) {
  const std::string excluded = figure.excluded == 0 ? "" : std::to_string(figure.excluded) + " excluded";
  if (figure.total == 0) return excluded.empty() ? "-" : "- (" + excluded + ")";
  char buffer[16];
  return std::string(FormatPercent(figure, buffer)) + "% (" + std::to_string(figure.covered) + "/" +
         std::to_string(figure.total) + (excluded.empty() ? "" : ", " + excluded) + ")";
}

std::string Row(std::string_view name, const Figures& figures, const Figures& shown, bool bold) {
  const std::string mark = bold ? "**" : "";
  std::string row = "| " + mark + std::string(name) + mark + " |";
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (shown.carried[i]) row += " " + mark + Cell(figures.figures[i]) + mark + " |";
  }
  return row + "\n";
}

std::string Heading(const Report& report) {
  std::string text = "### Coverage of " + std::string(report.changes.Active() ? "changed lines of " : "") +
                     Plural(report.files.size(), "file") + "\n\n";
  if (report.changes.Active()) {
    text += "Only branches on lines changed " + Escaped(summary::ChangesText(report.changes)) + " count; " +
            Plural(report.unchangedSources, "source file") + " without a changed line left out.\n\n";
  }
  return text;
}

std::string Table(const Report& report) {
  std::string text = "| file |";
  std::string rule = "| :--- |";
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!report.total.carried[i]) continue;
    text += " " + std::string(kCategoryNames[i]) + " |";
    rule += " ---: |";
  }
  text += "\n" + rule + "\n";
  for (const FileReport& file : report.files) text += Row(Escaped(file.sourcePath), file.figures, report.total, false);
  return text + Row("total", report.total, report.total, true);
}

std::string Exclusions(const Report& report) {
  std::string rows;
  std::uint64_t branches = 0;
  for (const FileReport& file : report.files) {
    for (const ExclusionItem& exclusion : file.exclusions) {
      std::string lines = std::to_string(exclusion.first);
      if (exclusion.region) lines += "-" + std::to_string(exclusion.last);
      rows += "| " + Escaped(file.sourcePath) + " | " + lines + " | " + Escaped(exclusion.reason) + " | " +
              std::to_string(exclusion.branches) + " |\n";
      branches += exclusion.branches;
    }
  }
  if (rows.empty()) return {};
  return "\nExcluded by markers: " + Plural(branches, "branch", "branches") +
         ".\n\n| file | lines | reason | branches |\n| :--- | ---: | :--- | ---: |\n" + rows;
}

}  // namespace

bool WriteMarkdown(const Report& report, const std::string& path, std::string& error) {
  const std::string text = Heading(report) + Table(report) + Exclusions(report);
  return SaveFile(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), error);
}

}  // namespace report
