#include "report/report_options.h"

#include <QCommandLineParser>
#include <QDir>

namespace report {
namespace {

std::string Local(const QString& text) { return text.toLocal8Bit().toStdString(); }

struct Options {
  QCommandLineOption results{{"r", "results"},
                             "Results file (repeatable; default: every quorb.qbr in the directories searched, and "
                             "./quorb.qbr).",
                             "file"};
  QCommandLineOption root{"root", "Show source paths relative to this directory (default: the current directory "
                                  "when it holds every source, else their deepest common directory).",
                          "dir"};
  QCommandLineOption filter{"filter", "Report only sources whose root-relative path matches (repeatable).", "regex"};
  QCommandLineOption exclude{"exclude", "Leave out sources whose root-relative path matches (repeatable).", "regex"};
  QCommandLineOption html{"html", "Write the HTML report into this directory.", "dir"};
  QCommandLineOption lcov{"lcov", "Write an lcov tracefile.", "file"};
  QCommandLineOption cobertura{"cobertura", "Write a Cobertura XML file.", "file"};
  QCommandLineOption json{"json", "Write the JSON report.", "file"};
  QCommandLineOption markdown{"markdown", "Write a Markdown summary (for pull-request comments).", "file"};
  QCommandLineOption sonarqube{"sonarqube", "Write SonarQube generic test coverage XML.", "file"};
  QCommandLineOption diff{"diff", "Count only the branches on lines this unified diff (git diff, paths relative to "
                                  "the root) changes or adds.",
                          "file"};
  QCommandLineOption diffFrom{"diff-from", "Count only the branches on lines changed since REF (git diff REF, run in "
                                           "the root).",
                              "ref"};
  QCommandLineOption failUnder{"fail-under", "Exit with status 2 when the total of CATEGORY is under PERCENT "
                                             "(repeatable).",
                               "category=percent"};
  QCommandLineOption failUnderFile{"fail-under-file", "Exit with status 2 when a source's CATEGORY is under PERCENT "
                                                      "(repeatable).",
                                   "category=percent"};
  QCommandLineOption allowMissing{"fail-under-allow-missing",
                                  "A threshold on a category the report has no branch of passes with a warning."};
  QCommandLineOption details{"details", "Show every category of each source on lines of its own."};
  QCommandLineOption functions{"functions", "Show each source's functions in the summary."};
  QCommandLineOption sort{"sort", "Order of the sources: name, missed (most first) or coverage (lowest first).",
                          "order"};
  QCommandLineOption tsf{"tsf", "TSF file, or directory searched for *.tsf (repeatable).", "file-or-dir"};
  QCommandLineOption trace{"trace", "Trace file (repeatable; default quorb.qbt when present).", "file"};
  QCommandLineOption profile{"profile", "Performance file (repeatable; default quorb.qbq when present).", "file"};
  QCommandLineOption memory{"memory", "Memory file (repeatable; default quorb.qbp when present).", "file"};
  QCommandLineOption analyses{"analyses", "Show the profile, memory and trace views in the terminal."};
  QCommandLineOption traceEvents{"trace-events", "Events per thread the call trees show (default 200).", "n"};
  QCommandLineOption help{{"h", "help"}, "Show this help."};

  void AddTo(QCommandLineParser& parser) const {
    parser.addOptions({results, root, filter, exclude, html, lcov, cobertura, json, markdown, sonarqube, diff,
                       diffFrom, failUnder, failUnderFile, allowMissing, details, functions, sort, tsf, trace, profile,
                       memory, analyses, traceEvents, help});
  }
};

bool Fail(std::ostream& err, const std::string& message) {
  err << "quorbreport: error: " << message << "\n";
  return false;
}

bool ParsePatterns(const QStringList& texts, const char* option, std::vector<QRegularExpression>& patterns,
                   std::ostream& err) {
  for (const QString& text : texts) {
    QRegularExpression pattern(text);
    if (!pattern.isValid()) {
      return Fail(err, std::string("bad ") + option + " value \"" + Local(text) + "\": " +
                           Local(pattern.errorString()) + " at offset " + std::to_string(pattern.patternErrorOffset()));
    }
    patterns.push_back(std::move(pattern));
  }
  return true;
}

bool ParseThresholds(const QStringList& texts, bool perFile, ReportRequest& request, std::ostream& err) {
  for (const QString& text : texts) {
    std::string error;
    std::optional<Threshold> threshold = ParseThreshold(Local(text), error);
    if (!threshold) {
      return Fail(err, std::string("bad ") + (perFile ? "--fail-under-file" : "--fail-under") + " value \"" +
                           Local(text) + "\": " + error);
    }
    threshold->perFile = perFile;
    request.thresholds.push_back(*threshold);
  }
  return true;
}

bool ParseSort(const QCommandLineParser& parser, const Options& options, ReportRequest& request, std::ostream& err) {
  if (!parser.isSet(options.sort)) return true;
  const QString order = parser.value(options.sort);
  if (order == "name") request.summary.sort = SortOrder::kName;
  else if (order == "missed") request.summary.sort = SortOrder::kMissed;
  else if (order == "coverage") request.summary.sort = SortOrder::kCoverage;
  else return Fail(err, "bad --sort value \"" + Local(order) + "\": expected name, missed or coverage");
  return true;
}

bool ParseTraceEvents(const QCommandLineParser& parser, const Options& options, ReportRequest& request,
                      std::ostream& err) {
  if (!parser.isSet(options.traceEvents)) return true;
  bool isNumber = false;
  request.traceEvents = parser.value(options.traceEvents).toULongLong(&isNumber);
  if (isNumber) return true;
  return Fail(err, "bad --trace-events value \"" + Local(parser.value(options.traceEvents)) + "\": expected a number");
}

std::vector<std::string> Values(const QCommandLineParser& parser, const QCommandLineOption& option) {
  std::vector<std::string> values;
  for (const QString& value : parser.values(option)) values.push_back(Local(value));
  return values;
}

}  // namespace

std::optional<ReportRequest> ParseArguments(const QStringList& arguments, std::ostream& out, std::ostream& err) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Coverage reports from FDC files and results files.");
  const Options options;
  options.AddTo(parser);
  parser.addPositionalArgument("inputs", "FDC and TSF files, or directories searched for them (default: .).",
                               "[fdc-tsf-or-dir...]");
  if (!parser.parse(QStringList{"quorbreport"} + arguments)) {
    Fail(err, Local(parser.errorText()));
    return std::nullopt;
  }
  ReportRequest request;
  if (parser.isSet(options.help)) {
    out << Local(parser.helpText());
    request.helpOnly = true;
    return request;
  }
  for (const QString& input : parser.positionalArguments()) request.inputs.push_back(Local(input));
  if (request.inputs.empty()) request.inputs.push_back(".");
  request.results = Values(parser, options.results);
  if (parser.isSet(options.root)) {
    request.root = Local(QDir::cleanPath(QDir::current().absoluteFilePath(parser.value(options.root))));
  }
  request.html = Local(parser.value(options.html));
  request.lcov = Local(parser.value(options.lcov));
  request.cobertura = Local(parser.value(options.cobertura));
  request.json = Local(parser.value(options.json));
  request.markdown = Local(parser.value(options.markdown));
  request.sonarqube = Local(parser.value(options.sonarqube));
  request.diff = Local(parser.value(options.diff));
  request.diffFrom = Local(parser.value(options.diffFrom));
  if (parser.isSet(options.diff) && parser.isSet(options.diffFrom)) {
    Fail(err, "--diff and --diff-from exclude each other");
    return std::nullopt;
  }
  if ((parser.isSet(options.diff) && request.diff.empty()) ||
      (parser.isSet(options.diffFrom) && request.diffFrom.empty())) {
    Fail(err, "--diff and --diff-from need a value");
    return std::nullopt;
  }
  request.allowMissing = parser.isSet(options.allowMissing);
  request.summary.details = parser.isSet(options.details);
  request.summary.functions = parser.isSet(options.functions);
  request.tsf = Values(parser, options.tsf);
  const QCommandLineOption* analysisOptions[] = {&options.trace, &options.profile, &options.memory};
  for (std::size_t i = 0; i < request.analysisFiles.size(); ++i) {
    request.analysisFiles[i].files = Values(parser, *analysisOptions[i]);
  }
  request.showAnalyses = parser.isSet(options.analyses);
  const bool parsed = ParseTraceEvents(parser, options, request, err) && ParseSort(parser, options, request, err) &&
                      ParsePatterns(parser.values(options.filter), "--filter", request.choice.filters, err) &&
                      ParsePatterns(parser.values(options.exclude), "--exclude", request.choice.excludes, err) &&
                      ParseThresholds(parser.values(options.failUnder), false, request, err) &&
                      ParseThresholds(parser.values(options.failUnderFile), true, request, err);
  if (!parsed) return std::nullopt;
  return request;
}

}  // namespace report
