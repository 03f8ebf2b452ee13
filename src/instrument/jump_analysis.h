// What jumps can do to the structure of a function body: leave a construct
// (so the next statement must start a sequence block) or enter a loop from
// outside (so its iteration count cannot be kept).
#pragma once

#include <cstdint>

namespace frontend {
struct TreeNode;
}

namespace instrument {

enum LeavingBit : std::uint8_t {
  kLeavesByJump = 0x01,      // return, goto, __try
  kLeavesByCall = 0x02,      // call of a terminating function
  kLeavesByBreak = 0x04,     // break not inside a loop or switch of the part
  kLeavesByContinue = 0x08,  // continue not inside a loop of the part
};

/// The ways control can leave the part, measured once per node and function.
std::uint8_t LeavingWays(const frontend::TreeNode* part);

/// Whether the call names a terminating function (through parentheses).
bool IsTerminatingCall(const frontend::TreeNode* call);

/// Notes, in the walk state, every loop of the body that a case label of an
/// enclosing switch, a goto from outside or a computed goto can enter, and
/// every loop that holds a computed goto, which leaves without running the
/// cleanups that close its iteration count.
void FindLoopsEnteredFromOutside(const frontend::TreeNode* body);

}  // namespace instrument
