// Pieces shared by the two views of the terminal summary.
#pragma once

#include "report/writers.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace report::summary {

/// The ANSI colour of a percentage: green complete, yellow at least half,
/// red under half.
std::string_view ColourOf(const Figure& figure);

/// Where changed lines come from: "since REF (git diff)" or "in FILE".
std::string ChangesText(const ChangesOrigin& changes);

/// The files in the order asked for.
std::vector<const FileReport*> SortedFiles(const Report& report, SortOrder order);

/// The compact view: a row per file, a column per category the report carries.
void WriteTable(const Report& report, const std::vector<const FileReport*>& files, SummaryStyle style,
                std::ostream& out);

}  // namespace report::summary
