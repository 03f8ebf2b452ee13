// Pieces shared by the HTML pages: escaped text, state classes, and a
// decision's case table with the pairs that show each condition's
// independence. Every text from the inputs goes through toHtmlEscaped.
#pragma once

#include "report/report_model.h"

#include <QString>

#include <string>
#include <string_view>

namespace report::html {

QString Text(const std::string& text);
QString Text(std::string_view text);

/// A whole page: `title` is already escaped, `body` is HTML.
QString Page(const QString& title, const QString& body);

template <typename Number>
QString N(Number value) {
  return QString::number(value);
}

/// "covered", "partly" or "never".
QString StateClass(HitState state);

/// The case table (rows seen and their counts) and the MC/DC table.
QString DecisionTable(const DecisionItem& decision);

/// The annotated source of a file's listing: a table of source lines, the
/// macro expansions and the popups; empty when the file has no listing.
QString ListingSection(const FileReport& file);

/// The inline script and styles the annotated source needs.
extern const char* const kListingScript;
extern const char* const kListingStyle;

}  // namespace report::html
