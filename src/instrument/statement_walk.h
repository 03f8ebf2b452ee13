// The statement walk of a function body: blocks for the branches of every
// decision, sequence blocks after statements that may not complete, loop
// iteration branches, switches and their case conditions, return exits, and
// every expression handed to the expression walk.
//
// Each walk step returns whether control may not continue normally after
// the statement (a jump or a call that may terminate inside it); the
// statement list then starts a sequence block at the next statement.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Deepest nesting instrumented; deeper constructs are copied as they are.
inline constexpr unsigned kMaxWalkDepth = 100000;

/// Walks the statements of the current function's body at depth 0.
void InstrBody(const frontend::TreeNode* body);

/// Walks one statement; true when control may not continue after it.
bool InstrStatement(const frontend::TreeNode* statement);

/// Walks a chain of block items (siblings from `first`); true when control
/// may not continue after the last one.
bool InstrStatementList(const frontend::TreeNode* first);

}  // namespace instrument
