#include "instrument/function_metrics.h"

#include "frontend/syntax_tree.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;

bool CountsForCyclomatic(NodeKind kind) {
  switch (kind) {
    case NodeKind::SWITCH: case NodeKind::CASE: case NodeKind::FOR: case NodeKind::DO: case NodeKind::IF:
    case NodeKind::WHILE: case NodeKind::AND_OP: case NodeKind::OR_OP: case NodeKind::QUESTION:
    case NodeKind::FUNCTION_DEFINITION:
      return true;
    default:
      return false;
  }
}

bool IsStatement(NodeKind kind) {
  switch (kind) {
    case NodeKind::BREAK: case NodeKind::RETURN: case NodeKind::CONTINUE: case NodeKind::GOTO:
    case NodeKind::SWITCH: case NodeKind::FOR: case NodeKind::DO: case NodeKind::WHILE: case NodeKind::IF:
    case NodeKind::TRY: case NodeKind::EXCEPT: case NodeKind::FINALLY: case NodeKind::CASE:
    case NodeKind::DEFAULT: case NodeKind::LABEL: case NodeKind::EXPRESSION_STATEMENT:
      return true;
    default:
      return false;
  }
}

bool Nests(NodeKind kind) {
  switch (kind) {
    case NodeKind::SWITCH: case NodeKind::FOR: case NodeKind::DO: case NodeKind::WHILE: case NodeKind::IF:
    case NodeKind::TRY: case NodeKind::EXCEPT: case NodeKind::FINALLY: case NodeKind::QUESTION:
      return true;
    default:
      return false;
  }
}

}  // namespace

FunctionMetrics ComputeFunctionMetrics(const frontend::TreeNode* definition) {
  FunctionMetrics metrics{0, 0, 0};
  // Each entry is a node with the level of its parent.
  std::vector<std::pair<const frontend::TreeNode*, std::uint32_t>> pending{{definition, 0}};
  while (!pending.empty()) {
    const auto [node, parentLevel] = pending.back();
    pending.pop_back();
    const bool isRoot = node == definition;
    const std::uint32_t level = isRoot ? 1 : parentLevel + (Nests(node->kind) ? 1 : 0);
    metrics.nesting = std::max(metrics.nesting, level);
    if (CountsForCyclomatic(node->kind)) ++metrics.cyclomatic;
    if (IsStatement(node->kind)) ++metrics.statements;
    for (const frontend::TreeNode* child = node->sons; child; child = child->next) pending.emplace_back(child, level);
  }
  if (metrics.statements == 0) metrics.nesting = 0;
  return metrics;
}

}  // namespace instrument
