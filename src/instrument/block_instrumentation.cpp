// Block texts open with "{_QBC_BLOC(f,n);" before a statement and close with
// "}" after it; in expressions they become "(_QBC_BLOC_exp(f,n)," and ")".
// Sequence blocks sit one priority above their depth so that their opening
// precedes every other text at the statement that starts them.
#include "instrument/block_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/instr_state.h"
#include "instrument/jump_analysis.h"
#include "instrument/loop_listing.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "output/rik_registry.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

std::int8_t SumOf(std::uint8_t kind) {
  if (kind == static_cast<std::uint8_t>(output::FdcBlockKind::kImplicit)) return output::kSumImplicit;
  if (kind == static_cast<std::uint8_t>(output::FdcBlockKind::kLogical)) return output::kSumLoop;
  return output::kSumBlock;
}

// The statement a label leads to, past any further labels: a jump to the
// label enters there, so a block opened before the label would be skipped.
const TreeNode* PastLabels(const TreeNode* statement) {
  while (statement && statement->kind == NodeKind::LABEL) statement = frontend::LabelStatement(statement);
  return statement;
}

bool IsSwitchLabel(const TreeNode* statement) {
  const TreeNode* inner = statement;
  while (inner && inner->kind == NodeKind::LABEL) inner = frontend::LabelStatement(inner);
  return inner && (inner->kind == NodeKind::CASE || inner->kind == NodeKind::DEFAULT);
}

// The initializer expression a sequence block can wrap without changing the
// declaration: not a static one (it must stay constant), not a brace list
// (its elements may have to stay constant), not a string literal (it may
// initialize a character array).
const TreeNode* WrappableInitializer(const TreeNode* declarator) {
  const TreeNode* value = frontend::DeclaratorValue(declarator);
  if (!value || value->kind != NodeKind::INIT_VALUE) return nullptr;
  const TreeNode* initializer = value->sons;
  while (initializer && initializer->kind == NodeKind::LEFT_PAREN) initializer = initializer->sons;
  if (!initializer || initializer->kind == NodeKind::INITIALIZER || initializer->kind == NodeKind::STRING_LITERAL ||
      initializer->kind == NodeKind::STRING_CONCAT) {
    return nullptr;
  }
  return value->sons;
}

// The last statement of a sequence that starts at `first`: the one before
// the next case or default label of the list, or the list's last. A
// sequence cut short by a label ends before its first declaration, whose
// name the statements after the label may still use.
// Labels without a statement of their own directly before a declaration
// ("L: unsigned w = 1;") belong to it.
const TreeNode* SequenceEnd(const TreeNode* first) {
  const TreeNode* last = first;
  const TreeNode* lastWithStatement = first;
  const TreeNode* beforeDeclaration = nullptr;
  bool declarationSeen = false;
  for (const TreeNode* next = first->next; next; next = next->next) {
    if (IsSwitchLabel(next)) return declarationSeen ? beforeDeclaration : last;
    if (next->kind == NodeKind::INIT_DECLARATOR && !declarationSeen) {
      declarationSeen = true;
      beforeDeclaration = lastWithStatement;
    }
    const TreeNode* statement = PastLabels(next);
    if (!statement || statement->kind != NodeKind::EMPTY) lastWithStatement = next;
    last = next;
  }
  return last;
}

void ClosePendingDecisions(BlockNumber block) {
  InstrState& state = Instr();
  if (block) {
    for (output::RikItem* item : state.walk->pendingDecisions) std::get<output::RikDecision>(item->payload).extra = *block;
  }
  state.walk->pendingDecisions.clear();
}

BlockNumber ExpressionSequence(const TreeNode* expression) {
  InstrState& state = Instr();
  const Span& span = ConstructExtent(expression);
  if (!IsCoverageLocation(span.first)) return std::nullopt;
  PathSegment segment("seq");
  const std::uint32_t priority = OuterPriority(state);
  const std::uint32_t block = RecordBlock(expression, 0, priority);
  AddText(span.first.physical, priority, Where::Before, "(_QBC_BLOC_exp" + BranchArguments(block) + ",(");
  AddText(span.last.physical, priority, Where::After, "))");
  return block;
}

BlockNumber StatementSequence(const TreeNode* first) {
  InstrState& state = Instr();
  const TreeNode* last = SequenceEnd(first);
  const TreeNode* entry = first->kind == NodeKind::LABEL ? first : nullptr;
  const Span& lastSpan = ConstructExtent(last);
  Span span{ConstructExtent(first).first, lastSpan.last};
  frontend::SourcePosition opening = span.first.physical;
  Where openingSide = Where::Before;
  if (entry) {
    // After the last label's colon: a jump to the label enters the block.
    const TreeNode* innermost = entry;
    while (frontend::LabelStatement(innermost) && frontend::LabelStatement(innermost)->kind == NodeKind::LABEL) {
      innermost = frontend::LabelStatement(innermost);
    }
    opening = innermost->end.physical;
    openingSide = Where::After;
    if (!PastLabels(first) || PastLabels(first)->kind == NodeKind::EMPTY) return std::nullopt;
  }
  if ((!entry && FollowsPragma(span)) || !IsCoverageLocation(span.first)) return std::nullopt;
  PathSegment segment("seq");
  const std::uint32_t priority = OuterPriority(state);
  const std::uint32_t block = output::WriteFdcBlock(state.walk->currentFdc, output::FdcBlockKind::kSimple,
                                                    state.walk->functionName->text, RecordedBranchPath(), span.first.line,
                                                    span.last.line);
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(block, output::kSumBlock),
                     static_cast<std::int32_t>(priority), PlaceOf(span));
  AddText(opening, priority, openingSide, "{_QBC_BLOC" + BranchArguments(block) + ";");
  AddText(span.last.physical, priority, Where::After, "}");
  return block;
}

// One iteration branch of a loop: its record only, the listing names all
// of the loop's branches in one popup.
std::uint32_t WriteLoopBlock(const Span& span) {
  InstrState& state = Instr();
  return output::WriteFdcBlock(state.walk->currentFdc, output::FdcBlockKind::kLogical, state.walk->functionName->text,
                               RecordedBranchPath(), span.first.line, span.last.line);
}

}  // namespace

std::uint32_t RecordBlock(const TreeNode* construct, std::uint8_t kind, std::uint32_t priority) {
  InstrState& state = Instr();
  const Span& span = ConstructExtent(construct);
  const std::uint32_t block =
      output::WriteFdcBlock(state.walk->currentFdc, static_cast<output::FdcBlockKind>(kind), state.walk->functionName->text,
                            RecordedBranchPath(), span.first.line, span.last.line);
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(block, SumOf(kind)),
                     static_cast<std::int32_t>(priority), PlaceOf(span));
  return block;
}

BlockNumber InstrStatementBlock(const TreeNode* statement) {
  if (statement && statement->kind == NodeKind::ELSE) statement = statement->sons;
  if (!statement || !Covers(kCoverStatementBlock) || IsInstrStopped(statement)) return std::nullopt;
  const Span& span = ConstructExtent(statement);
  if (span.first.physical.line == 0 || FollowsPragma(span) || !IsCoverageLocation(span.first)) return std::nullopt;
  const std::uint32_t priority = DepthPriority(Instr());
  const std::uint32_t block = RecordBlock(statement, 0, priority);
  AddText(span.first.physical, priority, Where::Before, "{_QBC_BLOC" + BranchArguments(block) + ";");
  AddText(span.last.physical, priority, Where::After, "}");
  return block;
}

BlockNumber InstrSequenceBlock(const TreeNode* first) {
  BlockNumber block;
  const bool eligible = first && Covers(kCoverStatementBlock) && !IsInstrStopped(first) &&
                        first->kind != NodeKind::CASE && first->kind != NodeKind::DEFAULT &&
                        first->kind != NodeKind::ELSE && first->kind != NodeKind::EXCEPT &&
                        first->kind != NodeKind::FINALLY;
  if (eligible) {
    const TreeNode* statement = first;
    // Declarations: the block goes into the first initializer that can take
    // it; declarations without one are passed over.
    while (statement && statement->kind == NodeKind::INIT_DECLARATOR) {
      if (const TreeNode* initializer = WrappableInitializer(statement)) {
        block = ExpressionSequence(initializer);
        statement = nullptr;
        break;
      }
      statement = statement->next;
    }
    if (statement && !IsSwitchLabel(statement)) block = StatementSequence(statement);
  }
  ClosePendingDecisions(block);
  return block;
}

BlockNumber InstrImplicitElse(const TreeNode* ifStatement) {
  if (!Covers(kCoverImplicitDecision)) return std::nullopt;
  const Span& span = ConstructExtent(ifStatement);
  if (!IsCoverageLocation(span.first)) return std::nullopt;
  PathSegment segment("else");
  const std::uint32_t priority = DepthPriority(Instr());
  const std::uint32_t block = RecordBlock(ifStatement, 1, priority);
  AddText(span.last.physical, priority, Where::After, "else _QBC_BLOC" + BranchArguments(block) + ";");
  return block;
}

void InstrLoopBranches(const TreeNode* loop, const TreeNode* body) {
  InstrState& state = Instr();
  const bool isDo = loop->kind == NodeKind::DO;
  if (!Covers(kCoverLogical) || !body) return;
  if (loop->kind == NodeKind::FOR && Covers(kCoverWhileOnly)) return;
  const Span& span = ConstructExtent(loop);
  if (FollowsPragma(span) || !IsCoverageLocation(span.first)) return;
  const char* refusal = state.walk->loopsEnteredFromOutside.count(loop)
                            ? "Loop entered by a jump from outside, no iteration branches : %1"
                        : state.walk->loopsLeftByComputedGoto.count(loop)
                            ? "Loop left by a computed goto, no iteration branches : %1"
                            : nullptr;
  if (refusal) {
    support::DisplayWarning(support::Translate("User Warning", refusal, "%1 : file and line reference")
                                .arg(support::FromLocal(ShortLocation(span.first))));
    return;
  }
  const std::uint32_t priority = DepthPriority(state);
  std::uint32_t first = 0;
  const char* segments[] = {"0", "1", "2+"};
  for (int i = isDo ? 1 : 0; i < 3; ++i) {
    PathSegment segment(segments[i]);
    const std::uint32_t block = WriteLoopBlock(span);
    if (i == (isDo ? 1 : 0)) first = block;
  }
  RegisterLoopBranches(span, first, isDo, priority);
  const Span& bodySpan = ConstructExtent(body);
  const std::string numbers = BranchArguments(first);
  if (isDo) {
    AddText(span.first.physical, priority, Where::Before, "{_QBC_LOOP_bef1" + numbers + ";");
    AddText(bodySpan.first.physical, priority, Where::Before, "{_QBC_LOOP_in1" + numbers + ";");
    AddText(bodySpan.last.physical, priority, Where::After, "}");
    AddText(span.last.physical, priority, Where::After, "}");
    return;
  }
  AddText(span.first.physical, priority, Where::Before, "{_QBC_LOOP_bef" + numbers + ";");
  AddText(bodySpan.first.physical, priority, Where::Before, "{_QBC_LOOP_in" + numbers + ";");
  AddText(bodySpan.last.physical, priority, Where::After, "}}");
}

}  // namespace instrument
