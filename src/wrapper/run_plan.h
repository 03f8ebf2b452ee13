// Running a compile plan: the steps of each C source in turn, then the rest.
//
// quorbcc1 runs side by side with other runs (make -j): it updates shared FDC
// files safely itself. Its startup lines are kept off standard output, which
// may carry the object (-o -). The messages of quorbcc1 and of the compile
// of the instrumented file are held back until the step's outcome is known:
// the user sees the compiler's messages about the original source, never
// about the instrumented text. So when quorbcc1 refuses a source, or the
// compile of the instrumented file fails or says anything, the original
// source is compiled (into the private directory) and the compiler's verdict
// on it decides: its messages are shown, and when it fails, its status is
// the launcher's. Only a source the compiler accepts but quorbcc1 (or the
// compile of its output) does not gets quorbcc1's messages and a failure.
#pragma once

#include "wrapper/compile_plan.h"

#include <string>

namespace wrapper {

struct RunSettings {
  bool fallback = false;  // QUORB_FALLBACK=1: a refused source is compiled uninstrumented
  bool verbose = false;   // QUORB_VERBOSE=1: each command is shown before it runs
};

/// Runs the plan and returns the launcher's exit status. As the compilers
/// do, every source is compiled even after one failed, and then nothing is
/// linked.
int RunPlan(const CompilePlan& plan, const RunSettings& settings);

}  // namespace wrapper
