// The RIK section that ends an FDC block: the block's identity, the
// coverage categories with their labels, the runtime error texts, the size
// metrics of the source file and its annotated listing, in which every
// registered function, branch, decision and popup is wrapped in its tags.
//
// With the file's no-listing flag set (source lines not monotonic along the
// registry, or the source file unknown) the listing is a per-function
// summary without source text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace frontend {
struct ValidLineTable;
}  // namespace frontend

namespace output {

struct FdcFile;

struct RikSectionOptions {
  const char* preprocessedPath = nullptr;  // the preprocessed input
  const frontend::ValidLineTable* validLines = nullptr;  // the lines of each source that produced tokens
  std::uint16_t coverage = 0;              // the coverage word
  bool metrics = false;                    // -METRICS: LINES and HALS on the file node
  std::optional<std::string_view> comment;  // -COMMENT text
};

/// Appends the section to the file's FDC output (reopened in append mode),
/// closes the stream and releases the registry. An item beyond the end of
/// the source file is fatal "Expected source line %1 [preprocessed:%2] is
/// after the end of the file %3 [%4 total]".
void WriteRikSection(FdcFile& file, const RikSectionOptions& options);

}  // namespace output
