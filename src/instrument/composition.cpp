#include "instrument/composition.h"

#include "frontend/syntax_tree.h"
#include "support/messages.h"
#include "support/translate.h"

#include <algorithm>
#include <utility>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

[[noreturn]] void FailAssertion(const char* text) {
  support::DisplayInternalError(support::Translate("Internal Error", text));
}

const TreeNode* Operand(const TreeNode* node, int index) {
  const TreeNode* child = node->sons;
  while (child && index--) child = child->next;
  if (!child) FailAssertion("Bad assertion #2 while computing composition");
  return child;
}

// True(E) and False(E) of the table rules:
//   a and b: T = T(a) x T(b),                F = T(a) x F(b) + F(a) x X(b)
//   a or b:  T = T(a) x X(b) + F(a) x T(b),  F = F(a) x F(b)
//   not a:   T = F(a),                        F = T(a)
std::pair<CaseTable, CaseTable> TrueAndFalse(const TreeNode* node);

std::uint32_t BasicConditionCount(const TreeNode* node) {
  if (!IsLogicalStructure(node)) return 1;
  std::uint32_t count = 0;
  for (const TreeNode* child = node->sons; child; child = child->next) count += BasicConditionCount(child);
  return count;
}

std::pair<CaseTable, CaseTable> TrueAndFalse(const TreeNode* node) {
  if (!IsLogicalStructure(node)) return {CaseTable{1, 1, "T"}, CaseTable{1, 1, "F"}};
  if (node->kind == NodeKind::NOT) {
    auto [whenTrue, whenFalse] = TrueAndFalse(Operand(node, 0));
    return {std::move(whenFalse), std::move(whenTrue)};
  }
  if (node->kind == NodeKind::LEFT_PAREN) return TrueAndFalse(Operand(node, 0));
  const TreeNode* left = Operand(node, 0);
  const TreeNode* right = Operand(node, 1);
  auto [leftTrue, leftFalse] = TrueAndFalse(left);
  auto [rightTrue, rightFalse] = TrueAndFalse(right);
  const CaseTable skipped = UnevaluatedOf(rightTrue.width);
  if (node->kind == NodeKind::AND_OP) {
    return {ProductOf(leftTrue, rightTrue),
            UnionOf(ProductOf(leftTrue, rightFalse), ProductOf(leftFalse, skipped))};
  }
  return {UnionOf(ProductOf(leftTrue, skipped), ProductOf(leftFalse, rightTrue)), ProductOf(leftFalse, rightFalse)};
}

std::uint64_t Saturate(std::uint64_t value) { return std::min<std::uint64_t>(value, kMaxCaseRows + 1); }

}  // namespace

bool IsLogicalOperator(const TreeNode* node) {
  if (!node || (node->kind != NodeKind::AND_OP && node->kind != NodeKind::OR_OP)) return false;
  return node->sons && node->sons->next;
}

bool IsLogicalStructure(const TreeNode* node) {
  if (!node) return false;
  if (IsLogicalOperator(node) || node->kind == NodeKind::NOT) return true;
  // A parenthesised statement expression is a value, not a grouping.
  return node->kind == NodeKind::LEFT_PAREN && node->sons && node->sons->kind != NodeKind::LEFT_BRACE;
}

CaseTable UnionOf(const CaseTable& a, const CaseTable& b) {
  if (a.width != b.width) FailAssertion("Bad assertion #1 while computing composition");
  return CaseTable{a.width, a.rows + b.rows, a.cells + b.cells};
}

CaseTable ProductOf(const CaseTable& a, const CaseTable& b) {
  CaseTable product{a.width + b.width, a.rows * b.rows, {}};
  product.cells.reserve(static_cast<std::size_t>(product.rows) * product.width);
  for (std::uint32_t i = 0; i < a.rows; ++i) {
    for (std::uint32_t j = 0; j < b.rows; ++j) {
      product.cells += a.Row(i);
      product.cells += b.Row(j);
    }
  }
  return product;
}

CaseTable UnevaluatedOf(std::uint32_t width) { return CaseTable{width, 1, std::string(width, 'X')}; }

RowCounts CountRows(const TreeNode* node) {
  if (!IsLogicalStructure(node)) return {1, 1};
  if (node->kind == NodeKind::NOT) {
    const RowCounts inner = CountRows(Operand(node, 0));
    return {inner.falseRows, inner.trueRows};
  }
  if (node->kind == NodeKind::LEFT_PAREN) return CountRows(Operand(node, 0));
  const RowCounts left = CountRows(Operand(node, 0));
  const RowCounts right = CountRows(Operand(node, 1));
  if (node->kind == NodeKind::AND_OP) {
    return {Saturate(left.trueRows * right.trueRows), Saturate(left.trueRows * right.falseRows + left.falseRows)};
  }
  return {Saturate(left.trueRows + left.falseRows * right.trueRows), Saturate(left.falseRows * right.falseRows)};
}

Composition ComposeCases(const TreeNode* decision) {
  auto [whenTrue, whenFalse] = TrueAndFalse(decision);
  const std::uint32_t trueRows = whenTrue.rows;
  CaseTable table = UnionOf(whenTrue, whenFalse);
  if (table.width != BasicConditionCount(decision)) FailAssertion("Bad assertion #4 while computing composition");
  return Composition{std::move(table), trueRows};
}

std::string PrefixForm(const TreeNode* decision) {
  std::string form;
  // Iterative pre-order: the operands of one operator follow it.
  std::vector<const TreeNode*> pending{decision};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (!IsLogicalStructure(node)) {
      form += '.';
      continue;
    }
    if (node->kind == NodeKind::AND_OP) form += 'A';
    if (node->kind == NodeKind::OR_OP) form += 'O';
    if (node->kind == NodeKind::NOT) form += 'N';
    std::vector<const TreeNode*> children;
    for (const TreeNode* child = node->sons; child; child = child->next) children.push_back(child);
    for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back(*child);
  }
  return form;
}

}  // namespace instrument
