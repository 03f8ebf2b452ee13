// Temporary FDC file names.
//
// Every block is written to a temporary file named after its FDC file and
// claimed with O_EXCL (output_update.h): "<fdc>.fdd", then .fde ... .fdz,
// .fed ... .fzz, .ged ... up to .zzz (the last three characters run from "d"
// to "z", the third from the end starting at "f"), the first one no other run
// holds.
#pragma once

#include "output/temporary_names.h"

#include <string>

namespace output {

// The last three characters of ".fdd" count from "d" to "z"; a carry out of
// the third one ends the sequence.
inline constexpr CountingCharacter kFdcCounting[] = {{'d', 'z', 1}, {'d', 'z', 1}, {'d', 'z', 1}};
inline constexpr TemporaryNaming kFdcNaming{".fdd", kFdcCounting};

/// The candidate after `candidate`; false when the sequence is exhausted.
inline bool NextTemporaryName(std::string& candidate) { return NextTemporaryName(candidate, kFdcNaming); }

}  // namespace output
