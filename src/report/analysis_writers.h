// The runtime analyses' outputs: terminal views, JSON and HTML pages.
#pragma once

#include "report/analysis_report.h"

#include <QJsonObject>
#include <QString>

#include <ostream>
#include <string>

namespace report {

/// The terminal views of the analyses whose files were read: the profile
/// table, the memory tables (sites, leaks, bad frees) and the call trees.
void WriteAnalyses(const AnalysisReport& analyses, std::ostream& out);

/// One line saying what the analyses hold, for a run without --analyses.
void WriteAnalysesNote(const AnalysisReport& analyses, std::ostream& out);

/// The "analyses" object of the JSON report.
QJsonObject AnalysesJson(const AnalysisReport& analyses);

namespace html {

/// The index's links to the analysis pages; empty when no analysis was read.
QString AnalysisLinks(const AnalysisReport& analyses);

/// profile.html, memory.html and trace.html, each when its data was read.
bool WriteAnalysisPages(const AnalysisReport& analyses, const std::string& directory, std::string& error);

/// The pages' styles, added to style.css.
extern const char* const kAnalysisStyle;

}  // namespace html
}  // namespace report
