// The Halstead analysis of one file: open, decode, scan, count the last line,
// release. Regions that no #endif closes end on the file's last line.
#include "metrics/halstead.h"

#include "frontend/line_validity.h"
#include "metrics/halstead_scan.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/translate.h"

#include <cstdio>

namespace metrics {
namespace {

void CloseOpenRegions(std::uint32_t lastLine) {
  for (frontend::Region* region : Halstead().openRegions) region->lastLine = lastLine;
  Halstead().openRegions.clear();
}

}  // namespace

void ComputeHalstead(const char* path, HalsteadCounts& counts, std::vector<HiddenRange>& hiddenRanges,
                     frontend::RegionList& regions) {
  if (!path) {
    support::DisplayInternalError(
        support::Translate("Internal Error", "Cannot calcul Halstead parameters w/o file name"),
        support::CodeLocation::Current());
  }
  // Closed however the run ends, an unwinding fatal error included.
  const support::UniqueFile file(std::fopen(path, "rb"));
  if (!file) {
    support::DisplayInternalError(support::Translate("Internal Error", "Halstead calcul : cannot open source file"),
                                  support::CodeLocation::Current());
  }
  HalsteadScan scan;
  const HalsteadScope binding(scan);
  counts.fill(0);
  scan.path = path;
  scan.counts = &counts;
  scan.hiddenRanges = &hiddenRanges;
  scan.regions = &regions;
  output::StartDecoding(scan.input, file.get(), output::DetectEncoding(file.get()));
  RunHalsteadScanner();
  FinishScan();
  CloseOpenRegions(counts[kTotalLines]);
  if (support::GetMessageCounts().errors > 0) {
    support::DisplayFatalError(support::Translate("Fatal Error", "Fix the errors above before proceeding again"));
  }
}

}  // namespace metrics
