// --fail-under and --fail-under-file: coverage thresholds on the report's
// total, or on every reported source, per category.
#pragma once

#include "report/categories.h"
#include "report/report_model.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace report {

struct Threshold {
  Category category = Category::kFunctions;
  double percent = 0;
  bool perFile = false;  // every reported source must reach it
};

/// "category=percent" or "category=percent%": the category by its name or
/// key in any case, "_" or "-" for a space, the percent from 0 to 100. On
/// failure `error` says what is wrong and lists the category keys.
std::optional<Threshold> ParseThreshold(const std::string& text, std::string& error);

enum class ThresholdVerdict : std::uint8_t {
  kMet,
  kMissed,   // a figure under its threshold
  kMissing,  // a threshold on a category the report has no branch of
};

/// Checks every threshold, writing one line per figure missed (naming the
/// source for a per-file threshold) to `err`. A category with no branch in
/// the report is an error, or only a warning when `allowMissing`; a source
/// with no branch of the category has nothing to check, and so has a
/// category whose every branch is excluded or, in changed-lines mode, a
/// category the build has without a branch on a changed line. The worst
/// verdict.
ThresholdVerdict CheckThresholds(const std::vector<Threshold>& thresholds, bool allowMissing, const Report& report,
                                 std::ostream& err);

}  // namespace report
