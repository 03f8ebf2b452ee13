// quorbreport's command line: what to read, what to write, which sources to
// report and which thresholds to check.
#pragma once

#include "report/source_paths.h"
#include "report/thresholds.h"
#include "report/writers.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace report {

enum class AnalysisKind : std::uint8_t { kTrace, kProfile, kMemory };

struct AnalysisFiles {
  AnalysisKind kind;
  const char* defaultName;
  std::vector<std::string> files;
};

inline constexpr const char* kDefaultResults = "quorb.qbr";

struct ReportRequest {
  std::vector<std::string> inputs;   // FDC and TSF files, directories; "." when none is named
  std::vector<std::string> results;  // -r; empty: every quorb.qbr found, and ./quorb.qbr
  std::string root;                  // --root made absolute; empty: chosen from the sources
  SourceChoice choice;
  std::string html, lcov, cobertura, json, markdown, sonarqube;
  std::string diff, diffFrom;  // --diff FILE, --diff-from REF: only changed lines count
  std::vector<Threshold> thresholds;
  bool allowMissing = false;
  SummaryStyle summary;
  bool helpOnly = false;
  std::vector<std::string> tsf;  // --tsf: files or directories
  std::vector<AnalysisFiles> analysisFiles{{AnalysisKind::kTrace, "quorb.qbt", {}},
                                           {AnalysisKind::kProfile, "quorb.qbq", {}},
                                           {AnalysisKind::kMemory, "quorb.qbp", {}}};
  bool showAnalyses = false;
  std::uint64_t traceEvents = 200;
};

/// `arguments` without the program name. A bad command line is written to
/// `err` and gives no request; --help writes the help to `out`.
std::optional<ReportRequest> ParseArguments(const QStringList& arguments, std::ostream& out, std::ostream& err);

}  // namespace report
