#include "instrument/function_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/insert_records.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/falls_through.h"
#include "instrument/insert_pragmas.h"
#include "instrument/instr_state.h"
#include "instrument/statement_walk.h"
#include "instrument/tracing.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "output/rik_registry.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <memory>
#include <string>
#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

// Bit of a function name's entry: a definition of that name was met.
constexpr std::uint32_t kSeenName = 0x00040000;

std::string Numbers(std::int16_t serial, std::uint32_t branch) {
  return std::to_string(serial) + "," + std::to_string(branch);
}

output::RikPlace BodyPlace(const TreeNode* body) {
  return output::RikPlace{body->start.line, body->start.physical, body->end.line, body->end.physical};
}

void RegisterBranch(const TreeNode* body, std::uint32_t branch, std::int8_t sum, std::uint32_t priority) {
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(branch, sum),
                     static_cast<std::int32_t>(priority), BodyPlace(body));
}

const TreeNode* BodyOf(const TreeNode* definition) {
  const TreeNode* header = definition->sons;
  return header ? header->next : nullptr;
}

const TreeNode* LastStatement(const TreeNode* body) {
  const TreeNode* last = nullptr;
  for (const TreeNode* child = body->sons; child; child = child->next) {
    if (child->kind != frontend::BLOCK_STATICS) last = child;
  }
  return last;
}

// The IDENTIFIER of the function's name inside its header.
const TreeNode* NameNode(const TreeNode* definition) {
  std::vector<const TreeNode*> pending{definition->sons};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (!node) continue;
    if (node->kind == NodeKind::IDENTIFIER && node->alpha == definition->alpha) return node;
    for (const TreeNode* child = node->sons; child; child = child->next) pending.push_back(child);
  }
  return nullptr;
}

bool IsSelectedUnit(const support::NameEntry* name, const RunOptions& options) {
  if (name->flags & support::kSelectedUnit) return true;
  if (name->flags & support::kExcludedUnitOrDirectory) return false;
  return (options.selection & kSelectAllUnits) != 0;
}

void AddEntryTexts(const TreeNode* body) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  const std::uint32_t p = kNestingPriority;
  const support::NameEntry* name = state.walk->functionName;
  if ((name->flags & support::kDumpIncoming) && AnySelected(options)) {
    if (DumpsCoverage(options)) {
      AddText(body->start.physical, p, Where::Before, "{_QBCPQ_DUMP(_QBCPQ_RESET);");
      AddText(body->end.physical, p, Where::After, "}");
    }
    if (options.trace) {
      AddText(body->start.physical, p, Where::Before, "{_QBT_START_DUMP");
      AddText(body->end.physical, p, Where::After, "}");
    }
  }
  if ((options.coverage & kCoverProcEntry) && IsCoverageLocation(body->start)) {
    const std::uint32_t branch = output::WriteFdcProc(state.walk->currentFdc, output::FdcProcKind::kProc, name->text,
                                                      body->start.line, body->end.line);
    AddText(body->start.physical, p, Where::Before, "{_QBC_PROC_IN(" + Numbers(state.walk->currentFdc->serial, branch) + ");");
    AddText(body->end.physical, p, Where::After, "}");
    RegisterBranch(body, branch, output::kSumEntry, p);
  }
  AddTracedEntryTexts(body);
  if ((options.coverage & kCoverStatementBlock) && IsCoverageLocation(body->start)) {
    const std::uint32_t branch = output::WriteFdcBlock(state.walk->currentFdc, output::FdcBlockKind::kSimple, name->text,
                                                       state.walk->branchPath, body->start.line, body->end.line);
    AddText(body->start.physical, p - 1, Where::Before, "{_QBC_BLOC(" + Numbers(state.walk->currentFdc->serial, branch) + ");");
    AddText(body->end.physical, p - 1, Where::After, "}");
    RegisterBranch(body, branch, output::kSumBlock, p - 1);
  }
}

void AddExitTexts(const TreeNode* body) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  const std::uint32_t p = kNestingPriority - 1;
  const frontend::SourcePosition& brace = body->end.physical;
  if (state.walk->functionName->flags & support::kDumpReturning) {
    if (DumpsCoverage(options)) AddText(brace, p, Where::Before, " _QBCPQ_DUMP(_QBCPQ_RESET);");
    if (options.trace) AddText(brace, p, Where::Before, " _QBT_START_DUMP");
  }
  if ((options.coverage & kCoverProcExit) && IsCoverageLocation(body->end)) {
    const std::uint32_t branch = output::WriteFdcProc(state.walk->currentFdc, output::FdcProcKind::kEndProc,
                                                      state.walk->functionName->text, body->end.line, body->end.line);
    AddText(brace, p, Where::Before, " _QBC_PROC(" + Numbers(state.walk->currentFdc->serial, branch) + ");");
    output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(branch, output::kSumExit),
                       static_cast<std::int32_t>(p), output::RikPlace{body->end.line, brace, body->end.line, brace});
  }
  AddTracedExitTexts(body);
  if (state.walk->functionName == state.mainName && AnySelected(options)) AddText(brace, 2, Where::Before, " _QBL_END_EXEC;");
}

// Every FDC file that received this function's branches is linked around its
// body, so the runtime knows the file's tables when the function runs.
void AddLinks(const TreeNode* body) {
  for (output::FdcFile& file : Instr().fdc->Files()) {
    if (file.lastFunction != Instr().walk->functionName) continue;
    std::string link = "{";
    if (file.compoundConditionCount) {
      link += "_QBC_DECLARE_COND_ELT(" + Numbers(file.serial, file.compoundConditionCount) + ");";
      file.compoundConditionCount = 0;
    }
    link += "_QBC_LINK(" + std::to_string(file.serial) + ");";
    AddText(body->start.physical, kNestingPriority, Where::Before, link);
    AddText(body->end.physical, kNestingPriority, Where::After, "}");
  }
}

// The function's node in the listing, with its metrics, and its name.
void RegisterFunction(const TreeNode* definition, const TreeNode* body) {
  InstrState& state = Instr();
  if (!ProducesListing(*state.options)) return;
  const TreeNode* nameNode = NameNode(definition);
  if (!nameNode) {
    support::DisplayInternalError(
        support::Translate("Internal Error", "No ident node for the function in InstrFunctionStart()"),
        support::CodeLocation::Current());
  }
  if (!IsCoverageLocation(body->start)) return;
  const std::string name = state.walk->functionName->text;
  auto function = std::make_unique<output::RikFunction>(output::RikFunction{
      name, output::RikNodeType::kFunction, state.walk->metrics.cyclomatic, state.walk->metrics.statements,
      state.walk->metrics.nesting});
  const output::RikPlace place{nameNode->start.line, nameNode->start.physical, body->end.line, body->end.physical};
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kFunction, std::move(function),
                     static_cast<std::int32_t>(kMaxPriority), place);
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kLink, output::RikText{name},
                     static_cast<std::int32_t>(kMaxPriority), output::RikPlace{nameNode->start.line, nameNode->start.physical, 0, std::nullopt});
}

void InstrumentFunction(const TreeNode* definition) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  const TreeNode* body = BodyOf(definition);
  if (!body) return;
  FunctionWalk walk;
  walk.function = definition;
  walk.functionName = definition->alpha;
  const WalkScope scope(state, walk);
  if (state.kindMask != 0) {
    ApplyInsertRecords(state.frontEnd->insertRecords, state.modifications,
                       {body->start.physical, body->end.physical, body->start.File(), body->start.Directory(),
                        body->start.line},
                       state.kindMask);
  }
  RegisterTracedRoutine(body);
  InspectBlockStatics(body);
  InstrBody(body);
  const bool reachable = FallsThrough(LastStatement(body));
  walk.metrics = options.metrics ? ComputeFunctionMetrics(definition) : kNoFunctionMetrics;
  RegisterFunction(definition, body);
  AddEntryTexts(body);
  if (reachable) AddExitTexts(body);
  AddLinks(body);
}

void MarkStartOfMain() {
  const frontend::InsertRecord* marker =
      frontend::FindInsertRecord(Instr().frontEnd->insertRecords, frontend::kInsertStartOfMain);
  if (!marker) return;
  AddText(marker->lineStart, kNestingPriority, Where::Before, "/*");
  AddText(marker->keywordEnd, kNestingPriority, Where::After,
      Instr().options->memPro ? "*/ _QBU_QBP_START_OF_MAIN" : "*/");
}

}  // namespace

void InstrFunctionRename(const TreeNode* definition) {
  const support::NameEntry* name = definition->alpha;
  if (!name || !(name->flags & support::kRenameService)) return;
  const TreeNode* nameNode = NameNode(definition);
  if (!nameNode) {
    support::DisplayInternalError(
        support::Translate("Internal Error", "InstrFunctionRename(): cannot retrieve name of function"),
        support::CodeLocation::Current());
  }
  const std::uint32_t removeOnly = support::kRemoveService & ~support::kRenameService;
  if (name->flags & removeOnly) {
    AddText(nameNode->start.physical, kNestingPriority, Where::Prefix, "_qbl_remove_");
    return;
  }
  const TreeNode* body = BodyOf(definition);
  const frontend::TokenPosition& at = body ? body->start : nameNode->start;
  if (!at.File() || !IsFileAuthorized(at.File(), at.Directory()) || IsExcludedDirectory(at.Directory())) return;
  AddText(nameNode->start.physical, kNestingPriority, Where::Prefix, "_qbu_stub_");
  support::DisplayInfo(support::Translate("User Info", "Function %1 renamed", "%1 : function name")
                           .arg(support::FromLocal(name->text)));
}

void InstrFunctionStart(const TreeNode* root) {
  InstrState& state = Instr();
  support::InternName("_qbc_dump")->flags |= support::kExcludedCall;
  state.startOfMainSeen = frontend::FindInsertRecord(state.frontEnd->insertRecords, frontend::kInsertStartOfMain) != nullptr;
  for (const TreeNode* item = root->sons; item; item = item->next) {
    if (item->kind != NodeKind::FUNCTION_DEFINITION) continue;
    InstrFunctionRename(item);
    support::NameEntry* name = item->alpha;
    if (!name) {
      support::DisplayInternalError(
          support::Translate("Internal Error", "Attempt to test authorization for service with no name"),
          support::CodeLocation::Current());
    }
    name->flags |= kSeenName;
    if (!IsSelectedUnit(name, *state.options)) continue;
    InstrumentFunction(item);
  }
  MarkStartOfMain();
}

}  // namespace instrument
