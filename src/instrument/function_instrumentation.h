// The function walk: for every function definition that the unit and file
// filters admit, in source order, the entry texts before its body's opening
// brace, the exit texts before a reachable closing brace, the exits at its
// return statements and the links of the FDC files it touched.
#pragma once

#include "instrument/function_metrics.h"

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Walks every function definition of the tree.
void InstrFunctionStart(const frontend::TreeNode* root);

/// -RENAME and -REMOVE on one function definition.
void InstrFunctionRename(const frontend::TreeNode* definition);

}  // namespace instrument
