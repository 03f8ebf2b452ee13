// The instrumentation of one parsed source file, from the configured writers
// to the instrumented file, the completed side files and the kept copy.
//
// Nothing is written to the instrumented file while the tree is walked: the
// walk only records modifications and side-file records. The instrumented
// file is then written in one go — identification banner, prologue, writer
// trailers, the source copied with every modification spliced in, and the
// parse-globals trailer — into a temporary file that replaces <instr> once
// complete, so a failed run never leaves a truncated <instr> behind.
#pragma once

namespace frontend {
struct FrontEnd;
struct TreeNode;
}

namespace instrument {

struct RunOptions;

/// Instruments the tree of one source file, parsed into the front end, and
/// writes the instrumented file and the FDC and TSF files. The tree is
/// released once the instrumented text is written: the listings need only
/// the registry and the sources.
void InstrumentFile(frontend::FrontEnd& frontEnd, frontend::TreeNode* root, const RunOptions& options);

}  // namespace instrument
