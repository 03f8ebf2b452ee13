// The call side of the expression walk: the prefix_call pragma, call
// coverage, dumps around calls, the exit sequence before a call of a
// terminating function, and whether a call may end the program.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Instruments one call after its operands were walked; true when control
/// may not continue after it (a terminating or may-terminate callee).
bool InstrCall(const frontend::TreeNode* call);

}  // namespace instrument
