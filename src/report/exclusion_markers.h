// Exclusion markers in a C source's comments:
//
//   /* quorb: exclude "reason" */         the branches beginning on its line
//   // quorb: exclude "reason"
//   /* quorb: exclude start "reason" */   the branches beginning on the lines
//   /* quorb: exclude stop */             from the start's line to the stop's
//
// A marker's line is the line of its "quorb:". Markers inside string and
// character literals are text, not markers. A marker or a region start
// without a reason, a region never closed, a stop without a start and a
// start inside an open region are warnings and exclude nothing.
#pragma once

#include "report/report_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace report {

struct MarkerScan {
  std::vector<ExclusionItem> exclusions;  // by first line; `branches` still 0
  std::vector<MarkerWarning> warnings;
};

MarkerScan ScanExclusionMarkers(std::string_view source);

/// The text markers are read from: the listing's when it carries the
/// source's text, else (no listing, or the list of branches by line of a
/// source that includes itself) the file at `path` on disk (empty when it
/// cannot be read).
std::string MarkerSourceText(const std::string& listing, const std::string& path);

/// The source text an annotated listing carries: its text outside macro
/// expansions and popup bodies, line for line; empty when the listing is.
std::string ListingSourceText(const std::string& listing);

}  // namespace report
