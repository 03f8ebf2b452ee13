#include "instrument/expression_walk.h"

#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/block_instrumentation.h"
#include "instrument/call_instrumentation.h"
#include "instrument/composition.h"
#include "instrument/condition_instrumentation.h"
#include "instrument/instr_state.h"
#include "instrument/ternary_blocks.h"
#include "instrument/walk_support.h"
#include "support/name_table.h"

#include <optional>
#include <string_view>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool IsStatementExpression(const TreeNode* node) {
  return node->kind == NodeKind::LEFT_PAREN && node->sons && node->sons->kind == NodeKind::LEFT_BRACE;
}

const TreeNode* CalleeIdentifier(const TreeNode* call) {
  const TreeNode* callee = call->sons;
  while (callee && callee->kind == NodeKind::LEFT_PAREN) callee = callee->sons;
  return callee && callee->kind == NodeKind::IDENTIFIER ? callee : nullptr;
}

// How many leading arguments of a built-in must stay constant expressions.
int ConstantArguments(const TreeNode* call) {
  const TreeNode* callee = CalleeIdentifier(call);
  if (!callee || !callee->alpha) return 0;
  const std::string_view name = callee->alpha->text;
  if (name == "__builtin_constant_p" || name == "__builtin_object_size" || name == "__builtin_dynamic_object_size") {
    return 1000;
  }
  if (name == "__builtin_choose_expr") return 1;
  return 0;
}

bool WalkOperand(const TreeNode* operand) {
  DeeperLevel level;
  return InstrExpr(operand, false, nullptr);
}

bool WalkCall(const TreeNode* call) {
  bool terminates = false;
  if (!CalleeIdentifier(call)) terminates = WalkOperand(call->sons);
  int constant = ConstantArguments(call);
  for (const TreeNode* argument = call->sons ? call->sons->next : nullptr; argument; argument = argument->next) {
    if (constant > 0) {
      --constant;
      continue;
    }
    terminates = WalkOperand(argument) || terminates;
  }
  return terminates;
}

bool WalkConditional(const TreeNode* conditional) {
  const TreeNode* middle = frontend::ConditionalMiddle(conditional);
  const TreeNode* colon = frontend::ConditionalColon(conditional);
  // Without a middle operand the condition's value is the result (x ?: y):
  // it is not turned into a truth value.
  const bool middleOmitted = !middle || middle->kind == NodeKind::EMPTY;
  bool terminates = false;
  {
    DeeperLevel level;
    terminates = InstrExpr(conditional->sons, !middleOmitted, nullptr);
  }
  std::optional<std::uint32_t> trueMark;
  std::optional<std::uint32_t> falseMark;
  if (!middleOmitted) {
    PathSegment segment("?T:");
    terminates = WalkOperand(middle) || terminates;
    trueMark = InstrTernaryArm(middle, true);
  }
  if (colon && colon->sons) {
    PathSegment segment("?:F");
    terminates = WalkOperand(colon->sons) || terminates;
    falseMark = InstrTernaryArm(colon->sons, !middleOmitted);
  }
  InstrTernaryCondition(conditional, trueMark, falseMark);
  return terminates;
}

bool WalkChildren(const TreeNode* expression) {
  bool terminates = false;
  for (const TreeNode* child = expression->sons; child; child = child->next) {
    terminates = WalkOperand(child) || terminates;
  }
  return terminates;
}

// Operands that are not evaluated, or not expressions at all.
bool IsOpaque(const TreeNode* node) {
  switch (node->kind) {
    case NodeKind::SIZEOF:
    case NodeKind::TYPE_NAME:
    case NodeKind::EMPTY:
      return true;
    case NodeKind::AND_OP:
      return !IsLogicalOperator(node);  // &&label
    default:
      return IsStatementExpression(node);
  }
}

}  // namespace

bool InstrExpr(const TreeNode* expression, bool condition, DecisionContext* decision) {
  if (!expression || IsInstrStopped(expression)) return false;
  if (IsLogicalOperator(expression)) return InstrDecision(expression, decision);
  if (IsLogicalStructure(expression)) {
    DeeperLevel level;
    return InstrExpr(expression->sons, condition, decision);
  }
  bool terminates = false;
  if (expression->kind == NodeKind::QUESTION) {
    terminates = WalkConditional(expression);
  } else if (expression->kind == NodeKind::CALL) {
    terminates = WalkCall(expression);
  } else if (expression->kind == NodeKind::INITIALIZER) {
    terminates = InstrInitializer(expression);
  } else if (!IsOpaque(expression)) {
    terminates = WalkChildren(expression);
  }
  if (condition) InstrBasicCondition(expression, decision);
  if (expression->kind == NodeKind::CALL) terminates = InstrCall(expression) || terminates;
  return terminates;
}

bool InstrInitializer(const TreeNode* initializer) {
  if (!initializer || initializer->kind != NodeKind::INITIALIZER) return WalkOperand(initializer);
  bool terminates = false;
  DeeperLevel level;
  for (const TreeNode* element = initializer->sons; element; element = element->next) {
    // "designator = value": only the value is an expression to walk.
    const TreeNode* value = element;
    if (element->kind == NodeKind::ASSIGN && element->sons) value = frontend::AssignedValue(element);
    terminates = InstrInitializer(value) || terminates;
  }
  return terminates;
}

}  // namespace instrument
