// A listing that lists branches by line instead of the source.
//
// When a file's line markers go backwards (a source that includes itself,
// as libiberty's regex.c does), the instrumentor cannot copy the source into
// the listing; it writes per function a line per branch, "Statement block,
// line 288". Shown as it stands that is a made-up source. Instead its marks
// and popups are laid on the source's own lines, read from disk. A function
// whose name is not on the source's lines between the previous function's
// end and its first line is not aligned (the source changed since it was
// instrumented): its branches are left out of the source and the note at
// the top of the listing names it, as it names branches past the source's
// end, or the source that could not be read.
#pragma once

#include "report/listing_view.h"
#include "report/report_model.h"

#include <optional>
#include <string>
#include <string_view>

namespace report::html {

/// Whether `view` is a listing of branches by line.
bool ListsBranchesByLine(const ListingView& view);

/// The view laid on the lines of `source`; with `source` none, the view as
/// it stands with a note that `path` could not be read.
ListingView PlaceOnSource(ListingView listed, const std::optional<std::string>& source, const FileReport& file,
                          const std::string& path);

}  // namespace report::html
