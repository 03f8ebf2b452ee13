// Completing the TSF files of a run.
//
// The block of this run always comes first. The blocks of the previous TSF
// file follow unless they are foreign (another tool, tracer, provider, set
// of analyses or format version) or belong to the same source file; an old
// block of the same source survives only when its date is equal and its
// checksum differs. The read, the merge and the rename hold the TSF file's
// update lock, as for FDC files.
#pragma once

namespace output {

class TsfWriter;

/// Closes, logs (-MOXTEL_LOG) and merges every TsfFile still to be written.
void FinishTsfFiles(TsfWriter& writer);

}  // namespace output
