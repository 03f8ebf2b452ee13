// The analysed command line.
//
// AnalyseOptions runs the command analysis on the instrumentor's option
// table, then queries each option in a fixed order, applies the cross-option
// rules with their warnings and errors, interns names with their flag bits
// and fills the one record of the run (instrument/run_options.h).
#pragma once

#include "instrument/run_options.h"

namespace driver {

using Options = instrument::RunOptions;
using enum instrument::CoverageBit;
using enum instrument::SelectionBit;

/// True when the record is complete; false after the analysis or a rule has
/// shown its messages (the caller then ends with "Error(s) in command line").
bool AnalyseOptions(int argc, const char* const* argv, Options& options);

/// Frees the option lists and the command analysis' storage.
void ReleaseOptions(Options& options);

}  // namespace driver
