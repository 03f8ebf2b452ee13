// The two listings of a RIK section (used by rik_section.cpp).
#pragma once

#include "frontend/line_validity.h"
#include "metrics/halstead.h"
#include "output/rik_registry.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace output {

/// Functions, classes and branches by source line, without source text.
void WriteSummaryListing(std::FILE* out, const RikItemList& registry);

/// What the metrics found in the source file.
struct SourceAnalysis {
  metrics::HalsteadCounts counts{};
  std::vector<metrics::HiddenRange> hiddenRanges;
  frontend::RegionList regions{};
};

struct SourceListingInput {
  const RikItemList* registry;
  const std::string* sourcePath;
  const char* preprocessedPath;
  std::uint16_t coverage;
};

/// The source file with every item's tags at its place; regions are marked
/// by the caller.
void WriteSourceListing(std::FILE* out, const SourceListingInput& input, const SourceAnalysis& analysis);

}  // namespace output
