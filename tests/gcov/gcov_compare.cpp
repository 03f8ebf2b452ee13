// Compares the counts of a program instrumented with -PROC -CALL -BLOCK
// -COUNT with gcc's coverage of the same program; prints every mismatch.
//
//   gcov_compare <results file> <gcov json> <compile directory> <fdc file>...
//
// Exit status: 0 all equal, 1 a mismatch, 2 an input that cannot be read.
#include "count_rules.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: gcov_compare <results file> <gcov json> <compile directory> <fdc file>...\n");
    return 2;
  }
  const gcovcheck::OurCounts ours = gcovcheck::ReadOurCounts({argv + 4, argv + argc}, argv[1]);
  if (!ours.error.empty()) {
    std::fprintf(stderr, "%s\n", ours.error.c_str());
    return 2;
  }
  const gcovcheck::GcovReport gcov = gcovcheck::ReadGcovReport(argv[2], argv[3]);
  if (!gcov.error.empty()) {
    std::fprintf(stderr, "%s\n", gcov.error.c_str());
    return 2;
  }
  const gcovcheck::Comparison comparison = gcovcheck::CompareCounts(ours, gcov);
  for (const gcovcheck::Mismatch& mismatch : comparison.mismatches) {
    std::printf("MISMATCH %s:%u %s, %s: ours %llu, gcov %llu\n", mismatch.source.c_str(), mismatch.line,
                mismatch.function.c_str(), mismatch.what.c_str(), static_cast<unsigned long long>(mismatch.ours),
                static_cast<unsigned long long>(mismatch.gcov));
  }
  std::printf("compared %zu entries, %zu calls, %zu blocks (%zu saturated left out): %zu mismatches\n",
              comparison.entries, comparison.calls, comparison.blocks, comparison.saturated,
              comparison.mismatches.size());
  return comparison.mismatches.empty() ? 0 : 1;
}
