// Tree builder operations. AppendSibling keeps a one-entry tail cache so that
// the parser's long lists (block items, file declarations, arguments) grow in
// linear time; every walk along a chain checks for cycles, which only a fault
// in earlier error handling can create, and ends the run instead of looping.
#include "frontend/syntax_tree.h"

#include "frontend/front_end.h"
#include "support/arena.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QString>
#include <memory>
#include <vector>

namespace frontend {
namespace {

TreeStorage& Storage() { return CurrentFrontEnd().tree; }
TreeBuilderState& Builder() { return CurrentFrontEnd().builder; }

// The last node of a chain. Brent's cycle test: the mark moves to the walker
// at every power of two, so any cycle, not only one through the head, meets
// the mark within twice its length.
TreeNode* LastOfChain(TreeNode* head) {
  TreeNode* last = head;
  TreeNode* mark = head;
  std::uint64_t steps = 0;
  std::uint64_t limit = 1;
  while (last->next) {
    last = last->next;
    if (last == mark) support::DisplayPanic();
    if (++steps == limit) {
      mark = last;
      limit *= 2;
      steps = 0;
    }
  }
  return last;
}

void ForgetCachedNode(const TreeNode* node) {
  if (Builder().cachedHead == node || Builder().cachedLast == node) Builder() = {};
}

}  // namespace

bool operator==(const TokenPosition& a, const TokenPosition& b) {
  return a.instrStopped == b.instrStopped && a.line == b.line && a.place == b.place && a.physical == b.physical;
}

void ResetTreeBuilder() { Builder() = {}; }

TreeNode* CreateNode(NodeKind kind, const TokenValue* value) {
  TreeNode* node = Storage().freeNodes;
  if (node) {
    Storage().freeNodes = node->next;
    *node = TreeNode{};
  } else {
    node = Storage().arena.Create<TreeNode>();
  }
  node->kind = kind;
  if (value) {
    node->alpha = value->alpha;
    node->start = value->position;
  }
  return node;
}

TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1) {
  TreeNode* node = CreateNode(kind, value);
  node->sons = c1;
  return node;
}

TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2) {
  return AppendChild(CreateNodeWithChildren(kind, value, c1), c2);
}

TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3) {
  return AppendChild(CreateNodeWithChildren(kind, value, c1, c2), c3);
}

TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3, TreeNode* c4) {
  return AppendChild(CreateNodeWithChildren(kind, value, c1, c2, c3), c4);
}

TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3, TreeNode* c4, TreeNode* c5) {
  return AppendChild(CreateNodeWithChildren(kind, value, c1, c2, c3, c4), c5);
}

TreeNode* AppendChild(TreeNode* parent, TreeNode* child) {
  if (!parent) {
    support::DisplayInternalError(QStringLiteral("Attempt to find last child of null tree"),
                                  support::CodeLocation::Current());
  }
  if (!child) return parent;
  if (!parent->sons) {
    parent->sons = child;
    return parent;
  }
  AppendSibling(parent->sons, child);
  return parent;
}

TreeNode* AppendSibling(TreeNode* first, TreeNode* second) {
  if (!first) return second;
  if (!second) return first;
  // The cached last node is trusted only while it still ends the chain.
  const bool cached = first == Builder().cachedHead && Builder().cachedLast && !Builder().cachedLast->next;
  TreeNode* last = cached ? Builder().cachedLast : LastOfChain(first);
  last->next = second;
  Builder().cachedHead = first;
  Builder().cachedLast = LastOfChain(second);
  return first;
}

void SetEndPosition(TreeNode* node, const TokenValue* value) {
  if (node && value) node->end = value->position;
}

void SetEndPositionSpan(TreeNode* node, const TokenValue* value, std::uint32_t length) {
  if (!node || !value) return;
  SetEndPosition(node, value);
  if (length > 0) node->end.physical.column += length - 1;
}

void SetAlpha(TreeNode* node, const TokenValue* value) {
  if (!node) {
    support::DisplayInternalError(support::Translate("Internal Error", "Attempt to set alpha of null node"),
                                  support::CodeLocation::Current());
  }
  node->alpha = value ? value->alpha : nullptr;
  node->end = node->start;
  ContinuationRecord& continuation = LexerContinuation();
  if (!continuation.pending || !(node->start == continuation.position)) {
    const std::uint32_t length = node->alpha ? node->alpha->length : 0;
    if (length > 0) node->end.physical.column += length - 1;
    return;
  }
  node->end.line += continuation.breaks;
  node->end.physical.line += continuation.breaks;
  node->end.physical.column = continuation.endColumn;
  continuation.pending = false;
}

// The children of each node dropped join the chain still to drop, so no
// stack grows with the depth of the tree.
void FreeTree(TreeNode* node) {
  if (!node) return;
  node->next = nullptr;
  while (node) {
    TreeNode* current = node;
    node = current->next;
    if (current->sons) {
      LastOfChain(current->sons)->next = node;
      node = current->sons;
    }
    ForgetCachedNode(current);
    current->next = Storage().freeNodes;
    Storage().freeNodes = current;
  }
}

void AttachStatics(TreeNode* holder, support::NameList* statics) {
  Storage().statics.emplace_back(statics);
  holder->statics = statics;
}


}  // namespace frontend
