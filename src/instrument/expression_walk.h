// The expression walk: every operand of an expression, in the order the
// texts must nest. Conditions and decisions are handed to the condition
// instrumentation, calls to the call instrumentation.
//
// Operands that C never evaluates or requires to be constant are not entered:
// sizeof, the arguments of __builtin_constant_p, the first argument of
// __builtin_choose_expr, the designators of initializers, and the inside of
// statement expressions.
#pragma once

namespace frontend {
struct TreeNode;
}

namespace instrument {

struct DecisionContext;

/// Walks an expression used as a truth value (`condition`) or not, inside
/// the enclosing decision (none at top level). Returns whether it contains a
/// call after which control may not continue.
bool InstrExpr(const frontend::TreeNode* expression, bool condition, DecisionContext* decision);

/// Walks the initializer of an automatic declaration: an expression, or a
/// brace list whose values (never designators) are walked.
bool InstrInitializer(const frontend::TreeNode* initializer);

}  // namespace instrument
