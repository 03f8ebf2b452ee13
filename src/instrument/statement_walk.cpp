#include "instrument/statement_walk.h"

#include "frontend/syntax_tree.h"
#include "instrument/instr_state.h"
#include "instrument/return_instrumentation.h"

#include <utility>
#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

// The statement children of a statement: the parts that are themselves
// statements, never its expressions.
void PushInnerStatements(const TreeNode* statement, std::uint32_t depth,
                         std::vector<std::pair<const TreeNode*, std::uint32_t>>& pending) {
  std::vector<const TreeNode*> inner;
  const TreeNode* first = statement->sons;
  switch (statement->kind) {
    case NodeKind::LEFT_BRACE:
      for (const TreeNode* child = first; child; child = child->next) inner.push_back(child);
      break;
    case NodeKind::IF:
    case NodeKind::WHILE:
    case NodeKind::SWITCH:
    case NodeKind::LABEL:
    case NodeKind::CASE:
      if (first) inner.push_back(first->next);
      if (first && first->next) inner.push_back(first->next->next);
      break;
    case NodeKind::DO:
    case NodeKind::ELSE:
    case NodeKind::DEFAULT:
    case NodeKind::EXCEPT:
    case NodeKind::FINALLY:
      inner.push_back(statement->kind == NodeKind::DO && first ? first->next : first);
      break;
    case NodeKind::FOR: {
      const TreeNode* body = first;
      for (int i = 0; body && i < 3; ++i) body = body->next;
      inner.push_back(body);
      break;
    }
    case NodeKind::TRY:
      for (const TreeNode* child = first; child; child = child->next) inner.push_back(child);
      break;
    default:
      return;
  }
  // Pushed in reverse so that statements come out in source order.
  for (auto child = inner.rbegin(); child != inner.rend(); ++child) {
    if (*child) pending.emplace_back(*child, depth + 1);
  }
}

}  // namespace

void WalkStatement(const TreeNode* statement) {
  InstrState& state = Instr();
  const std::uint32_t outerDepth = state.depth;
  // Iterative: else-if chains and nested blocks can be deep.
  std::vector<std::pair<const TreeNode*, std::uint32_t>> pending{{statement, outerDepth}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    state.depth = depth;
    if (node->kind == NodeKind::RETURN) {
      InstrReturn(node);
      continue;
    }
    PushInnerStatements(node, depth, pending);
  }
  state.depth = outerDepth;
}

}  // namespace instrument
