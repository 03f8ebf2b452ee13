// Names of the temporary files that hold a new output file until it replaces
// the previous one.
//
// A name is the target's path followed by a suffix whose last characters
// count like an odometer: each counting character steps from its reset
// value towards its limit and, past the limit, goes back to its reset value
// while the character before it takes one step; a step past the limit of the
// first counting character ends the sequence. FDC and TSF files differ only
// in the suffix and in the way their characters count.
#pragma once

#include "output/output_update.h"

#include <span>
#include <string>
#include <string_view>

namespace output {

/// One counting character of the suffix, listed from the last one backwards.
struct CountingCharacter {
  char reset;  // value after a step past the limit
  char limit;  // last value reached by stepping
  int step;    // +1 or -1
};

struct TemporaryNaming {
  std::string_view firstSuffix;
  std::span<const CountingCharacter> counting;
};

/// The candidate after `candidate`; false when the sequence is exhausted.
bool NextTemporaryName(std::string& candidate, const TemporaryNaming& naming);

/// Creates the first free temporary file of `target` with O_EXCL and sets
/// `temporaryPath` to the last name tried (the claimed one on success).
ClaimedFile ClaimTemporaryFor(const std::string& target, const TemporaryNaming& naming, std::string& temporaryPath);

}  // namespace output
