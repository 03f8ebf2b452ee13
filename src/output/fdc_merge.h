// Completing the FDC files of a run.
//
// The block of this run always comes first. For an FDC file that exists
// when the run finishes, the blocks of the previous file follow unless they are foreign or belong
// to the same source file; an old block of the same source survives only
// when its date and coverage word are equal and its checksum differs (a
// variant built from the same source). The result is written to the
// temporary file, which then replaces the previous file in one rename; the
// read, the merge and the rename hold the FDC file's update lock, so runs
// that finish at the same time take their turns.
#pragma once

namespace output {

class FdcWriter;

/// Closes, logs (-MOXTEL_LOG) and merges every FdcFile still to be written.
void FinishFdcFiles(FdcWriter& writer);

}  // namespace output
