// The "@"-delimited tags of the RIK listing, as text: the opening and
// closing tag of every registry item kind, and the translated labels the
// listing shows. Names in tags stand between double quotes, unescaped.
#pragma once

#include "output/rik_registry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace output {

/// "TP", "TA", "TB" or "TE": the SUM divided by 10.
std::string_view RikMark(std::int8_t sum);

/// "@BRANCH[ START] MARK=.. ID=.. SUM=..@"; with couples the ID is the list
/// of first&second joined by "|".
std::string BranchTag(const RikBranch& branch, bool start);

/// The tag that opens the item in the annotated listing; coverage is the
/// coverage word (decision tags name the block SUMs it selects).
std::string OpeningTag(const RikItem& item, std::uint16_t coverage);
/// The tag that closes it; empty for kinds without one.
std::string ClosingTag(const RikItem& item);

/// The text with every "@" doubled.
std::string DoubleAts(std::string_view text);

/// A text of context "Code Coverage" in the local 8-bit encoding.
std::string CoverageText(const char* source);

}  // namespace output
