// Switch statements: a block and a case condition per label, an implicit
// default where the switch has none, and the switch contexts that collect
// the labels of each switch being walked.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Walks a switch statement; true when control may not continue after it.
bool InstrSwitch(const frontend::TreeNode* statement);

/// Walks a case or default label and its statement.
bool InstrCaseLabel(const frontend::TreeNode* label);

}  // namespace instrument
