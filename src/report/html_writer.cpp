// The HTML report: static pages that open from disk, sharing style.css and
// report.js.
//
// index.html holds the totals and a sortable row per file with a bar per
// category; file-N.html leads with the file's functions (each linked to its
// line) and its missed branches, then its annotated source. A file without a
// listing shows, per function, its branches by line (covered, partly or
// never), its loops, and each decision's case table with the rows seen and
// the pairs of rows that show each basic condition's independence. Every
// text from the inputs goes through toHtmlEscaped.
#include "report/analysis_writers.h"
#include "report/html_assets.h"
#include "report/html_parts.h"
#include "report/save_file.h"
#include "report/writers.h"

#include <QDir>
#include <QString>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace report {
namespace {

using html::CountUnit;
using html::CountUnitOf;
using html::LineAnchor;
using html::ListingSection;
using html::MissesSection;
using html::N;
using html::Page;
using html::StateClass;
using html::Text;

QString Percent(const Figure& figure) {
  char buffer[16];
  const std::string_view shown = FormatPercent(figure, buffer);
  return figure.total == 0 ? QStringLiteral("-") : Text(shown) + "%";
}

// A percentage to sort by; -1 when there is nothing to cover.
QString SortKey(const Figure& figure) {
  if (figure.total == 0) return QStringLiteral("-1");
  return QString::number(100.0 * static_cast<double>(figure.covered) / static_cast<double>(figure.total), 'f', 3);
}

QString Level(const Figure& figure) {
  if (figure.covered == figure.total) return QStringLiteral("high");
  return figure.covered * 2 >= figure.total ? QStringLiteral("medium") : QStringLiteral("low");
}

QString Bar(const Figure& figure) {
  if (figure.total == 0) return QStringLiteral("<span class=\"none\">-</span>");
  const double width = 100.0 * static_cast<double>(figure.covered) / static_cast<double>(figure.total);
  return QStringLiteral("<span class=\"bar\"><span class=\"fill %1\" style=\"width:%2%\"></span></span>")
      .arg(Level(figure))
      .arg(width, 0, 'f', 1);
}

QString FiguresTable(const Figures& figures, const QString& id) {
  QString html = QStringLiteral(
                     "<table class=\"totals\" id=\"%1\">\n<tr><th>category</th><th>coverage</th><th>covered</th>"
                     "<th>total</th><th>percent</th></tr>\n")
                     .arg(id);
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (!figures.carried[i]) continue;
    const Figure& figure = figures.figures[i];
    html += QStringLiteral("<tr data-category=\"%1\"><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>\n")
                .arg(Text(kCategoryKeys[i]), Text(kCategoryNames[i]), Bar(figure), N(figure.covered),
                     N(figure.total), Percent(figure));
  }
  return html + "</table>\n";
}

QString FileName(std::size_t index) { return QStringLiteral("file-%1.html").arg(index + 1); }

QString IndexPage(const Report& report, const AnalysisReport& analyses) {
  QString body = QStringLiteral("<h1>Coverage report</h1>\n<p class=\"inputs\">%1 files under <span class=\"root\">%2"
                                "</span>, %3 results sections, %4 stale groups not counted</p>\n")
                     .arg(N(report.files.size()), Text(report.root), N(report.sections), N(report.stale.size()));
  if (report.leftOutSources > 0) {
    body += QStringLiteral("<p class=\"left-out\">%1 source files and %2 results groups left out by --filter and "
                           "--exclude</p>\n")
                .arg(N(report.leftOutSources), N(report.leftOutGroups));
  }
  body += FiguresTable(report.total, "totals");
  body += "<h2>Files</h2>\n<table class=\"files sortable\" id=\"files\">\n<thead><tr><th>file</th>";
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (report.total.carried[i]) body += "<th>" + Text(kCategoryNames[i]) + "</th>";
  }
  body += "</tr></thead>\n<tbody>\n";
  for (std::size_t f = 0; f < report.files.size(); ++f) {
    const FileReport& file = report.files[f];
    body += QStringLiteral("<tr class=\"file\"><td><a href=\"%1\">%2</a></td>").arg(FileName(f), Text(file.sourcePath));
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
      if (!report.total.carried[i]) continue;
      const Figure& figure = file.figures.figures[i];
      const bool carried = file.figures.carried[i] && figure.total > 0;
      body += QStringLiteral("<td class=\"cell\" data-category=\"%1\" data-v=\"%2\">%3 %4</td>")
                  .arg(Text(kCategoryKeys[i]), SortKey(figure), carried ? Bar(figure) : QString(),
                       carried ? Percent(figure) : QStringLiteral("-"));
    }
    body += "</tr>\n";
  }
  body += "</tbody>\n</table>\n";
  if (!report.stale.empty()) {
    body += "<h2>Stale results</h2>\n<ul class=\"stale\">\n";
    for (const StaleGroup& group : report.stale) {
      body += QStringLiteral("<li>%1:%2: key 0x%3, checksum 0x%4%5</li>\n")
                  .arg(Text(group.resultsPath), N(group.line), QString::number(group.key, 16).toUpper(),
                       QString::number(group.checksum, 16).toUpper(),
                       group.olderBuildOf.empty() ? QStringLiteral(": no FDC block")
                                                  : ": older build of " + Text(group.olderBuildOf));
    }
    body += "</ul>\n";
  }
  return Page("Coverage report", body + html::AnalysisLinks(analyses));
}

QString BranchRow(std::uint32_t line, std::string_view category, const QString& branch, const QString& count,
                  HitState state) {
  return QStringLiteral("<tr class=\"%1\"><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>\n")
      .arg(StateClass(state), N(line), Text(category), branch, count);
}

// Rows of every kind, in line order (record order within a line).
QString BranchesTable(const FunctionReport& function) {
  std::vector<std::pair<std::uint32_t, QString>> rows;
  for (const BranchItem& item : function.branches) {
    rows.emplace_back(item.first, BranchRow(item.first, CategoryName(item.category), Text(item.label),
                                            N(item.count), item.count > 0 ? HitState::kCovered : HitState::kNever));
  }
  for (const LoopItem& loop : function.loops) {
    QString counts;
    for (const LoopBranch& branch : loop.branches) {
      counts += QStringLiteral("%1%2: %3").arg(counts.isEmpty() ? "" : ", ", Text(branch.label), N(branch.count));
    }
    rows.emplace_back(loop.first, BranchRow(loop.first, "loops", Text(loop.path), counts, loop.State()));
  }
  for (const ConditionItem& item : function.conditions) {
    const QString counts = item.isCase ? N(item.trueCount)
                                       : QStringLiteral("true: %1, false: %2").arg(N(item.trueCount), N(item.falseCount));
    rows.emplace_back(item.first, BranchRow(item.first, "basic conditions", Text(item.text), counts, item.State()));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  QString html = "<table class=\"branches\">\n<tr><th>line</th><th>category</th><th>branch</th><th>count</th></tr>\n";
  for (const auto& [line, row] : rows) html += row;
  return html + "</table>\n";
}

QString FunctionSection(const FunctionReport& function, std::size_t index) {
  QString html = QStringLiteral("<section class=\"function\" id=\"f-%4\">\n<h3>%1 <span class=\"lines\">lines %2-%3</span>"
                                "</h3>\n")
                     .arg(Text(function.name), N(function.first), N(function.last), N(index + 1));
  html += BranchesTable(function);
  for (const DecisionItem& decision : function.decisions) html += html::DecisionTable(decision);
  return html + "</section>\n";
}

QString CountNote(CountUnit unit) {
  return unit == CountUnit::kExecutions
             ? QStringLiteral("counts are executions (built with -COUNT)")
             : QStringLiteral("counts are runs: the results groups (a process run of a unit) in which a branch ran");
}

// A function's name links to its first line in the source, or without a
// listing to its section below.
QString FunctionsTable(const FileReport& file, const ListingView* view) {
  QString html = "<h2>Functions</h2>\n<table class=\"functions sortable\" id=\"functions\">\n<thead><tr>"
                 "<th>function</th><th>lines</th>";
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (file.figures.carried[i]) html += "<th>" + Text(kCategoryNames[i]) + "</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (std::size_t f = 0; f < file.functions.size(); ++f) {
    const FunctionReport& function = file.functions[f];
    const QString target = view ? LineAnchor(*view, function.first) : QStringLiteral("f-%1").arg(f + 1);
    const QString name = target.isEmpty() ? Text(function.name)
                                          : QStringLiteral("<a href=\"#%1\">%2</a>").arg(target, Text(function.name));
    html += QStringLiteral("<tr><td>%1</td><td data-v=\"%2\">%2-%3</td>").arg(name, N(function.first), N(function.last));
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
      if (!file.figures.carried[i]) continue;
      const Figure& figure = function.figures.figures[i];
      html += QStringLiteral("<td data-v=\"%1\">%2</td>").arg(SortKey(figure), Percent(figure));
    }
    html += "</tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

// The exclusion markers of the file: lines (linked), reason, branches.
QString ExclusionsSection(const FileReport& file, const ListingView* view) {
  if (file.exclusions.empty()) return {};
  QString html = "<h2>Exclusions</h2>\n<table id=\"exclusions\">\n<tr><th>lines</th><th>reason</th><th>branches</th></tr>\n";
  for (const ExclusionItem& exclusion : file.exclusions) {
    const QString lines = exclusion.first == exclusion.last ? N(exclusion.first)
                                                            : N(exclusion.first) + "-" + N(exclusion.last);
    const QString anchor = view ? html::LineAnchor(*view, exclusion.first) : QString();
    html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                .arg(anchor.isEmpty() ? lines : "<a href=\"#" + anchor + "\">" + lines + "</a>", Text(exclusion.reason),
                     N(exclusion.branches));
  }
  return html + "</table>\n";
}

// The functions, then the missed branches, then the annotated source; a
// file without a listing shows each function's branches instead.
QString FilePage(const FileReport& file, const std::string& root) {
  const CountUnit unit = CountUnitOf(file);
  const std::optional<ListingView> view = html::ViewOfListing(file, root);
  const ListingView* shown = view ? &*view : nullptr;
  QString body = QStringLiteral("<p><a href=\"index.html\">All files</a></p>\n<h1>%1</h1>\n"
                                "<p class=\"inputs\">FDC file %2, key 0x%3, checksum 0x%4, %5 results groups; %6</p>\n")
                     .arg(Text(file.sourcePath), Text(file.fdcPath), QString::number(file.key, 16).toUpper(),
                          QString::number(file.checksum, 16).toUpper(), N(file.groups), CountNote(unit));
  body += FiguresTable(file.figures, "file-totals");
  body += FunctionsTable(file, shown);
  body += MissesSection(file, shown);
  body += ExclusionsSection(file, shown);
  if (!file.changedLines.empty()) {
    body += QStringLiteral("<p class=\"note\">%1 changed lines count; they are marked in the source.</p>\n")
                .arg(N(file.changedLines.size()));
  }
  if (view) return Page(Text(file.sourcePath), body + ListingSection(*view, unit, file));
  for (std::size_t f = 0; f < file.functions.size(); ++f) body += FunctionSection(file.functions[f], f);
  return Page(Text(file.sourcePath), body);
}

bool SaveText(const QDir& dir, const QString& name, const QString& text, std::string& error) {
  return SaveFile(dir.filePath(name).toLocal8Bit().toStdString(), text.toUtf8(), error);
}

}  // namespace

bool WriteHtml(const Report& report, const AnalysisReport& analyses, const std::string& directory,
               std::string& error) {
  const QDir dir(QString::fromLocal8Bit(directory.c_str()));
  if (!dir.mkpath(".")) {
    error = directory + ": cannot create the directory";
    return false;
  }
  if (!html::WriteAssets(directory, error)) return false;
  for (std::size_t f = 0; f < report.files.size(); ++f) {
    if (!SaveText(dir, FileName(f), FilePage(report.files[f], report.root), error)) return false;
  }
  if (!html::WriteAnalysisPages(analyses, directory, error)) return false;
  return SaveText(dir, "index.html", IndexPage(report, analyses), error);
}

}  // namespace report
