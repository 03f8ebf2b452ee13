// The walk is recursive, one frame per nesting level: the file driver runs
// it on a large stack, and nesting beyond kMaxWalkDepth is left alone.
#include "instrument/statement_walk.h"

#include "instrument/run_options.h"
#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/block_instrumentation.h"
#include "instrument/expression_walk.h"
#include "instrument/falls_through.h"
#include "instrument/instr_state.h"
#include "instrument/jump_analysis.h"
#include "instrument/return_instrumentation.h"
#include "instrument/switch_instrumentation.h"
#include "instrument/tracing.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/rik_registry.h"
#include "support/messages.h"
#include "support/translate.h"

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool WalkCondition(const TreeNode* condition) {
  DeeperLevel level;
  return InstrExpr(condition, true, nullptr);
}

bool WalkExpression(const TreeNode* expression) {
  DeeperLevel level;
  return InstrExpr(expression, false, nullptr);
}

bool WalkPart(const TreeNode* part) {
  DeeperLevel level;
  return InstrStatement(part);
}

// The listing's decision entry of an if or loop, registered before its parts
// (the registry is then filled in source order) and completed with the
// blocks it selects once they are known.
output::RikItem* BeginDecision(const TreeNode* decision) {
  InstrState& state = Instr();
  const Span& span = ConstructExtent(decision);
  if (!(state.options->coverage & kCoverStatementBlock) || !IsCoverageLocation(span.first)) return nullptr;
  return &output::AddRikItem(*state.walk->currentFdc, output::RikKind::kDecision, output::RikDecision{},
                             static_cast<std::int32_t>(OuterPriority(state)), PlaceOf(span));
}

// A decision left by a jump waits for the next sequence block.
void EndDecision(output::RikItem* item, std::vector<std::uint32_t> blocks, bool leaving) {
  if (!item) return;
  auto& decision = std::get<output::RikDecision>(item->payload);
  decision.count = static_cast<std::int16_t>(blocks.size());
  decision.ids = std::move(blocks);
  if (leaving) Instr().walk->pendingDecisions.push_back(item);
}

void Collect(std::vector<std::uint32_t>& blocks, BlockNumber block) {
  if (block) blocks.push_back(*block);
}

bool WalkIf(const TreeNode* statement) {
  const TreeNode* thenPart = frontend::IfThen(statement);
  const TreeNode* elsePart = frontend::IfElse(statement);
  if (elsePart && elsePart->kind != NodeKind::ELSE) {
    support::DisplayInternalError(support::Translate("Internal Error", "Third son in an if node is not an else"));
  }
  output::RikItem* decision = BeginDecision(statement);
  WalkCondition(statement->sons);
  std::vector<std::uint32_t> blocks;
  bool thenLeaves = false;
  {
    PathSegment segment("then");
    Collect(blocks, InstrStatementBlock(thenPart));
    thenLeaves = WalkPart(thenPart);
  }
  if (elsePart) {
    PathSegment segment("else");
    Collect(blocks, InstrStatementBlock(elsePart));
    const bool elseLeaves = WalkPart(elsePart->sons);
    EndDecision(decision, std::move(blocks), false);
    return thenLeaves || elseLeaves;
  }
  const BlockNumber implicitElse = InstrImplicitElse(statement);
  Collect(blocks, implicitElse);
  const bool leaves = thenLeaves || LeavingWays(thenPart) != 0;
  EndDecision(decision, std::move(blocks), leaves && !implicitElse);
  return leaves;
}

bool WalkInitDeclarator(const TreeNode* declarator);

// The first part of a for: an expression, one declared item or a group of
// them.
void WalkForInitialisation(const TreeNode* initialisation) {
  if (!initialisation) return;
  if (initialisation->kind == NodeKind::INIT_DECLARATOR) {
    WalkInitDeclarator(initialisation);
    return;
  }
  if (initialisation->kind == NodeKind::DECLARATION_GROUP) {
    for (const TreeNode* item = initialisation->sons; item; item = item->next) WalkInitDeclarator(item);
    return;
  }
  WalkExpression(initialisation);
}

// A loop left by a return, a goto or a terminating call: the statement after
// it starts a sequence block.
bool LoopLeaves(const TreeNode* body) { return (LeavingWays(body) & (kLeavesByJump | kLeavesByCall)) != 0; }

bool WalkLoop(const TreeNode* loop) {
  const bool isFor = loop->kind == NodeKind::FOR;
  const bool isDo = loop->kind == NodeKind::DO;
  const TreeNode* body = isFor ? frontend::ForBody(loop) : isDo ? frontend::DoBody(loop) : frontend::WhileBody(loop);
  const TreeNode* condition = isFor ? frontend::ForCondition(loop) : loop->sons;
  PathSegment segment(isFor ? "for" : isDo ? "do" : "while");
  output::RikItem* decision = BeginDecision(loop);
  std::vector<std::uint32_t> blocks;
  // A loop under a pragma (omp for, GCC unroll) keeps its head as written.
  const bool bound = FollowsPragma(ConstructExtent(loop));
  if (isFor && !bound) WalkForInitialisation(loop->sons);
  if (!isDo && !bound) WalkCondition(condition);
  Collect(blocks, InstrStatementBlock(body));
  InstrLoopBranches(loop, body);
  WalkPart(body);
  if (isDo) WalkCondition(condition);
  if (isFor && !bound) WalkExpression(frontend::ForStep(loop));
  const bool leaves = LoopLeaves(body);
  EndDecision(decision, std::move(blocks), leaves);
  return leaves;
}

bool WalkTry(const TreeNode* statement) {
  {
    PathSegment segment("try");
    InstrStatementBlock(statement->sons);
    WalkPart(statement->sons);
  }
  for (const TreeNode* handler = statement->sons ? statement->sons->next : nullptr; handler; handler = handler->next) {
    PathSegment segment(handler->kind == NodeKind::FINALLY ? "finally" : "catch");
    InstrStatementBlock(handler->sons);
    WalkPart(handler->sons);
  }
  return true;
}

bool WalkCompound(const TreeNode* block) {
  DeeperLevel level;
  InspectBlockStatics(block);
  const TreeNode* first = block->sons;
  if (first && first->kind == frontend::BLOCK_STATICS) first = first->next;
  return InstrStatementList(first);
}

bool WalkInitDeclarator(const TreeNode* declarator) {
  if (declarator->kind != NodeKind::INIT_DECLARATOR) return false;
  DeeperLevel level;
  // A static initializer must stay constant: it is not walked.
  const TreeNode* value = frontend::DeclaratorValue(declarator);
  if (!value || value->kind != NodeKind::INIT_VALUE) return false;
  return InstrInitializer(value->sons);
}

bool WalkJump(const TreeNode* statement) {
  if (statement->kind == NodeKind::RETURN) {
    WalkExpression(statement->sons);
    InstrReturn(statement);
  }
  // A computed goto's target is an expression like any other (goto *t[f(i)]).
  const TreeNode* target = statement->sons;
  if (statement->kind == NodeKind::GOTO && target && target->kind != NodeKind::IDENTIFIER) WalkExpression(target);
  return true;
}

// Control reaches no statement after a jump or a statement that never ends,
// except through a label.
bool EndsFlow(const TreeNode* statement) {
  if (statement->kind == NodeKind::BREAK || statement->kind == NodeKind::CONTINUE) return true;
  return !FallsThrough(statement);
}

bool IsEntryPoint(const TreeNode* statement) {
  switch (statement->kind) {
    case NodeKind::LABEL:
    case NodeKind::ELSE:
    case NodeKind::CASE:
    case NodeKind::DEFAULT:
      return true;
    case NodeKind::LEFT_BRACE:
      return statement->sons && statement->sons->kind == NodeKind::LABEL;
    case NodeKind::FOR:
      return statement->sons && statement->sons->kind == NodeKind::EMPTY;
    default:
      return false;
  }
}

// An empty statement (the second ";" of "return x;;") is no code to miss.
bool IsEmptyStatement(const TreeNode* statement) {
  return statement->kind == NodeKind::EMPTY ||
         (statement->kind == NodeKind::EXPRESSION_STATEMENT && statement->sons && statement->sons->kind == NodeKind::EMPTY);
}

void ReportUnreachable(const TreeNode* statement) {
  if (IsEntryPoint(statement) || IsEmptyStatement(statement) || IsInstrStopped(statement)) return;
  const Span& span = ConstructExtent(statement);
  if (span.first.physical.line == 0 || !IsCoverageLocation(span.first)) return;
  support::DisplayWarning(support::Translate("User Warning", "Code never reached : %1", "%1 : file and line reference")
                              .arg(support::FromLocal(ShortLocation(span.first))));
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kUnreachable, {},
                     static_cast<std::int32_t>(OuterPriority(Instr())),
                     output::RikPlace{span.first.line, span.first.physical, 0, std::nullopt});
}

bool TooDeep() {
  InstrState& state = Instr();
  if (state.walk->depth < kMaxWalkDepth) return false;
  if (!state.nestingLimitReported) {
    state.nestingLimitReported = true;
    support::DisplayWarning(support::Translate("User Warning", "Nesting deeper than %1 levels is not instrumented in %2",
                                               "%1 : the number of levels, %2 : function name")
                                .arg(kMaxWalkDepth)
                                .arg(support::FromLocal(state.walk->functionName ? state.walk->functionName->text : "")));
  }
  return true;
}

}  // namespace

bool InstrStatement(const TreeNode* statement) {
  if (!statement || TooDeep()) return false;
  // Code read while instrumentation was stopped is copied as it is.
  if (IsInstrStopped(statement)) return !FallsThrough(statement);
  switch (statement->kind) {
    case NodeKind::LEFT_BRACE:
      return WalkCompound(statement);
    case NodeKind::EXPRESSION_STATEMENT:
      return WalkExpression(statement->sons);
    case NodeKind::INIT_DECLARATOR:
      return WalkInitDeclarator(statement);
    case NodeKind::LABEL:
      return WalkPart(frontend::LabelStatement(statement));
    case NodeKind::IF:
      return WalkIf(statement);
    case NodeKind::WHILE:
    case NodeKind::DO:
    case NodeKind::FOR:
      return WalkLoop(statement);
    case NodeKind::SWITCH:
      return InstrSwitch(statement);
    case NodeKind::CASE:
    case NodeKind::DEFAULT:
      return InstrCaseLabel(statement);
    case NodeKind::RETURN:
    case NodeKind::GOTO:
    case NodeKind::BREAK:
    case NodeKind::CONTINUE:
      return WalkJump(statement);
    case NodeKind::TRY:
      return WalkTry(statement);
    case NodeKind::EMPTY:
      return false;
    default:
      return WalkExpression(statement);
  }
}

bool InstrStatementList(const TreeNode* first) {
  bool leaves = false;
  const TreeNode* previous = nullptr;
  for (const TreeNode* statement = first; statement; statement = statement->next) {
    if (statement->kind == frontend::BLOCK_STATICS) continue;
    if (previous && EndsFlow(previous)) ReportUnreachable(statement);
    if (leaves) InstrSequenceBlock(statement);
    leaves = InstrStatement(statement);
    previous = statement;
  }
  return leaves;
}

void InstrBody(const TreeNode* body) {
  FindLoopsEnteredFromOutside(body);
  const TreeNode* first = body->sons;
  if (first && first->kind == frontend::BLOCK_STATICS) first = first->next;
  InstrStatementList(first);
}

}  // namespace instrument
