// Texts of one label, after its colon: "{_QBC_COND_CASE(f,n);" then
// "{_QBC_BLOC(f,m);"; both closed after the labelled statement. A label
// followed directly by another label gets no block of its own, so a jump to
// the inner label does not pass the outer label's marks.
#include "instrument/switch_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/node_children.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/block_instrumentation.h"
#include "instrument/expression_walk.h"
#include "instrument/instr_state.h"
#include "instrument/jump_analysis.h"
#include "instrument/statement_walk.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "output/rik_registry.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <optional>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

const TreeNode* LabelledStatement(const TreeNode* label) {
  return label->kind == NodeKind::CASE ? frontend::CaseStatement(label) : label->sons;
}

std::uint32_t WriteCase(const std::string& text, const Span& span) {
  InstrState& state = Instr();
  return output::WriteFdcCase(state.walk->currentFdc, state.walk->functionName->text, text, true, span.first.line,
                              span.last.line);
}

void RegisterCaseCondition(std::uint32_t branch, const Span& span, std::uint32_t priority) {
  output::AddRikItem(*Instr().walk->currentFdc, output::RikKind::kBranch,
                     output::MakeRikBranch(branch, output::kSumBasicCondition), static_cast<std::int32_t>(priority),
                     PlaceOf(span));
}

// Case condition and block of one label; returns the block. A label without
// statement of its own (before "}" or before a declaration) gets closed
// texts after its colon.
SwitchEntry InstrCase(const TreeNode* label) {
  SwitchEntry entry{label, std::nullopt, false};
  const bool conditions = Covers(kCoverBasicCondition);
  const bool blocks = Covers(kCoverStatementBlock);
  const TreeNode* statement = LabelledStatement(label);
  const bool bare = !statement || statement->kind == NodeKind::EMPTY;
  const Span span = bare ? Span{label->start, label->end} : ConstructExtent(label);
  if ((!conditions && !blocks) || IsInstrStopped(label) || !IsCoverageLocation(span.first)) return entry;
  InstrState& state = Instr();
  const frontend::SourcePosition& colon = label->end.physical;
  const frontend::SourcePosition& last = span.last.physical;
  const std::uint32_t priority = DepthPriority(state);
  const std::string closing = bare ? "}" : "";
  std::optional<std::uint32_t> condition;
  if (conditions) {
    const std::string text = label->kind == NodeKind::DEFAULT ? "default" : "case " + PrintedText(label->sons, 32);
    condition = WriteCase(text.substr(0, 32), span);
    entry.hasCondition = true;
    AddText(colon, priority, Where::After, "{_QBC_COND_CASE" + BranchArguments(*condition) + ";" + closing);
    RegisterCaseCondition(*condition, span, priority);
  }
  const auto isLabel = [](const TreeNode* node) {
    return node && (node->kind == NodeKind::CASE || node->kind == NodeKind::DEFAULT);
  };
  const bool labelFollows = isLabel(statement) || (bare && isLabel(label->next));
  if (condition && labelFollows) AddText(colon, priority, Where::After, "_QBC_CASE_FALLTHROUGH");
  if (blocks && !labelFollows) {
    entry.block = RecordBlock(label, 0, priority);
    AddText(colon, priority, Where::After, "{_QBC_BLOC" + BranchArguments(*entry.block) + ";" + closing);
    if (!bare) AddText(last, priority, Where::After, "}");
  }
  if (condition && !bare) AddText(last, priority, Where::After, "}");
  return entry;
}

// "break;default:" with the implicit block and case condition, before the
// body's closing brace (or after a body that is not a compound statement).
void AddImplicitDefault(const TreeNode* body, SwitchContext& context) {
  const bool implicitBlocks = Covers(kCoverImplicitDecision);
  const bool conditions = Covers(kCoverBasicCondition);
  if (!implicitBlocks && !conditions) return;
  for (const SwitchEntry& entry : context.entries) {
    if (entry.label->kind == NodeKind::DEFAULT) return;
  }
  const Span& span = ConstructExtent(body);
  if (!IsCoverageLocation(span.first)) return;
  InstrState& state = Instr();
  const std::uint32_t priority = DepthPriority(state);
  std::string text = "break;default:";
  SwitchEntry entry{body, std::nullopt, false};
  if (implicitBlocks) {
    PathSegment segment("default");
    entry.block = RecordBlock(body, 1, priority);
    text += "_QBC_BLOC" + BranchArguments(*entry.block) + ";";
  }
  if (conditions) {
    context.hasConditions = true;
    entry.hasCondition = true;
    const std::uint32_t condition = WriteCase("implicit default", span);
    RegisterCaseCondition(condition, span, priority);
    text += "_QBC_COND_CASE" + BranchArguments(condition) + ";";
  }
  context.entries.push_back(entry);
  // A body that is one labelled statement ends with that statement, not
  // with the label's colon where its own node ends.
  const bool compound = body->kind == NodeKind::LEFT_BRACE && body->end.physical.line;
  AddText(compound ? body->end.physical : span.last.physical, priority, compound ? Where::Before : Where::After,
          text);
}

bool HasCaseConditions(const SwitchContext& context) {
  if (context.hasConditions) return true;
  for (const SwitchEntry& entry : context.entries) {
    if (entry.hasCondition) return true;
  }
  return false;
}

void ReportCodeBeforeFirstLabel(const TreeNode* body) {
  if (body->kind != NodeKind::LEFT_BRACE) return;
  const TreeNode* first = body->sons;
  if (first && first->kind == frontend::BLOCK_STATICS) first = first->next;
  if (!first || first->kind == NodeKind::CASE || first->kind == NodeKind::DEFAULT ||
      first->kind == NodeKind::LABEL || first->kind == NodeKind::INIT_DECLARATOR || IsInstrStopped(first)) {
    return;
  }
  const Span& span = ConstructExtent(first);
  if (span.first.physical.line == 0 || !IsCoverageLocation(span.first)) return;
  support::DisplayWarning(support::Translate("User Warning", "Code never reached : %1", "%1 : file and line reference")
                              .arg(support::FromLocal(ShortLocation(span.first))));
}

// The switch's decision entry, registered before its body so that the
// registry fills in source order; its blocks are listed once known, when
// there are at least two.
output::RikItem* BeginSwitchDecision(const TreeNode* statement) {
  InstrState& state = Instr();
  const Span& span = ConstructExtent(statement);
  if (!Covers(kCoverStatementBlock) || !IsCoverageLocation(span.first)) return nullptr;
  return &output::AddRikItem(*state.walk->currentFdc, output::RikKind::kDecision, output::RikDecision{},
                             static_cast<std::int32_t>(OuterPriority(state)), PlaceOf(span));
}

void EndSwitchDecision(output::RikItem* item, const SwitchContext& context, bool leaving) {
  if (!item) return;
  std::vector<std::uint32_t> blocks;
  for (const SwitchEntry& entry : context.entries) {
    if (entry.block) blocks.push_back(*entry.block);
  }
  auto& decision = std::get<output::RikDecision>(item->payload);
  if (blocks.size() >= 2) {
    decision.count = static_cast<std::int16_t>(blocks.size());
    decision.ids = std::move(blocks);
  }
  if (leaving) Instr().walk->pendingDecisions.push_back(item);
}

}  // namespace

bool InstrSwitch(const TreeNode* statement) {
  InstrState& state = Instr();
  const TreeNode* body = frontend::SwitchBody(statement);
  if (!body) return false;
  SwitchContext context{statement, false, {}};
  output::RikItem* decision = BeginSwitchDecision(statement);
  {
    DeeperLevel level;
    InstrExpr(statement->sons, false, nullptr);
    ReportCodeBeforeFirstLabel(body);
    state.walk->switches.push_back(std::move(context));
    InstrStatement(body);
    AddImplicitDefault(body, state.walk->switches.back());
    context = std::move(state.walk->switches.back());
    state.walk->switches.pop_back();
  }
  const std::uint32_t priority = DepthPriority(state);
  const Span& span = ConstructExtent(statement);
  const bool conditions = Covers(kCoverBasicCondition);
  if (conditions && HasCaseConditions(context)) {
    AddText(span.first.physical, priority, Where::Before, "{_QBC_SWITCH;");
    AddText(span.last.physical, priority, Where::After, "}");
  }
  if ((conditions || Covers(kCoverImplicitDecision)) && body->kind != NodeKind::LEFT_BRACE &&
      IsCoverageLocation(span.first)) {
    AddText(statement->end.physical, priority, Where::After, "{");
    AddText(span.last.physical, priority, Where::After, "}");
  }
  const bool leaving = (LeavingWays(body) & (kLeavesByJump | kLeavesByCall | kLeavesByContinue)) != 0;
  EndSwitchDecision(decision, context, leaving);
  return leaving;
}

bool InstrCaseLabel(const TreeNode* label) {
  InstrState& state = Instr();
  const bool isCase = label->kind == NodeKind::CASE;
  PathSegment segment(isCase ? "case" : "default");
  if (state.walk->switches.empty()) {
    const frontend::TokenPosition& at = label->start;
    support::DisplayError(
        support::Translate("User Error", "case or default outside of any switch statement : %1",
                           "%1 : file and line reference")
            .arg(support::FromLocal(support::LocationText(at.Directory() ? at.Directory()->text : "",
                                                          at.File() ? at.File()->text : "", at.line))));
  } else {
    state.walk->switches.back().entries.push_back(InstrCase(label));
  }
  DeeperLevel level;
  return InstrStatement(LabelledStatement(label));
}

}  // namespace instrument
