#include "instrument/ternary_blocks.h"

#include "instrument/run_options.h"
#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/block_instrumentation.h"
#include "instrument/instr_state.h"
#include "instrument/authorization.h"
#include "instrument/walk_support.h"

#include <cctype>
#include <optional>
#include <string>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool AllSonsConstant(const TreeNode* node);

// Whether the expression may be an integer constant expression: literals,
// sizeof, casts and operators over them. Enumerators are not recognised:
// their arms stay marked in place.
bool MayBeConstant(const TreeNode* node) {
  if (!node) return false;
  switch (node->kind) {
    case NodeKind::DEC_CONSTANT:
    case NodeKind::OCT_CONSTANT:
    case NodeKind::HEX_CONSTANT:
    case NodeKind::BIN_CONSTANT:
    case NodeKind::CHAR_CONSTANT:
    case NodeKind::SIZEOF:
      return true;
    case NodeKind::LEFT_PAREN:
      return node->sons && node->sons->kind != NodeKind::LEFT_BRACE && MayBeConstant(node->sons);
    case NodeKind::CAST:
      return MayBeConstant(node->sons);
    case NodeKind::STAR:
    case NodeKind::AMPERSAND:
      // With one operand they dereference or take an address.
      return frontend::RightOperand(node) && AllSonsConstant(node);
    case NodeKind::PLUS:
    case NodeKind::MINUS:
    case NodeKind::SLASH:
    case NodeKind::PERCENT:
    case NodeKind::LEFT_OP:
    case NodeKind::RIGHT_OP:
    case NodeKind::BAR:
    case NodeKind::CARET:
    case NodeKind::TILDE:
    case NodeKind::NOT:
    case NodeKind::LESS:
    case NodeKind::GREATER:
    case NodeKind::LE_OP:
    case NodeKind::GE_OP:
    case NodeKind::EQ_OP:
    case NodeKind::NE_OP:
    case NodeKind::AND_OP:
    case NodeKind::OR_OP:
    case NodeKind::QUESTION:
    case NodeKind::COLON:
      return AllSonsConstant(node);
    default:
      return false;
  }
}

// An integer literal other than zero can be no null pointer constant, and
// only a null pointer constant changes the type of a conditional expression.
bool IsNonZeroLiteral(const TreeNode* node) {
  while (node && (node->kind == NodeKind::LEFT_PAREN || node->kind == NodeKind::CAST)) node = node->sons;
  if (!node || !node->alpha) return false;
  if (node->kind != NodeKind::DEC_CONSTANT && node->kind != NodeKind::OCT_CONSTANT &&
      node->kind != NodeKind::HEX_CONSTANT && node->kind != NodeKind::BIN_CONSTANT) {
    return false;
  }
  const std::string& text = node->alpha->text;
  const bool prefixed = text.size() > 1 && text[0] == '0' && std::isalpha(static_cast<unsigned char>(text[1]));
  for (std::size_t i = prefixed ? 2 : 0; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (text[i] != '0') return true;
  }
  return false;
}

bool MayBeNullPointerConstant(const TreeNode* node) { return MayBeConstant(node) && !IsNonZeroLiteral(node); }

bool AllSonsConstant(const TreeNode* node) {
  if (!node->sons) return false;
  for (const TreeNode* son = node->sons; son; son = son->next) {
    if (!MayBeConstant(son)) return false;
  }
  return true;
}

void MarkInPlace(const TreeNode* arm, std::uint32_t block, std::uint32_t priority) {
  const Span& span = ConstructExtent(arm);
  AddText(span.first.physical, priority, Where::Before, "(_QBC_BLOC_exp" + BranchArguments(block) + ",");
  AddText(span.last.physical, priority, Where::After, ")");
}

std::string ArmValue(std::optional<std::uint32_t> block, const char* value) {
  if (!block) return value;
  return "(_QBC_BLOC_exp" + BranchArguments(*block) + "," + value + ")";
}

}  // namespace

std::optional<std::uint32_t> InstrTernaryArm(const TreeNode* arm, bool conditionFree) {
  if (!arm || arm->kind == NodeKind::EMPTY || !Covers(kCoverTernary) || IsInstrStopped(arm)) {
    return std::nullopt;
  }
  const Span& span = ConstructExtent(arm);
  if (span.first.physical.line == 0 || !IsCoverageLocation(span.first)) return std::nullopt;
  const bool constant = MayBeNullPointerConstant(arm);
  if (constant && !conditionFree) return std::nullopt;
  const std::uint32_t priority = DepthPriority(Instr());
  const std::uint32_t block = RecordBlock(arm, 0, priority);
  if (constant) return block;
  MarkInPlace(arm, block, priority);
  return std::nullopt;
}

void InstrTernaryCondition(const TreeNode* conditional, std::optional<std::uint32_t> trueMark,
                           std::optional<std::uint32_t> falseMark) {
  if (!trueMark && !falseMark) return;
  const std::uint32_t priority = DepthPriority(Instr());
  const Span& span = ConstructExtent(conditional->sons);
  AddText(span.first.physical, priority, Where::Before, "((");
  AddText(span.last.physical, priority, Where::After,
          ")?" + ArmValue(trueMark, "1") + ":" + ArmValue(falseMark, "0") + ")");
}

}  // namespace instrument
