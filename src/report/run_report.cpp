#include "report/run_report.h"

#include "report/coverage_data.h"
#include "report/report_model.h"
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
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  parser.addOptions({results, html, lcov, cobertura, json, failUnder, functions, help});
  parser.addPositionalArgument("inputs", "FDC files, or directories searched for *.fdc (default: .).",
                               "[fdc-or-dir...]");
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
// in name order, each file once.
bool CollectFdcFiles(const std::vector<std::string>& inputs, std::vector<std::string>& files, Terminal& terminal) {
  std::set<QString> seen;
  for (const std::string& input : inputs) {
    const QFileInfo info(QString::fromLocal8Bit(input.c_str()));
    if (!info.exists()) {
      Error(terminal, input + ": no such file or directory");
      return false;
    }
    std::vector<QString> found;
    if (info.isDir()) {
      QDirIterator it(info.filePath(), {"*.fdc"}, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) found.push_back(it.next());
      std::sort(found.begin(), found.end());
    } else {
      found.push_back(info.filePath());
    }
    for (const QString& file : found) {
      if (seen.insert(QFileInfo(file).canonicalFilePath()).second) files.push_back(Local(file));
    }
  }
  if (files.empty()) Error(terminal, "no FDC file found");
  return !files.empty();
}

bool LoadInputs(const ReportRequest& request, CoverageData& data, Terminal& terminal) {
  if (!CollectFdcFiles(request.inputs, data.fdcFiles, terminal)) return false;
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

bool WriteOutputs(const ReportRequest& request, const Report& report, Terminal& terminal) {
  std::string error;
  const bool written = (request.json.empty() || WriteJson(report, request.json, error)) &&
                       (request.lcov.empty() || WriteLcov(report, request.lcov, error)) &&
                       (request.cobertura.empty() || WriteCobertura(report, request.cobertura, error)) &&
                       (request.html.empty() || WriteHtml(report, request.html, error));
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
  const std::optional<ReportRequest> request = ParseArguments(arguments, terminal);
  if (!request) return kExitBadInput;
  if (request->helpOnly) return kExitDone;
  CoverageData data;
  if (!LoadInputs(*request, data, terminal)) return kExitBadInput;
  WarnStale(data.stale, terminal);
  const Report report = BuildReport(data);
  WriteSummary(report, {terminal.colour, request->functions}, terminal.out);
  if (!WriteOutputs(*request, report, terminal)) return kExitBadInput;
  return MeetsThresholds(request->thresholds, report, terminal) ? kExitDone : kExitUnderThreshold;
}

}  // namespace report
