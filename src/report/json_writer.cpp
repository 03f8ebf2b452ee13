// The JSON report: every figure and branch of the report model. The README
// ("JSON report") documents the schema; "format" names its version.
#include "report/analysis_writers.h"
#include "report/save_file.h"
#include "report/writers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace report {
namespace {

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Hex(std::uint32_t value) { return QStringLiteral("0x") + QString::number(value, 16).toUpper(); }

QJsonValue Count(std::uint64_t value) { return static_cast<double>(value); }

QString StateName(HitState state) {
  switch (state) {
    case HitState::kCovered: return QStringLiteral("covered");
    case HitState::kPartly: return QStringLiteral("partly");
    case HitState::kNever: return QStringLiteral("never");
  }
  return {};
}

QJsonObject FiguresJson(const Figures& figures) {
  QJsonObject object;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!figures.carried[i]) continue;
    const Figure& figure = figures.figures[i];
    QJsonObject entry{{"covered", Count(figure.covered)},
                      {"missed", Count(figure.Missed())},
                      {"excluded", Count(figure.excluded)},
                      {"total", Count(figure.total)}};
    entry["percent"] = figure.total == 0 ? QJsonValue() : QJsonValue(100.0 * figure.covered / figure.total);
    object[Text(std::string(kCategoryKeys[i]))] = entry;
  }
  return object;
}

QJsonValue ExclusionJson(std::int32_t exclusion) {
  return exclusion < 0 ? QJsonValue() : QJsonValue(static_cast<double>(exclusion));
}

QJsonArray BranchesJson(const std::vector<BranchItem>& branches) {
  QJsonArray array;
  for (const BranchItem& item : branches) {
    array.append(QJsonObject{{"category", Text(std::string(kCategoryKeys[static_cast<std::size_t>(item.category)]))},
                             {"id", static_cast<double>(item.id)},
                             {"label", Text(item.label)},
                             {"first_line", static_cast<double>(item.first)},
                             {"last_line", static_cast<double>(item.last)},
                             {"count", Count(item.count)},
                             {"exclusion", ExclusionJson(item.exclusion)}});
  }
  return array;
}

QJsonArray ConditionsJson(const std::vector<ConditionItem>& conditions) {
  QJsonArray array;
  for (const ConditionItem& item : conditions) {
    QJsonObject object{{"id", static_cast<double>(item.id)},
                       {"kind", item.isCase ? "case" : "condition"},
                       {"text", Text(item.text)},
                       {"first_line", static_cast<double>(item.first)},
                       {"last_line", static_cast<double>(item.last)},
                       {"state", StateName(item.State())},
                       {"exclusion", ExclusionJson(item.exclusion)}};
    if (item.isCase) object["count"] = Count(item.trueCount);
    else object["true_count"] = Count(item.trueCount), object["false_count"] = Count(item.falseCount);
    array.append(object);
  }
  return array;
}

QJsonArray LoopsJson(const std::vector<LoopItem>& loops) {
  QJsonArray array;
  for (const LoopItem& loop : loops) {
    QJsonArray branches;
    for (const LoopBranch& branch : loop.branches) {
      branches.append(QJsonObject{
          {"label", Text(branch.label)}, {"id", static_cast<double>(branch.id)}, {"count", Count(branch.count)}});
    }
    array.append(QJsonObject{{"path", Text(loop.path)},
                             {"first_line", static_cast<double>(loop.first)},
                             {"last_line", static_cast<double>(loop.last)},
                             {"state", StateName(loop.State())},
                             {"exclusion", ExclusionJson(loop.exclusion)},
                             {"branches", branches}});
  }
  return array;
}

QJsonValue PairJson(const std::optional<output::RowPair>& pair) {
  if (!pair) return QJsonValue();
  return QJsonArray{static_cast<double>(pair->trueRow), static_cast<double>(pair->falseRow)};
}

QJsonObject DecisionJson(const DecisionItem& decision) {
  QJsonArray rows;
  for (const RowItem& row : decision.rows) {
    rows.append(QJsonObject{{"text", Text(row.text)},
                            {"value", row.value},
                            {"id", static_cast<double>(row.branch)},
                            {"count", Count(row.count)}});
  }
  QJsonArray conditions;
  for (const IndependenceItem& condition : decision.conditions) {
    QJsonObject object{{"text", Text(condition.condition)},
                       {"shown", condition.shownBy.has_value()},
                       {"pair", PairJson(condition.shownBy)}};
    if (!decision.forced) {
      QJsonArray pairs;
      for (const output::RowPair& pair : condition.pairs) pairs.append(PairJson(pair));
      object["pairs"] = pairs;
    }
    conditions.append(object);
  }
  QJsonObject object{{"id", static_cast<double>(decision.id)},
                     {"forced", decision.forced},
                     {"first_line", static_cast<double>(decision.first)},
                     {"last_line", static_cast<double>(decision.last)},
                     {"width", static_cast<double>(decision.width)},
                     {"combinations", Count(decision.combinations)},
                     {"observed", Count(decision.observed)},
                     {"state", StateName(decision.State())},
                     {"exclusion", ExclusionJson(decision.exclusion)},
                     {"rows", rows},
                     {"conditions", conditions}};
  if (decision.forced) object["prefix"] = Text(decision.prefix);
  return object;
}

QJsonObject FunctionJson(const FunctionReport& function) {
  QJsonArray decisions;
  for (const DecisionItem& decision : function.decisions) decisions.append(DecisionJson(decision));
  return QJsonObject{{"name", Text(function.name)},
                     {"first_line", static_cast<double>(function.first)},
                     {"last_line", static_cast<double>(function.last)},
                     {"coverage", FiguresJson(function.figures)},
                     {"branches", BranchesJson(function.branches)},
                     {"conditions", ConditionsJson(function.conditions)},
                     {"loops", LoopsJson(function.loops)},
                     {"decisions", decisions}};
}

QJsonArray ExclusionsJson(const std::vector<ExclusionItem>& exclusions) {
  QJsonArray array;
  for (const ExclusionItem& exclusion : exclusions) {
    array.append(QJsonObject{{"first_line", static_cast<double>(exclusion.first)},
                             {"last_line", static_cast<double>(exclusion.last)},
                             {"region", exclusion.region},
                             {"reason", Text(exclusion.reason)},
                             {"branches", Count(exclusion.branches)}});
  }
  return array;
}

QJsonArray MarkerWarningsJson(const std::vector<MarkerWarning>& warnings) {
  QJsonArray array;
  for (const MarkerWarning& warning : warnings) {
    array.append(QJsonObject{{"line", static_cast<double>(warning.line)}, {"message", Text(warning.message)}});
  }
  return array;
}

QJsonValue ChangedLinesJson(const Report& report, const FileReport& file) {
  if (!report.changes.Active()) return QJsonValue();
  QJsonArray lines;
  for (const std::uint32_t line : file.changedLines) lines.append(static_cast<double>(line));
  return lines;
}

QJsonObject FileJson(const Report& report, const FileReport& file) {
  QJsonArray functions;
  for (const FunctionReport& function : file.functions) functions.append(FunctionJson(function));
  return QJsonObject{{"source", Text(file.sourcePath)},
                     {"fdc", Text(file.fdcPath)},
                     {"key", Hex(file.key)},
                     {"checksum", Hex(file.checksum)},
                     {"groups", static_cast<double>(file.groups)},
                     {"coverage", FiguresJson(file.figures)},
                     {"exclusions", ExclusionsJson(file.exclusions)},
                     {"marker_warnings", MarkerWarningsJson(file.markerWarnings)},
                     {"changed_lines", ChangedLinesJson(report, file)},
                     {"functions", functions}};
}

QJsonValue ChangesJson(const ChangesOrigin& changes, std::size_t unchangedSources) {
  if (!changes.Active()) return QJsonValue();
  const auto textOrNull = [](const std::string& text) { return text.empty() ? QJsonValue() : QJsonValue(Text(text)); };
  return QJsonObject{{"diff", textOrNull(changes.diffFile)},
                     {"git_ref", textOrNull(changes.gitRef)},
                     {"unchanged_sources", static_cast<double>(unchangedSources)}};
}

QJsonArray StaleJson(const std::vector<StaleGroup>& stale) {
  QJsonArray array;
  for (const StaleGroup& group : stale) {
    QJsonObject object{{"results", Text(group.resultsPath)},
                       {"line", static_cast<double>(group.line)},
                       {"key", Hex(group.key)},
                       {"checksum", Hex(group.checksum)}};
    object["older_build_of"] = group.olderBuildOf.empty() ? QJsonValue() : QJsonValue(Text(group.olderBuildOf));
    array.append(object);
  }
  return array;
}

QJsonArray Strings(const std::vector<std::string>& texts) {
  QJsonArray array;
  for (const std::string& text : texts) array.append(Text(text));
  return array;
}

}  // namespace

bool WriteJson(const Report& report, const AnalysisReport& analyses, const std::string& path, std::string& error) {
  QJsonArray files;
  for (const FileReport& file : report.files) files.append(FileJson(report, file));
  const QJsonObject root{{"format", "quorbreport-1"},
                         {"root", Text(report.root)},
                         {"left_out", QJsonObject{{"sources", static_cast<double>(report.leftOutSources)},
                                                  {"groups", static_cast<double>(report.leftOutGroups)}}},
                         {"fdc_files", Strings(report.fdcFiles)},
                         {"results_files", Strings(report.resultsFiles)},
                         {"sections", static_cast<double>(report.sections)},
                         {"mode", report.changes.Active() ? "changed_lines" : "all"},
                         {"changes", ChangesJson(report.changes, report.unchangedSources)},
                         {"stale", StaleJson(report.stale)},
                         {"total", FiguresJson(report.total)},
                         {"files", files},
                         {"analyses", AnalysesJson(analyses)}};
  return SaveFile(path, QJsonDocument(root).toJson(QJsonDocument::Indented), error);
}

}  // namespace report
