#include "instrument/condition_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/name_flags.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/composition.h"
#include "instrument/condition_listing.h"
#include "instrument/expression_walk.h"
#include "instrument/instr_state.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <string>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool ComposesDecisions() { return Covers(kCoverModifiedCondition | kCoverCompoundCondition); }

bool IsConstantKind(NodeKind kind) {
  return kind == NodeKind::DEC_CONSTANT || kind == NodeKind::OCT_CONSTANT || kind == NodeKind::HEX_CONSTANT ||
         kind == NodeKind::BIN_CONSTANT || kind == NodeKind::CHAR_CONSTANT || kind == NodeKind::FLOAT_CONSTANT;
}

bool IsLiteralConstant(const TreeNode* node) {
  while (node && node->kind == NodeKind::LEFT_PAREN) node = node->sons;
  return node && IsConstantKind(node->kind);
}

void Warn(const char* text, const BasicCondition& first) {
  support::DisplayWarning(support::Translate("User Warning", text, "%1 : file and line reference")
                              .arg(support::FromLocal(ShortLocation(first.span.first))));
}

// The warnings that leave a decision without composition; its basic
// conditions keep their own texts.
bool CanCompose(const DecisionContext& decision) {
  const BasicCondition& first = decision.conditions.front();
  for (const BasicCondition& condition : decision.conditions) {
    const bool sameFile = condition.span.first.File() == first.span.first.File() &&
                          condition.span.first.Directory() == first.span.first.Directory();
    if (!sameFile || !condition.branch) {
      Warn("At least one basic condition is not in the same source file than others, the composition won't be computed : %1",
           first);
      return false;
    }
  }
  if (decision.conditions.size() >= 31) {
    Warn("Cannot compute compound conditions of more than 1073741824 cases : %1", first);
    return false;
  }
  const RowCounts rows = CountRows(decision.root);
  const std::uint64_t cases = Instr().forcedEvaluation ? std::uint64_t{1} << decision.conditions.size()
                                                       : rows.trueRows + rows.falseRows;
  if (cases > kMaxCaseRows) {
    support::DisplayWarning(support::Translate("User Warning", "Cannot compute compound conditions of more than %1 cases : %2",
                                               "%1 : the largest number of cases, %2 : file and line reference")
                                .arg(static_cast<qulonglong>(kMaxCaseRows))
                                .arg(support::FromLocal(ShortLocation(first.span.first))));
    return false;
  }
  return true;
}

bool IsReducedWord(const TreeNode* node) {
  return node->kind == NodeKind::IDENTIFIER && node->alpha &&
         frontend::ReduceRuleOf(node->alpha->flags) != frontend::kReduceNone;
}

// A sizeof's operand is evaluated when its type is a variable-length array
// (sizeof (char[n++])): nothing in it may have an effect or fault. Its type
// words themselves are harmless.
bool IsHarmlessSizeof(const TreeNode* node) {
  std::vector<const TreeNode*> pending{node->sons};
  while (!pending.empty()) {
    const TreeNode* current = pending.back();
    pending.pop_back();
    if (!current) continue;
    switch (current->kind) {
      case NodeKind::CALL:
      case NodeKind::INC_OP:
      case NodeKind::DEC_OP:
      case NodeKind::PRE_INC:
      case NodeKind::PRE_DEC:
      case NodeKind::ASSIGN:
      case NodeKind::MUL_ASSIGN:
      case NodeKind::DIV_ASSIGN:
      case NodeKind::MOD_ASSIGN:
      case NodeKind::ADD_ASSIGN:
      case NodeKind::SUB_ASSIGN:
      case NodeKind::LEFT_ASSIGN:
      case NodeKind::RIGHT_ASSIGN:
      case NodeKind::AND_ASSIGN:
      case NodeKind::XOR_ASSIGN:
      case NodeKind::OR_ASSIGN:
      case NodeKind::SLASH:
      case NodeKind::PERCENT:
        return false;
      case NodeKind::LEFT_PAREN:
        if (current->sons && current->sons->kind == NodeKind::LEFT_BRACE) return false;
        break;
      default:
        if (IsReducedWord(current)) return false;
        break;
    }
    for (const TreeNode* child = current->sons; child; child = child->next) pending.push_back(child);
  }
  return true;
}

// Forcing the evaluation of an operand that the original skips must not
// change what the program does: every operand after the first has to be
// free of side effects and unable to fault.
bool IsHarmless(const TreeNode* node) {
  std::vector<const TreeNode*> pending{node};
  while (!pending.empty()) {
    const TreeNode* current = pending.back();
    pending.pop_back();
    if (IsConstantKind(current->kind)) continue;
    switch (current->kind) {
      case NodeKind::IDENTIFIER:
        // A word read with its parenthesised group (_Generic, va_arg)
        // hides operands the walk cannot see.
        if (IsReducedWord(current)) return false;
        break;
      case NodeKind::STRING_LITERAL:
      case NodeKind::LE_OP:
      case NodeKind::GE_OP:
      case NodeKind::EQ_OP:
      case NodeKind::NE_OP:
      case NodeKind::LESS:
      case NodeKind::GREATER:
      case NodeKind::PLUS:
      case NodeKind::MINUS:
      case NodeKind::BAR:
      case NodeKind::CARET:
      case NodeKind::TILDE:
      case NodeKind::NOT:
      case NodeKind::CAST:
      case NodeKind::SIZEOF:
      case NodeKind::TYPE_NAME:
      case NodeKind::AND_OP:
      case NodeKind::OR_OP:
      case NodeKind::QUESTION:
      case NodeKind::COLON:
        break;
      case NodeKind::LEFT_PAREN:
        if (current->sons && current->sons->kind == NodeKind::LEFT_BRACE) return false;
        break;
      case NodeKind::AMPERSAND:  // address-of or bitwise and
        break;
      case NodeKind::STAR:  // multiplication, not a dereference
        if (!current->sons || !current->sons->next) return false;
        break;
      case NodeKind::DOT:  // member of an object, not through a pointer
        if (current->sons) pending.push_back(current->sons);
        continue;
      default:
        return false;
    }
    if (current->kind == NodeKind::SIZEOF) {
      if (!IsHarmlessSizeof(current)) return false;
      continue;
    }
    for (const TreeNode* child = current->sons; child; child = child->next) pending.push_back(child);
  }
  return true;
}

bool CanForce(const DecisionContext& decision) {
  for (std::size_t i = 1; i < decision.conditions.size(); ++i) {
    if (!IsHarmless(decision.conditions[i].node)) {
      Warn("Decision not forced, an operand has side effects or may fail : %1", decision.conditions.front());
      return false;
    }
  }
  return true;
}

// Comments out the first character of every logical operator of the
// decision, turning && into & and || into |.
void MakeOperatorsBitwise(const TreeNode* node, std::uint32_t priority) {
  std::vector<const TreeNode*> pending{node};
  while (!pending.empty()) {
    const TreeNode* current = pending.back();
    pending.pop_back();
    if (!IsLogicalStructure(current)) continue;
    if (IsLogicalOperator(current)) {
      AddText(current->start.physical, priority, Where::Before, "/*");
      AddText(current->start.physical, priority, Where::After, "*/");
    }
    for (const TreeNode* child = current->sons; child; child = child->next) pending.push_back(child);
  }
}

std::vector<std::uint32_t> BranchesOf(const DecisionContext& decision) {
  std::vector<std::uint32_t> branches;
  for (const BasicCondition& condition : decision.conditions) branches.push_back(*condition.branch);
  return branches;
}

void AddDecisionTexts(const DecisionContext& decision, std::uint32_t priority, const std::string& syncTail,
                      const std::string& endArguments) {
  const std::string serial = std::to_string(Instr().walk->currentFdc->serial);
  for (std::size_t i = 0; i < decision.conditions.size(); ++i) {
    const Span& span = decision.conditions[i].span;
    AddText(span.first.physical, priority, Where::Before, "(_QBC_COND_SYNC_1()(");
    AddText(span.last.physical, priority, Where::After,
            ")_QBC_COND_SYNC_2(" + serial + "," + syncTail + std::to_string(i) + "))");
  }
  const Span& span = ConstructExtent(decision.root);
  AddText(span.first.physical, priority, Where::Before, "(_QBC_COND_END_1(" + endArguments + ")(");
  AddText(span.last.physical, priority, Where::After, ")_QBC_COND_END_2(" + endArguments + "))");
}

void InstrModifiedDecision(const DecisionContext& decision, std::uint32_t priority) {
  InstrState& state = Instr();
  output::FdcFile& file = *state.walk->currentFdc;
  const Composition composition = ComposeCases(decision.root);
  const std::vector<std::uint32_t> branches = BranchesOf(decision);
  const std::uint32_t width = composition.table.width;
  const std::uint32_t first = output::WriteFdcCondition(&file, branches, composition.table.rows,
                                                        composition.table.cells, composition.trueRows);
  const std::uint32_t slot = file.compoundConditionCount;
  const auto index = static_cast<std::uint32_t>(state.compoundTable.size());
  state.compoundTable.push_back({index, composition.table.rows, width, composition.table.cells});
  AddDecisionTexts(decision, priority, std::to_string(slot) + "+",
                   std::to_string(file.serial) + "," + std::to_string(first) + "," + std::to_string(slot) + "," +
                       std::to_string(width) + "," + std::to_string(index) + "," +
                       std::to_string(composition.trueRows));
  RegisterModifiedDecision(decision, composition, first, priority);
  file.compoundConditionCount = (slot + width + 7) / 8 * 8;
}

void InstrForcedDecision(const DecisionContext& decision, std::uint32_t priority) {
  InstrState& state = Instr();
  output::FdcFile& file = *state.walk->currentFdc;
  const std::string prefix = PrefixForm(decision.root);
  const auto cases = std::uint32_t{1} << decision.conditions.size();
  const std::uint32_t first =
      output::WriteFdcCondition(&file, BranchesOf(decision), cases, prefix, output::kNoExtraValue);
  const std::uint32_t slot = file.compoundConditionCount;
  MakeOperatorsBitwise(decision.root, priority);
  AddDecisionTexts(decision, priority, std::to_string(slot) + ",",
                   std::to_string(file.serial) + "," + std::to_string(first) + "," + std::to_string(slot));
  RegisterForcedDecision(decision, prefix, slot, priority);
  file.compoundConditionCount = slot + 1;
}

}  // namespace

void InstrBasicCondition(const TreeNode* node, DecisionContext* decision) {
  if (decision) decision->conditions.push_back({node, ConstructExtent(node), std::nullopt});
  if (!Covers(kCoverBasicCondition) || !node || node->kind == NodeKind::EMPTY) return;
  // A constant has one value: a loop like while (1) keeps its constant test.
  if (!decision && IsLiteralConstant(node)) return;
  const Span& span = ConstructExtent(node);
  if (span.first.physical.line == 0 || !IsCoverageLocation(span.first)) return;
  InstrState& state = Instr();
  const std::uint32_t branch = output::WriteFdcCase(state.walk->currentFdc, state.walk->functionName->text, PrintedText(node, 32),
                                                    false, span.first.line, span.last.line);
  const std::uint32_t priority = DepthPriority(state);
  AddText(span.first.physical, priority, Where::Before, "(_QBC_COND_ELEM_1()(");
  AddText(span.last.physical, priority, Where::After, ")_QBC_COND_ELEM_2" + BranchArguments(branch) + ")");
  RegisterBasicCondition(span, branch, priority);
  if (decision) decision->conditions.back().branch = branch;
}

bool InstrDecision(const TreeNode* node, DecisionContext* decision) {
  const bool topLevel = !decision && ComposesDecisions();
  DecisionContext own{node, {}};
  DecisionContext* context = topLevel ? &own : decision;
  bool terminates = false;
  {
    DeeperLevel level;
    for (const TreeNode* operand = node->sons; operand; operand = operand->next) {
      terminates = InstrExpr(operand, true, context) || terminates;
    }
  }
  if (!topLevel || own.conditions.empty() || !own.conditions.front().branch) return terminates;
  if (!IsCoverageLocation(own.conditions.front().span.first) || !CanCompose(own)) return terminates;
  const std::uint32_t priority = DepthPriority(Instr());
  if (!Instr().forcedEvaluation) {
    InstrModifiedDecision(own, priority);
  } else if (CanForce(own)) {
    InstrForcedDecision(own, priority);
  }
  return terminates;
}

}  // namespace instrument
