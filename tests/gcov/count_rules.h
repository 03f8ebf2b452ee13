// The counts of an instrumented build compared with gcc's coverage of the
// same program, on the constructs where both must be equal:
//
// - entries: every function's entry record has gcov's execution count of the
//   function (0 when gcc did not emit it), and every function gcov reports
//   in an instrumented source file has an entry record; the block of a
//   function's body has the same count;
// - calls: a call record alone on its line has gcov's count of the line when
//   the line is straight code (see CompareCalls);
// - blocks: a one-line statement block alone on its line has gcov's count of
//   the line when the line is straight code (see CompareBlocks).
#pragma once

#include "gcov_report.h"
#include "our_counts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gcovcheck {

struct Mismatch {
  std::string source, function, what;
  std::uint32_t line = 0;
  std::uint64_t ours = 0, gcov = 0;
};

struct Comparison {
  std::size_t entries = 0, calls = 0, blocks = 0;  // compared; entries include body blocks
  std::size_t saturated = 0;                       // left out: our count stopped at its maximum
  std::vector<Mismatch> mismatches;
};

Comparison CompareCounts(const OurCounts& ours, const GcovReport& gcov);

}  // namespace gcovcheck
