// The walk over the statements of a function body. It reaches every return
// statement, nested ones included, at its nesting depth. Expressions are not
// entered, so the statements of a GNU statement expression are left as they
// are.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Walks one top-level statement of the current function's body.
void WalkStatement(const frontend::TreeNode* statement);

}  // namespace instrument
