// The report's outputs. Each writer returns false with `error` set when its
// file cannot be written; an existing file is replaced only once the new one
// is complete.
#pragma once

#include "report/analysis_report.h"
#include "report/report_model.h"

#include <ostream>
#include <string>

namespace report {

struct SummaryStyle {
  bool colour = false;     // ANSI colours on the percentages
  bool functions = false;  // each file's functions under the file, by first line
};

/// The terminal table: per file (and per function when asked) and in total,
/// every carried category.
void WriteSummary(const Report& report, SummaryStyle style, std::ostream& out);

/// The coverage report and, under "analyses", the runtime analyses.
bool WriteJson(const Report& report, const AnalysisReport& analyses, const std::string& path, std::string& error);

/// lcov tracefile: functions, branches and lines as lcov_lines.h derives them.
bool WriteLcov(const Report& report, const std::string& path, std::string& error);

/// Cobertura XML (coverage-04 layout).
bool WriteCobertura(const Report& report, const std::string& path, std::string& error);

/// index.html, one page per file, the analyses' pages and style.css in
/// `directory`.
bool WriteHtml(const Report& report, const AnalysisReport& analyses, const std::string& directory,
               std::string& error);

}  // namespace report
