// What of a file's branches the figures count: exclusion markers take
// branches out of the count (they stay listed, marked), and in changed-lines
// mode only the branches beginning on changed lines stay in the report.
//
// A branch begins on its record's first line; the rows and conditions of a
// decision on the decision's first line (that of its first condition), the
// branches of a loop on the loop's first line.
#pragma once

#include "report/exclusion_markers.h"
#include "report/report_model.h"

#include <cstdint>
#include <vector>

namespace report {

/// Marks the branches that begin in the scan's exclusions, counts them per
/// exclusion and adds the scan's warnings, and one per exclusion that
/// excludes no branch, to the file.
void ApplyExclusions(FileReport& file, MarkerScan scan);

/// Keeps only the branches that begin on `lines` (ascending), and the
/// functions left with a branch.
void KeepChangedLines(FileReport& file, std::vector<std::uint32_t> lines);

}  // namespace report
