#include "report/thresholds.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace report {
namespace {

std::string CategoryList() {
  std::string list;
  for (const std::string_view key : kCategoryKeys) list += (list.empty() ? "" : ", ") + std::string(key);
  return list;
}

std::string Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

// The percent as a finite number from 0 to 100, an optional "%" after it.
std::optional<double> ParsePercent(std::string text) {
  if (!text.empty() && text.back() == '%') text.pop_back();
  if (text.empty()) return std::nullopt;
  bool isNumber = false;  // in the C locale, whatever the user's
  const double percent = QString::fromStdString(text).toDouble(&isNumber);
  if (!isNumber || !std::isfinite(percent) || percent < 0 || percent > 100) return std::nullopt;
  return percent;
}

bool Under(const Figure& figure, double percent) {
  return static_cast<double>(figure.covered) * 100.0 < percent * static_cast<double>(figure.total);
}

void WriteMissed(const std::string& where, Category category, const Figure& figure, double percent,
                 std::ostream& err) {
  char shown[16];
  err << "quorbreport: " << where << CategoryName(category) << " coverage " << FormatPercent(figure, shown)
      << "% is under " << percent << "%\n";
}

}  // namespace

std::optional<Threshold> ParseThreshold(const std::string& text, std::string& error) {
  const std::size_t equals = text.rfind('=');
  const std::string name = Trimmed(std::string_view(text).substr(0, equals == std::string::npos ? 0 : equals));
  const std::optional<Category> category = FindCategory(name);
  const std::optional<double> percent =
      equals == std::string::npos ? std::nullopt : ParsePercent(Trimmed(std::string_view(text).substr(equals + 1)));
  if (equals == std::string::npos) error = "expected CATEGORY=PERCENT";
  else if (!category) error = "unknown category \"" + name + "\"";
  else if (!percent) error = "expected a percent from 0 to 100 after \"=\"";
  if (category && percent) return Threshold{*category, *percent};
  error += "; categories: " + CategoryList();
  return std::nullopt;
}

ThresholdVerdict CheckThresholds(const std::vector<Threshold>& thresholds, bool allowMissing, const Report& report,
                                 std::ostream& err) {
  ThresholdVerdict verdict = ThresholdVerdict::kMet;
  const auto worsen = [&](ThresholdVerdict to) { verdict = std::max(verdict, to); };
  for (const Threshold& threshold : thresholds) {
    const std::string name(CategoryName(threshold.category));
    const Figure& total = report.total[threshold.category];
    const bool carried = report.total.carried[static_cast<std::size_t>(threshold.category)];
    if (total.total == 0 && (total.excluded > 0 || (report.changes.Active() && carried))) {
      // The build has the category: none of its branches is left to count.
      err << "quorbreport: note: no " << name << " branch counts"
          << (report.changes.Active() ? " on the changed lines" : "") << "; its threshold has nothing to check\n";
      continue;
    }
    if (total.total == 0) {
      if (allowMissing) {
        err << "quorbreport: warning: no branch of " << name << " in the report; its threshold is not checked\n";
        continue;
      }
      err << "quorbreport: error: no branch of " << name << " in the report, so its threshold cannot be met"
          << " (--fail-under-allow-missing lets it pass)\n";
      worsen(ThresholdVerdict::kMissing);
      continue;
    }
    if (!threshold.perFile) {
      if (!Under(report.total[threshold.category], threshold.percent)) continue;
      WriteMissed("", threshold.category, report.total[threshold.category], threshold.percent, err);
      worsen(ThresholdVerdict::kMissed);
      continue;
    }
    for (const FileReport& file : report.files) {
      const Figure& figure = file.figures[threshold.category];
      if (figure.total == 0 || !Under(figure, threshold.percent)) continue;
      WriteMissed(file.sourcePath + ": ", threshold.category, figure, threshold.percent, err);
      worsen(ThresholdVerdict::kMissed);
    }
  }
  return verdict;
}

}  // namespace report
