// Traced routines, their entry and exit texts, line offsets and deep globals.
#include "instrument/tracing.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/line_validity.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/instr_state.h"
#include "instrument/walk_support.h"
#include "output/tsf_file.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool AnyAnalysis(const RunOptions& options) { return options.trace || options.memPro || options.perfPro; }

std::string Serial() { return std::to_string(Instr().walk->currentTsf->serial); }

// The function's own file: where the body's opening brace is.
bool InFunctionFile(const frontend::TokenPosition& location) {
  const frontend::TokenPosition& opening = Instr().walk->function->sons->next->start;
  return location.File() == opening.File() && location.Directory() == opening.Directory();
}

const TreeNode* DeclaratorOf(const TreeNode* body, const support::NameEntry* name) {
  for (const TreeNode* child = body->sons; child; child = child->next) {
    if (child->kind == NodeKind::INIT_DECLARATOR && child->alpha == name) return child;
  }
  return nullptr;
}

// The deep global's text goes before the first statement after its
// declaration, where the variable is in scope and initialised.
const frontend::SourcePosition& DeepGlobalAnchor(const TreeNode* body, const TreeNode* declarator) {
  for (const TreeNode* child = declarator ? declarator->next : nullptr; child; child = child->next) {
    if (child->kind != NodeKind::INIT_DECLARATOR) return ConstructExtent(child).first.physical;
  }
  return body->end.physical;
}

}  // namespace

void RegisterTracedRoutine(const TreeNode* body) {
  InstrState& state = Instr();
  state.walk->routineNumber = 0;
  state.walk->currentTsf = nullptr;
  const frontend::TokenPosition& at = body->start;
  if (!AnyAnalysis(*state.options) || !at.File() || !at.Directory()) return;
  if (!IsFileAuthorized(at.File(), at.Directory()) || IsExcludedDirectory(at.Directory())) return;
  output::TsfFile& tsf = Instr().tsf->Select(at.File(), at.Directory());
  if (tsf.checksum == output::kOutputChecksumSeed) {
    tsf.checksum ^= frontend::ValidLineSum(state.frontEnd->validLines, at.File(), at.Directory());
  }
  state.walk->currentTsf = &tsf;
  state.walk->routineNumber = output::WriteTsfMessage(&tsf, state.walk->functionName->text, at.line);
}

void AddTracedEntryTexts(const TreeNode* body) {
  const InstrState& state = Instr();
  if (state.walk->routineNumber == 0) return;
  const RunOptions& options = *state.options;
  const frontend::SourcePosition& brace = body->start.physical;
  const std::string t = Serial();
  // Equal priorities come out in reverse: the stack entry first, then the
  // performance, memory and trace entries.
  if (options.trace) AddText(brace, kNestingPriority, Where::Before, "_QBT_IN(" + t + ")");
  if (options.memPro) AddText(brace, kNestingPriority, Where::Before, "_QBP_IN(" + t + ")");
  if (options.perfPro) AddText(brace, kNestingPriority, Where::Before, "_QBQ_IN(" + t + ")");
  AddText(brace, kNestingPriority, Where::Before,
          "{_QBL_STACK_IN(" + t + "," + std::to_string(state.walk->routineNumber) + ")");
  AddText(body->end.physical, kNestingPriority - 1, Where::After, "}");
}

void AddTracedExitTexts(const TreeNode* body) {
  const InstrState& state = Instr();
  if (state.walk->routineNumber == 0) return;
  const RunOptions& options = *state.options;
  const frontend::SourcePosition& brace = body->end.physical;
  const std::uint32_t p = kNestingPriority - 1;
  AddText(brace, p, Where::Before, " _QBL_STACK_OUT");
  if (options.trace) AddText(brace, p, Where::Before, " _QBT_OUT");
  if (options.memPro) {
    AddText(brace, p, Where::Before, " _QBP_OUT");
    AddText(brace, p, Where::Before, LineOffsetStatement(body->end));
  }
  if (options.perfPro) AddText(brace, p, Where::Before, " _QBQ_OUT");
}

std::string LineOffsetArguments(const frontend::TokenPosition& location) {
  InstrState& state = Instr();
  const std::string t = Serial();
  if (InFunctionFile(location)) {
    const std::uint32_t opening = state.walk->function->sons->next->start.line;
    return t + "," + std::to_string(location.line - opening);
  }
  const support::NameEntry* directory = location.Directory();
  const support::NameEntry* file = location.File();
  const std::string text = support::LocationText(directory ? directory->text : std::string(),
                                                 file ? file->text : std::string(), location.line);
  return t + "," + std::to_string(output::WriteTsfText(state.walk->currentTsf, support::LocalToUtf8(text)));
}

std::string LineOffsetExpression(const frontend::TokenPosition& location) {
  return "+_QBP_LINE_OFFSET_EXPR(" + LineOffsetArguments(location) + ")";
}

std::string LineOffsetStatement(const frontend::TokenPosition& location) {
  return " _QBP_LINE_OFFSET(" + LineOffsetArguments(location) + ")";
}

void InstrLineOffset(const frontend::TokenPosition* start, const frontend::TokenPosition* end, bool after) {
  if (!start && !end) {
    support::DisplayInternalError(support::Translate("Internal Error", "Nothing to do here"),
                                  support::CodeLocation::Current());
  }
  const Where where = after ? Where::After : Where::Before;
  const std::uint32_t priority = DepthPriority(Instr());
  if (start && end) {
    AddText(start->physical, priority, where, "(_QBP_LINE_OFFSET_EXPR_START(" + LineOffsetArguments(*start) + "),(");
    AddText(end->physical, priority, Where::After, "))");
    return;
  }
  if (end) {
    AddText(end->physical, priority, where, LineOffsetExpression(*end));
    return;
  }
  AddText(start->physical, priority, where, LineOffsetStatement(*start));
}

void InstrExternStatic(const TreeNode* body) {
  InstrState& state = Instr();
  const TreeNode* statics = body && body->kind == NodeKind::LEFT_BRACE ? body->sons : nullptr;
  if (!statics || statics->kind != frontend::BLOCK_STATICS) {
    support::DisplayInternalError(support::Translate("Internal Error", "Bad tree when calling InstrExternStatic()"),
                                  support::CodeLocation::Current());
  }
  if (!statics->statics) return;
  for (const support::NameListNode& node : statics->statics->nodes) {
    if (node.entry->flags & support::kNoInspectVariable) continue;
    const std::uint32_t number = state.deepGlobalCount++;
    const TreeNode* declarator = DeclaratorOf(body, node.entry);
    AddText(DeepGlobalAnchor(body, declarator), DepthPriority(state), Where::Before,
            "_QBP_USE_DEEP_GLOBAL(" + node.entry->text + "," + std::to_string(number) + ")");
  }
}

void InspectBlockStatics(const TreeNode* block) {
  const InstrState& state = Instr();
  const TreeNode* first = block->sons;
  if (!first || first->kind != frontend::BLOCK_STATICS) return;
  if (!state.options->memPro || state.options->noInspectAll || state.walk->routineNumber == 0) return;
  InstrExternStatic(block);
}

}  // namespace instrument
