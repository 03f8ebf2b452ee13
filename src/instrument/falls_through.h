// Whether control can leave a statement at its end, so that the texts placed
// after it (the exit texts at a function's closing brace) can run.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// False only for statements that surely never end normally: goto, return,
/// a call of a terminating function, and the compound, labelled, if/else and
/// switch statements made only of those.
bool FallsThrough(const frontend::TreeNode* statement);

}  // namespace instrument
