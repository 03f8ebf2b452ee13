// Compares what an instrumented build recorded (FDC records, results) with
// what the generated program counted itself (manifest, truth).
#pragma once

#include <string>
#include <vector>

#include "manifest.h"
#include "report/fdc_units.h"
#include "report/results_file.h"

namespace oracle {

struct CheckInput {
  const report::FdcUnit* unit = nullptr;
  const report::ResultsFile* results = nullptr;
  const std::vector<ManifestEntry>* manifest = nullptr;
  const Truth* truth = nullptr;
  bool forced = false;  // instrumented with -COND=FORCEEVALUATION
};

/// Every mismatch, one readable line each; empty when all counts agree.
std::vector<std::string> CheckCounts(const CheckInput& input);

}  // namespace oracle
