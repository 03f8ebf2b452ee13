// Size metrics of a user's source file, as written: the Halstead base
// counts, a classification of its lines, the byte ranges of its comments and
// directive lines, and the line spans of its conditional-compilation
// regions.
//
// A scanner of its own reads the file (decoded to UTF-8 when it was saved in
// UTF-16 or UTF-32, so that offsets match the annotated listing): it does not
// parse, it only classifies tokens. Keywords and punctuators are operators,
// identifiers, literals and constants operands; closing brackets and stray
// bytes only mark their line as code.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace frontend {
struct RegionList;
}

namespace metrics {

/// Indexes of HalsteadCounts.
enum HalsteadCounter : std::size_t {
  kDistinctOperators = 0,  // n1
  kDistinctOperands = 1,   // n2
  kTotalOperators = 2,     // N1
  kTotalOperands = 3,      // N2
  kTotalLines = 4,
  kCodeLines = 5,             // code and no comment
  kCodeAndCommentLines = 6,   // code and a comment
  kCommentLines = 7,          // a comment (or nothing) and no code
  kBlankLines = 8,
  kComments = 9,
  kHalsteadCounterCount = 10,
};

using HalsteadCounts = std::array<std::uint32_t, kHalsteadCounterCount>;

/// Bytes [start, end) of the decoded file taken by one comment or one
/// directive line (without its final newline).
struct HiddenRange {
  std::uint64_t start;
  std::uint64_t end;
};

/// Analyses the file at path. Counts are zeroed first; ranges and regions
/// (one per #if, #ifdef, #ifndef, #elif and #else, from its line to the line
/// of the directive that closes it) are appended in file order.
///
/// Ends the process when path is null or the file cannot be opened
/// (internal errors), and with the fatal "Fix the errors above before
/// proceeding again" when an error message has been shown, among them an
/// unmatched #elif, #else or #endif of this file.
void ComputeHalstead(const char* path, HalsteadCounts& counts, std::vector<HiddenRange>& hiddenRanges,
                     frontend::RegionList& regions);

}  // namespace metrics
