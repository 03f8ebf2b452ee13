// Named children of the syntax tree's nodes, for the kinds whose children
// the instrumentation reads by role. Each returns none when the child is
// absent; the child order is the one the grammar's actions build. In debug
// builds each checks the kind of the node it is given.
#pragma once

#include "frontend/syntax_tree.h"

#include <cassert>

namespace frontend {
namespace children_detail {

inline const TreeNode* NthChild(const TreeNode* node, int index) {
  const TreeNode* child = node->sons;
  while (child && index--) child = child->next;
  return child;
}

inline const TreeNode* NthChildOf(const TreeNode* node, [[maybe_unused]] NodeKind kind, int index) {
  assert(node->kind == kind);
  return NthChild(node, index);
}

}  // namespace children_detail

/// IF [condition, then, ELSE]: the statement run when the condition holds.
inline const TreeNode* IfThen(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::IF, 1); }

/// IF [condition, then, ELSE]: the ELSE node (its child is the statement), or
/// none without an else.
inline const TreeNode* IfElse(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::IF, 2); }

/// FOR [initialisation, condition, step, body]: the condition, EMPTY if absent.
inline const TreeNode* ForCondition(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::FOR, 1);
}

/// FOR [initialisation, condition, step, body]: the step, EMPTY if absent.
inline const TreeNode* ForStep(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::FOR, 2); }

/// FOR [initialisation, condition, step, body]: the loop body.
inline const TreeNode* ForBody(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::FOR, 3); }

/// WHILE [condition, body]: the loop body.
inline const TreeNode* WhileBody(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::WHILE, 1); }

/// DO [condition, body] (condition first): the loop body.
inline const TreeNode* DoBody(const TreeNode* node) { return children_detail::NthChildOf(node, NodeKind::DO, 1); }

/// SWITCH [controlling expression, body]: the body.
inline const TreeNode* SwitchBody(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::SWITCH, 1);
}

/// LABEL [identifier, statement]: the labelled statement (EMPTY for a label
/// before "}" or before a declaration).
inline const TreeNode* LabelStatement(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::LABEL, 1);
}

/// CASE [value, statement]: the labelled statement (EMPTY for a case label
/// before "}" or before a declaration).
inline const TreeNode* CaseStatement(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::CASE, 1);
}

/// INIT_DECLARATOR [declarator, value]: the INIT_VALUE or STATIC_INIT_VALUE,
/// or none for an item without initializer.
inline const TreeNode* DeclaratorValue(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::INIT_DECLARATOR, 1);
}

/// '?' [condition, middle, ':']: the value when the condition holds, EMPTY
/// when omitted ("x ?: y").
inline const TreeNode* ConditionalMiddle(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::QUESTION, 1);
}

/// '?' [condition, middle, ':']: the ':' node, whose child is the value when
/// the condition fails.
inline const TreeNode* ConditionalColon(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::QUESTION, 2);
}

/// '=' [target, value]: the value assigned (in an initializer list, the
/// value after a designator).
inline const TreeNode* AssignedValue(const TreeNode* node) {
  return children_detail::NthChildOf(node, NodeKind::ASSIGN, 1);
}

/// An operator node [left, right]: the right operand, or none for the unary
/// form of an operator that has both.
inline const TreeNode* RightOperand(const TreeNode* node) { return children_detail::NthChild(node, 1); }

}  // namespace frontend
