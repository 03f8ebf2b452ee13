// The report's outputs. Each writer returns false with `error` set when its
// file cannot be written; an existing file is replaced only once the new one
// is complete.
#pragma once

#include "report/analysis_report.h"
#include "report/report_model.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace report {

enum class SortOrder : std::uint8_t {
  kName,      // by shown path
  kMissed,    // most branches not covered first, added up over the categories shown
  kCoverage,  // lowest share of branches covered first, over the categories shown
};

struct SummaryStyle {
  bool colour = false;     // ANSI colours on the percentages
  bool details = false;    // every category of a file on a line of its own
  bool functions = false;  // each file's functions under the file, by first line
  SortOrder sort = SortOrder::kName;
};

/// The terminal summary: a table with a row per file (and per function when
/// asked) and a column per category the report carries, and a total row; or,
/// with `details`, per file and in total a line per carried category with
/// covered, total and percent.
void WriteSummary(const Report& report, SummaryStyle style, std::ostream& out);

/// The coverage report and, under "analyses", the runtime analyses.
bool WriteJson(const Report& report, const AnalysisReport& analyses, const std::string& path, std::string& error);

/// lcov tracefile: functions, branches and lines as lcov_lines.h derives them.
bool WriteLcov(const Report& report, const std::string& path, std::string& error);

/// Cobertura XML (coverage-04 layout).
bool WriteCobertura(const Report& report, const std::string& path, std::string& error);

/// A Markdown summary for pull-request comments: a table of files and
/// categories, the total, the excluded branches and their reasons.
bool WriteMarkdown(const Report& report, const std::string& path, std::string& error);

/// SonarQube's generic test coverage XML: per file the lines of
/// line_table.h, with their branches.
bool WriteSonarQube(const Report& report, const std::string& path, std::string& error);

/// index.html, one page per file, the analyses' pages and style.css in
/// `directory`.
bool WriteHtml(const Report& report, const AnalysisReport& analyses, const std::string& directory,
               std::string& error);

}  // namespace report
