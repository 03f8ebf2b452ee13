// The files every HTML page shares, written once into the report's
// directory: style.css and report.js (sortable tables, the listing's popups
// and macro expansions, the jumps from miss to miss).
#pragma once

#include <string>

namespace report::html {

/// Writes style.css and report.js into `directory`; false with `error` when
/// one cannot be written.
bool WriteAssets(const std::string& directory, std::string& error);

}  // namespace report::html
