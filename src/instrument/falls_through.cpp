#include "instrument/falls_through.h"

#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/jump_analysis.h"
#include "instrument/walk_support.h"

#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

const TreeNode* LastChildAt(const TreeNode* node) {
  const TreeNode* child = node->sons;
  while (child && child->next) child = child->next;
  return child;
}

// A break inside the switch body that leaves this switch (not one of a
// nested loop or switch).
bool HasOwnBreak(const TreeNode* body) {
  std::vector<const TreeNode*> pending{body};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (node->kind == NodeKind::BREAK) return true;
    const bool nested = node->kind == NodeKind::SWITCH || node->kind == NodeKind::FOR ||
                        node->kind == NodeKind::WHILE || node->kind == NodeKind::DO;
    if (nested && node != body) continue;
    for (const TreeNode* child = node->sons; child; child = child->next) pending.push_back(child);
  }
  return false;
}

bool HasDefaultLabel(const TreeNode* body) {
  std::vector<const TreeNode*> pending{body};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (node->kind == NodeKind::DEFAULT) return true;
    if (node->kind == NodeKind::SWITCH) continue;
    for (const TreeNode* child = node->sons; child; child = child->next) pending.push_back(child);
  }
  return false;
}

bool SwitchFallsThrough(const TreeNode* statement) {
  const TreeNode* body = frontend::SwitchBody(statement);
  if (!body || !HasDefaultLabel(body) || HasOwnBreak(body)) return true;
  return body->kind == NodeKind::LEFT_BRACE ? FallsThrough(LastChildAt(body)) : FallsThrough(body);
}

}  // namespace

bool FallsThrough(const TreeNode* statement) {
  // Labels and compound statements pass the question on to their last
  // statement; the loop replaces recursion on long label chains.
  while (statement) {
    switch (statement->kind) {
      case NodeKind::GOTO:
      case NodeKind::RETURN:
        return false;
      case NodeKind::CALL:
        return !IsTerminatingCall(statement);
      case NodeKind::EXPRESSION_STATEMENT:
        return !IsTerminatingCall(statement->sons);
      case NodeKind::LABEL:
        statement = frontend::LabelStatement(statement);
        break;
      case NodeKind::CASE:
        statement = frontend::CaseStatement(statement);
        break;
      case NodeKind::DEFAULT:
        statement = statement->sons;
        break;
      case NodeKind::LEFT_BRACE:
        statement = LastChildAt(statement);
        break;
      case NodeKind::IF: {
        const TreeNode* elsePart = frontend::IfElse(statement);
        if (!elsePart) return true;
        if (FallsThrough(frontend::IfThen(statement))) return true;
        statement = elsePart->sons;
        break;
      }
      case NodeKind::SWITCH:
        return SwitchFallsThrough(statement);
      default:
        return true;
    }
  }
  return true;
}

}  // namespace instrument
