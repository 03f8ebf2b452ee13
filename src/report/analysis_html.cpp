// The analyses' HTML pages, linked from the index: profile.html,
// memory.html and trace.html, each written when its data was read. Every
// text from the inputs goes through toHtmlEscaped.
#include "report/analysis_writers.h"
#include "report/html_parts.h"
#include "report/save_file.h"

#include <QDir>

#include <algorithm>

namespace report::html {
namespace {

constexpr std::uint32_t kDeepestIndent = 100;  // deeper lines are indented no further

QString Duration(std::uint64_t nanoseconds) {
  return QStringLiteral("<td class=\"time\" title=\"%1 ns\">%2</td>")
      .arg(N(nanoseconds), Text(FormatDuration(nanoseconds)));
}

QString Cell(std::uint64_t number) { return "<td class=\"number\">" + N(number) + "</td>"; }

QString RoutineCells(const RoutineRef& routine) {
  return QStringLiteral("<td class=\"routine%1\">%2</td><td title=\"%3\">%4</td>")
      .arg(routine.known ? "" : " unknown", Text(routine.name), Text(routine.sourcePath), Text(routine.Where()));
}

QString SiteCells(const SiteRef& site) {
  return QStringLiteral("<td class=\"routine%1\">%2</td><td title=\"%3\">%4</td>")
      .arg(site.routine.known ? "" : " unknown", Text(site.routine.name), Text(site.sourcePath), Text(site.Where()));
}

QString Header(std::initializer_list<const char*> names) {
  QString html = "<tr>";
  for (const char* name : names) html += QStringLiteral("<th>%1</th>").arg(name);
  return html + "</tr>\n";
}

QString ProfilePage(const AnalysisReport& analyses) {
  QString clocks;
  for (const std::string& clock : analyses.clocks) clocks += (clocks.isEmpty() ? "" : " and ") + Text(clock);
  QString body = QStringLiteral("<p><a href=\"index.html\">Index</a></p>\n<h1>Performance profile</h1>\n"
                                "<p class=\"inputs\">%1 routines from %2 sections, clock %3</p>\n")
                     .arg(N(analyses.profile.size()), N(analyses.profileSections), clocks.isEmpty() ? "none" : clocks);
  body += "<table class=\"profile\" id=\"profile\">\n" +
          Header({"routine", "location", "calls", "own total", "total", "min", "max", "average"});
  for (const ProfileRow& row : analyses.profile) {
    const ProfileStats& stats = row.stats;
    body += "<tr>" + RoutineCells(row.routine) + Cell(stats.calls) + Duration(stats.ownTotal) +
            Duration(stats.total) + Duration(stats.calls ? stats.min : 0) + Duration(stats.max) +
            Duration(row.Average()) + "</tr>\n";
  }
  return Page("Performance profile", body + "</table>\n");
}

QString MemoryPage(const AnalysisReport& analyses) {
  QString body = QStringLiteral("<p><a href=\"index.html\">Index</a></p>\n<h1>Memory profile</h1>\n"
                                "<p class=\"inputs\">%1 allocating sites from %2 sections</p>\n")
                     .arg(N(analyses.allocations.size()), N(analyses.memorySections));
  body += "<table class=\"allocations\" id=\"allocations\">\n" +
          Header({"routine", "location", "blocks", "bytes", "freed blocks", "freed bytes"});
  for (const AllocationRow& row : analyses.allocations) {
    body += "<tr>" + SiteCells(row.site) + Cell(row.stats.blocks) + Cell(row.stats.bytes) +
            Cell(row.stats.freedBlocks) + Cell(row.stats.freedBytes) + "</tr>\n";
  }
  body += "</table>\n<h2>Leaks</h2>\n<table class=\"leaks\" id=\"leaks\">\n" +
          Header({"routine", "location", "blocks", "bytes"});
  for (const LeakRow& row : analyses.leaks) {
    body += "<tr class=\"never\">" + SiteCells(row.site) + Cell(row.stats.blocks) + Cell(row.stats.bytes) + "</tr>\n";
  }
  body += "</table>\n<h2>Bad frees</h2>\n<table class=\"bad-frees\" id=\"bad-frees\">\n" +
          Header({"kind", "routine", "location", "count"});
  for (const BadFreeRow& row : analyses.badFrees) {
    body += QStringLiteral("<tr class=\"never\"><td>%1</td>")
                .arg(row.kind == BadFreeKind::kDouble ? "freed again" : "never allocated") +
            SiteCells(row.site) + Cell(row.count) + "</tr>\n";
  }
  body += "</table>\n";
  if (analyses.badFreesNotListed) {
    body += QStringLiteral("<p>%1 more bad frees not listed by the runtime</p>\n").arg(N(analyses.badFreesNotListed));
  }
  return Page("Memory profile", body);
}

QString Named(const RoutineRef& routine) {
  const std::string where = routine.Where();
  return QStringLiteral("<span class=\"routine%1\">%2</span>%3")
      .arg(routine.known ? "" : " unknown", Text(routine.name),
           where.empty() ? QString() : " <span class=\"where\">" + Text(where) + "</span>");
}

QString LineHtml(const TraceLine& line) {
  switch (line.kind) {
    case TraceLineKind::kCall:
      if (line.end == CallEnd::kOpen) return Named(line.routine) + " <span class=\"mark\">no exit seen</span>";
      return Named(line.routine) + " <span class=\"time\">" + Text(FormatDuration(*line.duration)) + "</span>" +
             (line.end == CallEnd::kUnwound ? " <span class=\"mark\">unwound</span>" : "");
    case TraceLineKind::kExit: return "exit of " + Named(line.routine);
    case TraceLineKind::kUnwound: return "<span class=\"mark\">unwound</span> " + Named(line.routine);
    case TraceLineKind::kDump: return QStringLiteral("<span class=\"mark\">trace dump</span>");
    case TraceLineKind::kDropped: return QStringLiteral("<span class=\"mark\">%1 earlier events dropped</span>").arg(N(line.time));
  }
  return {};
}

QString LineClass(const TraceLine& line) {
  static const char* const kClasses[] = {"call", "exit", "unwound", "dump", "dropped"};
  QString name = kClasses[static_cast<std::size_t>(line.kind)];
  if (line.kind == TraceLineKind::kCall && line.end == CallEnd::kUnwound) name += " unwound";
  return name;
}

QString TracePage(const AnalysisReport& analyses) {
  QString body = "<p><a href=\"index.html\">Index</a></p>\n<h1>Trace</h1>\n";
  if (analyses.threads.empty()) body += "<p>No events.</p>\n";
  for (const ThreadView& thread : analyses.threads) {
    body += QStringLiteral("<section class=\"thread\">\n<h2>Process %1, thread %2</h2>\n<p class=\"inputs\">%3 events "
                           "in %4 sections, %5 dropped, %6 lost; the first %7 shown</p>\n<div class=\"tree\">\n")
                .arg(N(thread.pid), N(thread.thread), N(thread.events), N(thread.sections), N(thread.dropped),
                     N(thread.lost), N(thread.shown));
    for (const TraceLine& line : thread.lines) {
      body += QStringLiteral("<div class=\"%1\" data-depth=\"%2\" style=\"padding-left:%3em\">%4</div>\n")
                  .arg(LineClass(line), N(line.depth), N(1.5 * std::min(line.depth, kDeepestIndent)),
                       LineHtml(line));
    }
    body += "</div>\n</section>\n";
  }
  return Page("Trace", body);
}

bool Save(const std::string& directory, const char* name, const QString& page, std::string& error) {
  return SaveFile(QDir(QString::fromLocal8Bit(directory.c_str())).filePath(name).toLocal8Bit().toStdString(),
                  page.toUtf8(), error);
}

}  // namespace

QString AnalysisLinks(const AnalysisReport& analyses) {
  if (!analyses.Any()) return {};
  QString html = "<h2>Runtime analyses</h2>\n<ul class=\"analyses\">\n";
  if (analyses.HasProfile()) {
    html += QStringLiteral("<li><a href=\"profile.html\">Performance profile</a>: %1 routines</li>\n")
                .arg(N(analyses.profile.size()));
  }
  if (analyses.HasMemory()) {
    std::uint64_t leaks = 0;
    for (const LeakRow& row : analyses.leaks) leaks += row.stats.blocks;
    html += QStringLiteral("<li><a href=\"memory.html\">Memory profile</a>: %1 allocating sites, %2 leaks</li>\n")
                .arg(N(analyses.allocations.size()), N(leaks));
  }
  if (analyses.HasTrace()) {
    html += QStringLiteral("<li><a href=\"trace.html\">Trace</a>: %1 threads</li>\n").arg(N(analyses.threads.size()));
  }
  return html + "</ul>\n";
}

bool WriteAnalysisPages(const AnalysisReport& analyses, const std::string& directory, std::string& error) {
  return (!analyses.HasProfile() || Save(directory, "profile.html", ProfilePage(analyses), error)) &&
         (!analyses.HasMemory() || Save(directory, "memory.html", MemoryPage(analyses), error)) &&
         (!analyses.HasTrace() || Save(directory, "trace.html", TracePage(analyses), error));
}

const char* const kAnalysisStyle =
    ".time,.number{text-align:right;white-space:nowrap}\n"
    ".routine.unknown{color:#a00;font-style:italic}\n"
    ".tree{font-family:monospace}.tree .where{color:#666}.tree .time{color:#06c}\n"
    ".tree .mark{color:#a00}.tree .dump,.tree .dropped{color:#a00}\n";

}  // namespace report::html
