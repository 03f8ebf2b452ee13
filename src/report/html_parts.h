// Pieces shared by the HTML pages: escaped text, state classes, and a
// decision's case table with the pairs that show each condition's
// independence. Every text from the inputs goes through toHtmlEscaped.
#pragma once

#include "report/listing_view.h"
#include "report/report_model.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report::html {

QString Text(const std::string& text);
QString Text(std::string_view text);

/// A whole page linking the shared style.css and report.js: `title` is
/// already escaped, `body` is HTML.
QString Page(const QString& title, const QString& body);

template <typename Number>
QString N(Number value) {
  return QString::number(value);
}

/// "covered", "partly" or "never".
QString StateClass(HitState state);

/// What a file's counts are. Flags and bits add 1 per results group (a
/// process run of a unit) in which the branch ran; -COUNT adds executions.
enum class CountUnit : std::uint8_t { kRuns, kExecutions };

/// Neither the FDC block nor the results name the mode: a count larger than
/// the file's results groups can only be one of executions. When none is,
/// every count is also the number of runs that ran the branch (with -COUNT
/// each of those runs ran it once).
CountUnit CountUnitOf(const FileReport& file);

/// "never ran", "ran in 1 run", "ran in 2 runs"; "ran once", "ran 2 times".
QString CountText(std::uint64_t count, CountUnit unit);

/// The case table (rows seen and their counts) and the MC/DC table;
/// `labels` are the basic conditions' headings (their texts when empty).
QString DecisionTable(const DecisionItem& decision, const std::vector<QString>& labels = {});

/// The annotated source of a file's listing: the note on lines that could
/// not be placed, buttons to the previous and next line with a missed
/// branch, a table of source lines (those a change touches and those a
/// marker excludes marked), the macro expansions and the popups.
QString ListingSection(const ListingView& view, CountUnit unit, const FileReport& file);

/// The view of a file's listing; none when the file has none. A listing of
/// branches by line is laid on the source's lines, read from disk (its path
/// under `root` when relative).
std::optional<ListingView> ViewOfListing(const FileReport& file, const std::string& root);

/// "L12", the id of the row of source line 12; empty when the view has no
/// such line.
QString LineAnchor(const ListingView& view, std::uint32_t line);

/// A condition's label, HTML: its text when its source line holds it (blanks
/// aside); when a macro expanded it, the macro's text on that line (or the
/// line trimmed) with the expanded text in the tooltip.
QString ConditionLabel(const ListingView* view, std::uint32_t id, std::uint32_t line, const std::string& text);

/// The missed branches by line: per line its function and what never ran
/// (a branch, a loop's iteration count, a condition's value, a condition
/// whose independence no pair of rows shows), the line linked to the
/// source row when `view` has it. Branches an exclusion took out are left
/// out.
QString MissesSection(const FileReport& file, const ListingView* view);

}  // namespace report::html
