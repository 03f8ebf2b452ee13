#include "instrument/tree_extent.h"

#include "frontend/syntax_tree.h"

#include <vector>

namespace instrument {
namespace {

bool Before(const frontend::SourcePosition& a, const frontend::SourcePosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

void Widen(Extent& extent, const frontend::SourcePosition& at) {
  if (at.line == 0) return;
  if (extent.first.line == 0 || Before(at, extent.first)) extent.first = at;
  if (extent.last.line == 0 || Before(extent.last, at)) extent.last = at;
}

}  // namespace

Extent ExtentOf(const frontend::TreeNode* node) {
  Extent extent{};
  if (!node) return extent;
  // Iterative: expression trees can be deep.
  std::vector<const frontend::TreeNode*> pending{node};
  while (!pending.empty()) {
    const frontend::TreeNode* current = pending.back();
    pending.pop_back();
    Widen(extent, current->start.physical);
    Widen(extent, current->end.physical);
    for (const frontend::TreeNode* child = current->sons; child; child = child->next) pending.push_back(child);
  }
  return extent;
}

}  // namespace instrument
