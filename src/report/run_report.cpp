#include "report/run_report.h"

#include "report/analysis_records.h"
#include "report/analysis_writers.h"
#include "report/coverage_data.h"
#include "report/report_model.h"
#include "report/tsf_catalog.h"
#include "report/writers.h"

#include <QCommandLineParser>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace report {
namespace {

constexpr const char* kDefaultResults = "quorb.qbr";
constexpr std::uint64_t kDefaultTraceEvents = 200;

enum class AnalysisKind : std::uint8_t { kTrace, kProfile, kMemory };

struct AnalysisFiles {
  AnalysisKind kind;
  const char* defaultName;
  std::vector<std::string> files;
};

struct Threshold {
  Category category;
  double percent;
};

struct ReportRequest {
  std::vector<std::string> inputs;
  std::vector<std::string> results;
  bool defaultResults = false;
  std::string html, lcov, cobertura, json;
  std::vector<Threshold> thresholds;
  bool functions = false;
  bool helpOnly = false;
  std::vector<std::string> tsf;  // --tsf: files or directories
  std::vector<AnalysisFiles> analysisFiles{{AnalysisKind::kTrace, "quorb.qbt", {}},
                                           {AnalysisKind::kProfile, "quorb.qbq", {}},
                                           {AnalysisKind::kMemory, "quorb.qbp", {}}};
  bool showAnalyses = false;
  std::uint64_t traceEvents = kDefaultTraceEvents;
};

struct InputFiles {
  std::vector<std::string> fdc, tsf;
};

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

void Error(Terminal& terminal, const std::string& message) {
  terminal.err << "quorbreport: error: " << message << "\n";
}

void Warning(Terminal& terminal, const std::string& message) {
  terminal.err << "quorbreport: warning: " << message << "\n";
}

std::optional<Threshold> ParseThreshold(const QString& text) {
  const qsizetype equals = text.lastIndexOf('=');
  if (equals < 0) return std::nullopt;
  const std::optional<Category> category = FindCategory(Local(text.left(equals)));
  bool isNumber = false;
  const double percent = text.mid(equals + 1).toDouble(&isNumber);
  if (!category || !isNumber || percent < 0 || percent > 100) return std::nullopt;
  return Threshold{*category, percent};
}

std::optional<ReportRequest> ParseArguments(const QStringList& arguments, Terminal& terminal) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Coverage reports from FDC files and results files.");
  const QCommandLineOption results({"r", "results"}, "Results file (repeatable; default quorb.qbr).", "file");
  const QCommandLineOption html("html", "Write the HTML report into this directory.", "dir");
  const QCommandLineOption lcov("lcov", "Write an lcov tracefile.", "file");
  const QCommandLineOption cobertura("cobertura", "Write a Cobertura XML file.", "file");
  const QCommandLineOption json("json", "Write the JSON report.", "file");
  const QCommandLineOption failUnder("fail-under", "Exit with status 2 when CATEGORY is under PERCENT (repeatable).",
                                     "category=percent");
  const QCommandLineOption functions("functions", "Show each file's functions in the summary.");
  const QCommandLineOption tsf("tsf", "TSF file, or directory searched for *.tsf (repeatable).", "file-or-dir");
  const QCommandLineOption trace("trace", "Trace file (repeatable; default quorb.qbt when present).", "file");
  const QCommandLineOption profile("profile", "Performance file (repeatable; default quorb.qbq when present).",
                                   "file");
  const QCommandLineOption memory("memory", "Memory file (repeatable; default quorb.qbp when present).", "file");
  const QCommandLineOption analyses("analyses", "Show the profile, memory and trace views in the terminal.");
  const QCommandLineOption traceEvents("trace-events", "Events per thread the call trees show (default 200).", "n");
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  parser.addOptions({results, html, lcov, cobertura, json, failUnder, functions, tsf, trace, profile, memory,
                     analyses, traceEvents, help});
  parser.addPositionalArgument("inputs", "FDC and TSF files, or directories searched for them (default: .).",
                               "[fdc-tsf-or-dir...]");
  if (!parser.parse(QStringList{"quorbreport"} + arguments)) {
    Error(terminal, Local(parser.errorText()));
    return std::nullopt;
  }
  if (parser.isSet(help)) {
    terminal.out << Local(parser.helpText());
    ReportRequest helpOnly;
    helpOnly.helpOnly = true;
    return helpOnly;
  }
  ReportRequest request;
  for (const QString& input : parser.positionalArguments()) request.inputs.push_back(Local(input));
  if (request.inputs.empty()) request.inputs.push_back(".");
  for (const QString& file : parser.values(results)) request.results.push_back(Local(file));
  request.defaultResults = request.results.empty();
  if (request.defaultResults) request.results.push_back(kDefaultResults);
  request.html = Local(parser.value(html));
  request.lcov = Local(parser.value(lcov));
  request.cobertura = Local(parser.value(cobertura));
  request.json = Local(parser.value(json));
  request.functions = parser.isSet(functions);
  for (const QString& file : parser.values(tsf)) request.tsf.push_back(Local(file));
  const QCommandLineOption* analysisOptions[] = {&trace, &profile, &memory};
  for (std::size_t i = 0; i < request.analysisFiles.size(); ++i) {
    for (const QString& file : parser.values(*analysisOptions[i])) request.analysisFiles[i].files.push_back(Local(file));
  }
  request.showAnalyses = parser.isSet(analyses);
  if (parser.isSet(traceEvents)) {
    bool isNumber = false;
    request.traceEvents = parser.value(traceEvents).toULongLong(&isNumber);
    if (!isNumber) {
      Error(terminal, "bad --trace-events value \"" + Local(parser.value(traceEvents)) + "\": expected a number");
      return std::nullopt;
    }
  }
  for (const QString& text : parser.values(failUnder)) {
    const std::optional<Threshold> threshold = ParseThreshold(text);
    if (!threshold) {
      Error(terminal, "bad --fail-under value \"" + Local(text) + "\": expected CATEGORY=PERCENT");
      return std::nullopt;
    }
    request.thresholds.push_back(*threshold);
  }
  return request;
}

// Directories are searched recursively; the files of one directory are read
// in name order, each file once. A named file is a TSF file when its name
// ends in ".tsf" or it was named by --tsf (`tsfOnly`), else an FDC file.
bool CollectFiles(const std::vector<std::string>& inputs, bool tsfOnly, InputFiles& files, std::set<QString>& seen,
                  Terminal& terminal) {
  const QStringList patterns = tsfOnly ? QStringList{"*.tsf"} : QStringList{"*.fdc", "*.tsf"};
  for (const std::string& input : inputs) {
    const QFileInfo info(QString::fromLocal8Bit(input.c_str()));
    if (!info.exists()) {
      Error(terminal, input + ": no such file or directory");
      return false;
    }
    std::vector<QString> found;
    if (info.isDir()) {
      QDirIterator it(info.filePath(), patterns, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) found.push_back(it.next());
      std::sort(found.begin(), found.end());
    } else {
      found.push_back(info.filePath());
    }
    for (const QString& file : found) {
      if (!seen.insert(QFileInfo(file).canonicalFilePath()).second) continue;
      (tsfOnly || file.endsWith(".tsf") ? files.tsf : files.fdc).push_back(Local(file));
    }
  }
  return true;
}

// An analysis file not named is read from its default name when present.
void ChooseAnalysisFiles(ReportRequest& request) {
  for (AnalysisFiles& kind : request.analysisFiles) {
    if (kind.files.empty() && QFileInfo::exists(kind.defaultName)) kind.files.push_back(kind.defaultName);
  }
}

bool AnyAnalysisFile(const ReportRequest& request) {
  return std::any_of(request.analysisFiles.begin(), request.analysisFiles.end(),
                     [](const AnalysisFiles& kind) { return !kind.files.empty(); });
}

// Without FDC files the report holds the analyses alone, when it has any:
// then only the outputs of coverage cannot be made.
bool CollectInputs(const ReportRequest& request, InputFiles& files, Terminal& terminal) {
  std::set<QString> seen;
  if (!CollectFiles(request.inputs, false, files, seen, terminal) ||
      !CollectFiles(request.tsf, true, files, seen, terminal)) {
    return false;
  }
  const bool analysesOnly = files.fdc.empty() && (!files.tsf.empty() || AnyAnalysisFile(request));
  const bool needsCoverage = !request.lcov.empty() || !request.cobertura.empty() || !request.thresholds.empty();
  if (!files.fdc.empty() || (analysesOnly && !needsCoverage)) return true;
  Error(terminal, "no FDC file found");
  return false;
}

bool LoadCoverage(const ReportRequest& request, const InputFiles& files, CoverageData& data, Terminal& terminal) {
  data.fdcFiles = files.fdc;
  for (const std::string& path : data.fdcFiles) {
    FdcReadOutcome outcome = ReadFdcUnits(path);
    if (!outcome.error.empty()) {
      Error(terminal, outcome.error);
      return false;
    }
    AddUnits(data, std::move(outcome.units));
  }
  std::set<QString> seen;
  for (const std::string& path : request.results) {
    const QString canonical = QFileInfo(QString::fromLocal8Bit(path.c_str())).canonicalFilePath();
    if (!canonical.isEmpty() && !seen.insert(canonical).second) continue;  // named twice: counted once
    bool missing = false;
    const ResultsReadOutcome outcome = ReadResults(path, missing);
    if (missing && request.defaultResults) {
      Warning(terminal, path + ": no results file; every branch counts as never run");
      continue;
    }
    std::string error = outcome.error;
    if (error.empty() && AddResults(data, outcome.file, error)) {
      data.resultsFiles.push_back(path);
      continue;
    }
    Error(terminal, error);
    return false;
  }
  return true;
}

std::string ParseAnalysisFile(AnalysisKind kind, const std::string& path, const std::string& text,
                              const TsfCatalog& catalog, AnalysisData& data) {
  switch (kind) {
    case AnalysisKind::kTrace: return ParseTraceFile(path, text, catalog, data);
    case AnalysisKind::kProfile: return ParseProfileFile(path, text, catalog, data);
    case AnalysisKind::kMemory: return ParseMemoryFile(path, text, catalog, data);
  }
  return {};
}

std::vector<std::string>& FilesOf(AnalysisKind kind, AnalysisData& data) {
  if (kind == AnalysisKind::kTrace) return data.traceFiles;
  return kind == AnalysisKind::kProfile ? data.profileFiles : data.memoryFiles;
}

// TSF files first: the analysis files' records are resolved as they are read.
bool LoadAnalyses(const ReportRequest& request, const InputFiles& files, TsfCatalog& catalog, AnalysisData& data,
                  Terminal& terminal) {
  for (const std::string& path : files.tsf) {
    const std::string error = ReadTsf(path, catalog);
    if (error.empty()) continue;
    Error(terminal, error);
    return false;
  }
  for (const AnalysisFiles& kind : request.analysisFiles) {
    for (const std::string& path : kind.files) {
      if (!FirstReading(FilesOf(kind.kind, data), path)) continue;
      std::string text;
      const std::size_t unresolved = data.unresolved;
      std::string error = ReadWholeFile(path, text) ? ParseAnalysisFile(kind.kind, path, text, catalog, data)
                                                    : path + ": cannot be read";
      if (!error.empty()) {
        Error(terminal, error);
        return false;
      }
      if (data.unresolved == unresolved) continue;
      const std::size_t count = data.unresolved - unresolved;
      Warning(terminal, path + ": " + std::to_string(count) + (count == 1 ? " record names" : " records name") +
                            " a routine that no TSF block resolves; shown by number");
    }
  }
  return true;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

void WarnStale(const std::vector<StaleGroup>& stale, Terminal& terminal) {
  for (const StaleGroup& group : stale) {
    const std::string where = group.resultsPath + ":" + std::to_string(group.line) + ": ";
    const std::string identity = "key " + Hex(group.key) + ", checksum " + Hex(group.checksum);
    if (group.olderBuildOf.empty()) {
      Warning(terminal, where + "stale results, not counted: no FDC block has " + identity);
    } else {
      Warning(terminal, where + "stale results, not counted: " + identity + " is an older build of " +
                            group.olderBuildOf);
    }
  }
}

bool WriteOutputs(const ReportRequest& request, const Report& report, const AnalysisReport& analyses,
                  Terminal& terminal) {
  std::string error;
  const bool written = (request.json.empty() || WriteJson(report, analyses, request.json, error)) &&
                       (request.lcov.empty() || WriteLcov(report, request.lcov, error)) &&
                       (request.cobertura.empty() || WriteCobertura(report, request.cobertura, error)) &&
                       (request.html.empty() || WriteHtml(report, analyses, request.html, error));
  if (!written) Error(terminal, error);
  return written;
}

bool MeetsThresholds(const std::vector<Threshold>& thresholds, const Report& report, Terminal& terminal) {
  bool met = true;
  for (const Threshold& threshold : thresholds) {
    const Figure& figure = report.total[threshold.category];
    const std::string name(CategoryName(threshold.category));
    if (figure.total == 0) {
      Warning(terminal, "no branch of " + name + " in the report; its threshold is not checked");
      continue;
    }
    if (static_cast<double>(figure.covered) * 100.0 >= threshold.percent * static_cast<double>(figure.total)) continue;
    char percent[16];
    terminal.err << "quorbreport: " << name << " coverage " << FormatPercent(figure, percent) << "% is under "
                 << threshold.percent << "%\n";
    met = false;
  }
  return met;
}

}  // namespace

int RunReport(const QStringList& arguments, Terminal terminal) {
  std::optional<ReportRequest> request = ParseArguments(arguments, terminal);
  if (!request) return kExitBadInput;
  if (request->helpOnly) return kExitDone;
  ChooseAnalysisFiles(*request);
  InputFiles files;
  if (!CollectInputs(*request, files, terminal)) return kExitBadInput;
  const bool coverage = !files.fdc.empty();
  CoverageData data;
  if (coverage && !LoadCoverage(*request, files, data, terminal)) return kExitBadInput;
  TsfCatalog catalog;
  AnalysisData analysisData;
  if (!LoadAnalyses(*request, files, catalog, analysisData, terminal)) return kExitBadInput;
  WarnStale(data.stale, terminal);
  const Report report = BuildReport(data);
  const AnalysisReport analyses = BuildAnalysisReport(analysisData, catalog, request->traceEvents);
  if (coverage) WriteSummary(report, {terminal.colour, request->functions}, terminal.out);
  if (request->showAnalyses) WriteAnalyses(analyses, terminal.out);
  else WriteAnalysesNote(analyses, terminal.out);
  if (!WriteOutputs(*request, report, analyses, terminal)) return kExitBadInput;
  return MeetsThresholds(request->thresholds, report, terminal) ? kExitDone : kExitUnderThreshold;
}

}  // namespace report
