#include "instrument/call_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/pragmas.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/instr_state.h"
#include "instrument/tracing.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "output/rik_registry.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <string_view>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

struct CallFlags {
  bool covered = false;
  bool terminating = false;
  bool dump = false;
  bool mayTerminate = false;
};

const TreeNode* NamedCallee(const TreeNode* call) {
  const TreeNode* callee = call->sons;
  while (callee && callee->kind == NodeKind::LEFT_PAREN) callee = callee->sons;
  return callee && callee->kind == NodeKind::IDENTIFIER ? callee : nullptr;
}

// Built-ins are not calls of the user's program: many are folded by the
// compiler or must stay constant.
bool IsBuiltin(const support::NameEntry* name) { return std::string_view(name->text).starts_with("__builtin_"); }

CallFlags FlagsOf(const TreeNode* callee, const RunOptions& options) {
  CallFlags flags;
  const bool callCoverage = (options.coverage & kCoverCall) != 0;
  if (!callee) {
    flags.covered = callCoverage;
    return flags;
  }
  const std::uint32_t bits = callee->alpha->flags;
  flags.covered = callCoverage && !(bits & support::kExcludedCall) && !IsBuiltin(callee->alpha);
  flags.terminating = (bits & frontend::kTerminatingFunction) != 0;
  flags.dump = AnySelected(options) && (bits & support::kDumpCalling);
  const bool allMayTerminate = (support::InternName("_all_")->flags & support::kMayTerminate) != 0;
  flags.mayTerminate = allMayTerminate || (bits & support::kMayTerminate) || flags.terminating;
  return flags;
}

void AddPrefix(const TreeNode* callee, const RunOptions& options) {
  if (!callee || !AnySelected(options)) return;
  if (const support::NameEntry* prefix = frontend::PrefixOf(Instr().frontEnd->pragmas, callee->alpha)) {
    AddText(callee->start.physical, 2, Where::Before, prefix->text);
  }
}

void AddDumpTexts(const Span& span, const RunOptions& options, std::uint32_t priority) {
  if (DumpsCoverage(options)) {
    AddText(span.first.physical, priority, Where::Before, "(_QBCPQ_DUMP(_QBCPQ_RESET),");
    AddText(span.last.physical, priority, Where::After, ")");
  }
  if (options.trace) {
    AddText(span.first.physical, priority, Where::Before, "(_QBT_START_DUMP_EXPR,");
    AddText(span.last.physical, priority, Where::After, ")");
  }
}

void RegisterCall(const Span& span, const std::string& name, std::uint32_t priority) {
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kJump, output::RikText{name},
                     static_cast<std::int32_t>(priority),
                     output::RikPlace{span.first.line, span.first.physical, span.last.line, span.last.physical});
}

void AddCallCoverage(const Span& span, const std::string& name, std::uint32_t priority) {
  InstrState& state = Instr();
  if (!IsCoverageLocation(span.first)) return;
  const std::uint32_t branch =
      output::WriteFdcCall(state.walk->currentFdc, state.walk->functionName->text, name, span.first.line, span.last.line);
  AddText(span.first.physical, priority, Where::Before, "(_QBC_CALL" + BranchArguments(branch) + ",");
  AddText(span.last.physical, priority, Where::After, ")");
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(branch, output::kSumCall),
                     static_cast<std::int32_t>(priority),
                     output::RikPlace{span.first.line, span.first.physical, span.last.line, span.last.physical});
}

// The end of execution is recorded before the program ends. The text is
// parenthesised with the call so that it stays one operand wherever the
// call stands (as the last operand of ?: or ||, for instance).
void AddTerminationTexts(const Span& span, const RunOptions& options, std::uint32_t priority) {
  InstrState& state = Instr();
  const bool analysis = options.trace || options.memPro || options.perfPro;
  if (analysis && state.walk->routineNumber != 0) {
    std::string exit = "(_QBL_STACK_OUT_VOID_EXPR_START(";
    if (options.perfPro) exit += "+_QBQ_OUT_EXPR";
    if (options.memPro) exit += LineOffsetExpression(span.last) + "+_QBP_OUT_EXPR";
    if (options.trace) exit += "+_QBT_OUT_EXPR";
    exit += "+_QBL_END_EXEC_EXPR),";
    AddText(span.first.physical, 2, Where::Before, exit);
    AddText(span.last.physical, 2, Where::After, ")");
  } else {
    AddText(span.first.physical, 2, Where::Before, "(_QBL_END_EXEC,");
    AddText(span.last.physical, 2, Where::After, ")");
  }
  if (!(options.coverage & kCoverProcExit) || !IsCoverageLocation(span.first)) return;
  const std::uint32_t branch = output::WriteFdcProc(state.walk->currentFdc, output::FdcProcKind::kTerm,
                                                    state.walk->functionName->text, span.first.line, span.last.line);
  AddText(span.first.physical, priority - 1, Where::Before, "(_QBC_PROC_exp" + BranchArguments(branch) + ",");
  AddText(span.last.physical, priority - 1, Where::After, ")");
  output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(branch, output::kSumExit),
                     static_cast<std::int32_t>(priority - 1),
                     output::RikPlace{span.first.line, span.first.physical, span.last.line, span.last.physical});
}

}  // namespace

bool InstrCall(const TreeNode* call) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  if (!call->sons) {
    support::DisplayInternalError(support::Translate("Internal Error", "No name for function call"));
  }
  const TreeNode* callee = NamedCallee(call);
  AddPrefix(callee, options);
  const std::string name = callee ? std::string(callee->alpha->text) : PrintedText(call->sons, 32);
  const CallFlags flags = FlagsOf(callee, options);
  const Span& span = ConstructExtent(call);
  const std::uint32_t priority = DepthPriority(state);
  if (flags.dump) AddDumpTexts(span, options, priority);
  if (ProducesListing(options)) {
    const Span& calleeSpan = ConstructExtent(call->sons);
    if (IsCoverageLocation(calleeSpan.first)) RegisterCall(span, name, priority);
  }
  if (flags.covered) AddCallCoverage(span, name, priority);
  // A built-in may stand where a constant is required: it keeps its form.
  if (options.memPro && state.walk->routineNumber != 0 && !(callee && IsBuiltin(callee->alpha))) {
    InstrLineOffset(&span.first, &span.last, false);
  }
  if (flags.terminating && AnySelected(options)) AddTerminationTexts(span, options, priority);
  return flags.mayTerminate;
}

}  // namespace instrument
