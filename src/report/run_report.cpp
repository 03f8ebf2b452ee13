#include "report/run_report.h"

#include "report/analysis_records.h"
#include "report/analysis_writers.h"
#include "report/changed_lines.h"
#include "report/coverage_data.h"
#include "report/report_model.h"
#include "report/report_options.h"
#include "report/tsf_catalog.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace report {
namespace {

struct InputFiles {
  std::vector<std::string> fdc, tsf, results;
  std::vector<std::string> searched;  // directories searched recursively
};

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

void Error(Terminal& terminal, const std::string& message) {
  terminal.err << "quorbreport: error: " << message << "\n";
}

void Warning(Terminal& terminal, const std::string& message) {
  terminal.err << "quorbreport: warning: " << message << "\n";
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
  return joined;
}

// Directories are searched recursively; the files of one directory are read
// in name order, each file once. A named file is a TSF file when its name
// ends in ".tsf" or it was named by --tsf (`tsfOnly`), else an FDC file. A
// results file found in a directory is one named quorb.qbr, looked for only
// when no results file was named (`findResults`).
bool CollectFiles(const std::vector<std::string>& inputs, bool tsfOnly, bool findResults, InputFiles& files,
                  std::set<QString>& seen, Terminal& terminal) {
  QStringList patterns = tsfOnly ? QStringList{"*.tsf"} : QStringList{"*.fdc", "*.tsf"};
  if (findResults) patterns.push_back(kDefaultResults);
  for (const std::string& input : inputs) {
    const QFileInfo info(QString::fromLocal8Bit(input.c_str()));
    if (!info.exists()) {
      Error(terminal, input + ": no such file or directory");
      return false;
    }
    std::vector<QString> found;
    if (info.isDir()) {
      files.searched.push_back(input);
      QDirIterator it(info.filePath(), patterns, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) found.push_back(it.next());
      std::sort(found.begin(), found.end());
    } else {
      found.push_back(info.filePath());
    }
    for (const QString& file : found) {
      if (!seen.insert(QFileInfo(file).canonicalFilePath()).second) continue;
      if (info.isDir() && QFileInfo(file).fileName() == kDefaultResults) files.results.push_back(Local(file));
      else (tsfOnly || file.endsWith(".tsf") ? files.tsf : files.fdc).push_back(Local(file));
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

std::string WhereSearched(const InputFiles& files) {
  return files.searched.empty() ? "among the files named"
                                : "under " + Joined(files.searched) + " (searched recursively)";
}

// Without FDC files the report holds the analyses alone, when it has any:
// then only the outputs of coverage cannot be made. Without a results file
// named, every quorb.qbr found counts, and ./quorb.qbr when present.
bool CollectInputs(ReportRequest& request, InputFiles& files, Terminal& terminal) {
  std::set<QString> seen;
  const bool findResults = request.results.empty();
  if (!CollectFiles(request.inputs, false, findResults, files, seen, terminal) ||
      !CollectFiles(request.tsf, true, false, files, seen, terminal)) {
    return false;
  }
  if (findResults) {
    request.results = files.results;
    if (QFileInfo::exists(kDefaultResults)) request.results.push_back(kDefaultResults);
  }
  const bool analysesOnly = files.fdc.empty() && (!files.tsf.empty() || AnyAnalysisFile(request));
  const bool needsCoverage = !request.lcov.empty() || !request.cobertura.empty() || !request.thresholds.empty() ||
                             !request.markdown.empty() || !request.sonarqube.empty() || !request.diff.empty() ||
                             !request.diffFrom.empty();
  if (!files.fdc.empty() || (analysesOnly && !needsCoverage)) return true;
  Error(terminal, "no FDC file found " + WhereSearched(files) +
                      ": build with quorbcc, or name FDC files or directories as arguments");
  return false;
}

std::vector<std::string> SourcePaths(const CoverageData& data) {
  std::vector<std::string> paths;
  for (const CountedUnit& counted : data.units) paths.push_back(counted.unit.SourcePath());
  return paths;
}

// The root and the choice of sources are settled before results are added:
// the groups of a source left out are then not counted, nor stale.
std::string ChooseSources(const ReportRequest& request, CoverageData& data, Terminal& terminal) {
  const std::string root =
      request.root.empty() ? DefaultRoot(SourcePaths(data), Local(QDir::currentPath())) : request.root;
  for (CountedUnit& counted : data.units) {
    counted.chosen = request.choice.Chooses(ShownPath(root, counted.unit.SourcePath()));
  }
  const bool none = std::none_of(data.units.begin(), data.units.end(), [](const CountedUnit& c) { return c.chosen; });
  if (none && request.choice.Active()) Warning(terminal, "no source file matches --filter and --exclude");
  return root;
}

bool LoadCoverage(const ReportRequest& request, const InputFiles& files, CoverageData& data, std::string& root,
                  Terminal& terminal) {
  data.fdcFiles = files.fdc;
  for (const std::string& path : data.fdcFiles) {
    FdcReadOutcome outcome = ReadFdcUnits(path);
    if (!outcome.error.empty()) {
      Error(terminal, outcome.error);
      return false;
    }
    AddUnits(data, std::move(outcome.units));
  }
  root = ChooseSources(request, data, terminal);
  if (request.results.empty()) {
    const std::string where = files.searched.empty() ? "in the current directory (no directory searched)"
                                                     : WhereSearched(files) + " nor in the current directory";
    Warning(terminal, "no results file: no " + std::string(kDefaultResults) + " " + where +
                          "; programs write their results to " + kDefaultResults +
                          " in the build's top directory, or to the file QBC_RESULTS names (read it with -r); "
                          "every branch counts as never run");
  }
  std::set<QString> seen;
  for (const std::string& path : request.results) {
    const QString canonical = QFileInfo(QString::fromLocal8Bit(path.c_str())).canonicalFilePath();
    if (!canonical.isEmpty() && !seen.insert(canonical).second) continue;  // named twice: counted once
    bool missing = false;
    const ResultsReadOutcome outcome = ReadResults(path, missing);
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

// --diff reads a file, --diff-from runs git in the root.
bool LoadChangedLines(const ReportRequest& request, const std::string& root, ChangedLineMap& changed,
                      Terminal& terminal) {
  std::string diff, error;
  const std::string origin = request.diff.empty() ? GitDiffCommand(request.diffFrom) : request.diff;
  if (!request.diff.empty() && !ReadWholeFile(request.diff, diff)) error = request.diff + ": cannot be read";
  else if (!request.diffFrom.empty()) RunGitDiff(root, request.diffFrom, diff, error);
  if (error.empty() && !ParseUnifiedDiff(diff, changed, error)) error = origin + ": " + error;
  if (error.empty()) return true;
  Error(terminal, error);
  return false;
}

void WarnMarkers(const Report& report, Terminal& terminal) {
  for (const FileReport& file : report.files) {
    for (const MarkerWarning& warning : file.markerWarnings) {
      Warning(terminal, file.sourcePath + ":" + std::to_string(warning.line) + ": " + warning.message);
    }
  }
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
                       (request.markdown.empty() || WriteMarkdown(report, request.markdown, error)) &&
                       (request.sonarqube.empty() || WriteSonarQube(report, request.sonarqube, error)) &&
                       (request.html.empty() || WriteHtml(report, analyses, request.html, error));
  if (!written) Error(terminal, error);
  return written;
}

int ExitStatus(ThresholdVerdict verdict) {
  switch (verdict) {
    case ThresholdVerdict::kMet: return kExitDone;
    case ThresholdVerdict::kMissed: return kExitUnderThreshold;
    case ThresholdVerdict::kMissing: return kExitBadInput;
  }
  return kExitBadInput;
}

}  // namespace

int RunReport(const QStringList& arguments, Terminal terminal) {
  std::optional<ReportRequest> request = ParseArguments(arguments, terminal.out, terminal.err);
  if (!request) return kExitBadInput;
  if (request->helpOnly) return kExitDone;
  ChooseAnalysisFiles(*request);
  InputFiles files;
  if (!CollectInputs(*request, files, terminal)) return kExitBadInput;
  const bool coverage = !files.fdc.empty();
  CoverageData data;
  std::string root;
  if (coverage && !LoadCoverage(*request, files, data, root, terminal)) return kExitBadInput;
  TsfCatalog catalog;
  AnalysisData analysisData;
  if (!LoadAnalyses(*request, files, catalog, analysisData, terminal)) return kExitBadInput;
  ReportScope scope;
  ChangedLineMap changed;
  scope.changes = {request->diff, request->diffFrom};
  if (coverage && scope.changes.Active()) {
    if (!LoadChangedLines(*request, root, changed, terminal)) return kExitBadInput;
    scope.changedLines = &changed;
  }
  const Report report = BuildReport(data, root, scope);
  WarnMarkers(report, terminal);
  WarnStale(report.stale, terminal);
  const AnalysisReport analyses = BuildAnalysisReport(analysisData, catalog, request->traceEvents);
  SummaryStyle summary = request->summary;
  summary.colour = terminal.colour;
  if (coverage) WriteSummary(report, summary, terminal.out);
  if (request->showAnalyses) WriteAnalyses(analyses, terminal.out);
  else WriteAnalysesNote(analyses, terminal.out);
  if (!WriteOutputs(*request, report, analyses, terminal)) return kExitBadInput;
  return ExitStatus(CheckThresholds(request->thresholds, request->allowMissing, report, terminal.err));
}

}  // namespace report
