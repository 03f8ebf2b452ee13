#include "instrument/return_instrumentation.h"

#include "instrument/run_options.h"
#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/pragmas.h"
#include "frontend/printer.h"
#include "frontend/syntax_tree.h"
#include "instrument/authorization.h"
#include "instrument/instr_state.h"
#include "instrument/tracing.h"
#include "instrument/tree_extent.h"
#include "instrument/walk_support.h"
#include "output/fdc_file.h"
#include "output/fdc_records.h"
#include "output/rik_registry.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

constexpr std::uint32_t kReturnsPointerToVoid = 0x80000000;

bool IsKind(const TreeNode* node, NodeKind kind) { return node && node->kind == kind; }

bool IsMainFunction() { return Instr().walk->functionName == Instr().mainName; }

// Pre-order walk of an expression: the first call, and whether a comparison
// or cast was met before it.
struct FirstCall {
  const TreeNode* call = nullptr;
  bool comparedBefore = false;
};

FirstCall FindFirstCall(const TreeNode* expression) {
  FirstCall found;
  std::vector<const TreeNode*> pending{expression};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    if (!node) continue;
    if (node->kind == NodeKind::CALL) {
      found.call = node;
      return found;
    }
    switch (node->kind) {
      case NodeKind::EQ_OP: case NodeKind::NE_OP: case NodeKind::LE_OP: case NodeKind::GE_OP:
      case NodeKind::LESS: case NodeKind::GREATER: case NodeKind::CAST:
        found.comparedBefore = true;
        break;
      default:
        break;
    }
    std::vector<const TreeNode*> children;
    for (const TreeNode* child = node->sons; child; child = child->next) children.push_back(child);
    for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back(*child);
  }
  return found;
}

const support::NameEntry* CalleeName(const TreeNode* call) {
  const TreeNode* callee = call->sons;
  while (IsKind(callee, NodeKind::LEFT_PAREN)) callee = callee->sons;
  return IsKind(callee, NodeKind::IDENTIFIER) ? callee->alpha : nullptr;
}

bool PointerRule(const TreeNode* expression) {
  const support::NameEntry* name = Instr().walk->functionName;
  if (name && (name->flags & kReturnsPointerToVoid)) return true;
  const FirstCall first = FindFirstCall(expression);
  if (!first.call || first.comparedBefore) return false;
  const support::NameEntry* callee = CalleeName(first.call);
  return callee && (callee->flags & kReturnsPointerToVoid);
}

bool DeclaredVoid(const TreeNode* header) {
  const TreeNode* first = header->sons;
  return IsKind(first, NodeKind::VOID) && !first->sons && IsKind(first->next, NodeKind::IDENTIFIER);
}

int TypeClass(const TreeNode* header) {
  for (const TreeNode* child = header->sons; child; child = child->next) {
    switch (child->kind) {
      case NodeKind::FLOAT: case NodeKind::TYPEDEF_NAME: case NodeKind::VOID:
      case NodeKind::STRUCT: case NodeKind::UNION: case NodeKind::DOUBLE:
        return 1;
      case NodeKind::FUNCTION_DECLARATOR:
        if (IsKind(child->sons, NodeKind::STAR)) return 2;
        break;
      default:
        break;
    }
  }
  return 0;
}

bool IsIdentifierCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

// Where the name ends a word: a function "d" returning double is not cut
// inside "double". The printer writes a structure's tag and the name
// without a blank between them, so the name need not begin a word.
std::size_t FindName(const std::string& text, const std::string& name) {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const std::size_t after = at + name.size();
    if (after == text.size() || !IsIdentifierCharacter(text[after])) return at;
  }
  return std::string::npos;
}

// The printed header cut at the function's name (class 1) or at its last "*".
std::string PrintedReturnType(const TreeNode* header, int typeClass) {
  char buffer[2048];
  std::string text = frontend::PrintNode(header, buffer, 2047);
  const support::NameEntry* name = Instr().walk->functionName;
  const std::size_t cut = typeClass == 2 ? text.rfind('*') : (name ? FindName(text, name->text) : std::string::npos);
  if (cut != std::string::npos) text.erase(typeClass == 2 ? cut + 1 : cut);
  return text;
}

std::string TypeText(const TreeNode* header, bool pointerRule, int typeClass, const std::string* pragmaType) {
  if (pragmaType) return *pragmaType;
  if (pointerRule) return IsKind(header->sons ? header->sons->next : nullptr, NodeKind::CONST) ? "void const *" : "void *";
  return PrintedReturnType(header, typeClass);
}

const std::string* PragmaReturnType() {
  const support::NameEntry* name = Instr().walk->functionName;
  if (!name || !(name->flags & frontend::kHasReturnType)) return nullptr;
  const std::string* type = frontend::ReturnTypeOf(Instr().frontEnd->pragmas, name->text);
  if (!type || type->empty()) {
    support::DisplayFatalError(support::Translate("Fatal Error", "No return type to function %1", "%1 : function name")
                                   .arg(support::FromLocal(name->text)));
  }
  return type;
}

// The exits of the expression forms; with memory profiling the line offset
// of the returned expression's end comes just before the memory exit.
std::string OutExpressionTexts(const RunOptions& options, const TreeNode* expression) {
  std::string text;
  if (options.trace) text += "+_QBT_OUT_EXPR";
  if (options.memPro && expression) text += LineOffsetExpression(ConstructExtent(expression).last);
  if (options.memPro) text += "+_QBP_OUT_EXPR";
  if (options.perfPro) text += "+_QBQ_OUT_EXPR";
  if (IsMainFunction()) text += "+_QBL_END_EXEC_EXPR";
  return text;
}

void AddTracedExit(const TreeNode* returnStatement, std::uint32_t priority) {
  const RunOptions& options = *Instr().options;
  const TreeNode* expression = returnStatement->sons;
  const TreeNode* header = Instr().walk->function ? Instr().walk->function->sons : nullptr;
  const frontend::SourcePosition& start = returnStatement->start.physical;
  const frontend::SourcePosition& end = returnStatement->end.physical;
  const ReturnShape shape = header ? ChooseReturnForm(header, expression, options.beforeReturnExpr)
                                   : ReturnShape{ReturnForm::Simple, {}, false};
  const Extent value = ExtentOf(expression);
  const frontend::SourcePosition keywordEnd{start.line, start.column + 5};
  switch (shape.form) {
    case ReturnForm::Simple:
      AddText(start, priority, Where::Before, " _QBL_STACK_OUT ");
      if (options.trace) AddText(start, priority, Where::Before, " _QBT_OUT");
      if (options.memPro) {
        AddText(start, priority, Where::Before, " _QBP_OUT");
        InstrLineOffset(&returnStatement->start, nullptr, false);
      }
      if (options.perfPro) AddText(start, priority, Where::Before, " _QBQ_OUT");
      AddText(start, priority, Where::Before, "{");
      AddText(end, priority, Where::After, "}");
      return;
    case ReturnForm::Integral:
      AddText(value.first, priority, Where::Before, "((");
      AddText(value.last, priority, Where::After, ")_QBL_STACK_OUT_EXPR_END(" + OutExpressionTexts(options, expression) + "))");
      return;
    case ReturnForm::Void: {
      std::string after = ";_QBL_STACK_OUT ";
      if (options.trace) after += " _QBT_OUT";
      if (options.memPro) after += LineOffsetStatement(ConstructExtent(expression).last) + " _QBP_OUT";
      if (options.perfPro) after += " _QBQ_OUT";
      if (IsMainFunction()) after += " _QBL_END_EXEC";
      AddText(start, 2, Where::Before, "{/*");
      AddText(keywordEnd, priority, Where::After, "*/");
      AddText(value.last, priority, Where::After, after);
      AddText(end, priority, Where::After, " return;}");
      return;
    }
    case ReturnForm::Typed: {
      const std::string variant = shape.functionPointer ? "F" : "";
      AddText(start, 2, Where::Before, "{/*");
      AddText(keywordEnd, priority, Where::After,
          "*/_QBL_STACK_OUT_EXPR_" + variant + "TYPE_START(" + shape.typeText + ")(");
      AddText(value.last, priority, Where::After,
          ")_QBL_STACK_OUT_EXPR_" + variant + "TYPE_END(" + OutExpressionTexts(options, expression) + ")");
      AddText(end, priority, Where::After, "}");
      return;
    }
  }
}

}  // namespace

ReturnShape ChooseReturnForm(const TreeNode* header, const TreeNode* expression, bool beforeReturnExpression) {
  const std::string* pragmaType = PragmaReturnType();
  const bool hasCall = expression && FindFirstCall(expression).call;
  if (!pragmaType && (!hasCall || beforeReturnExpression)) return {ReturnForm::Simple, {}, false};
  const bool pointerRule = PointerRule(expression);
  const int typeClass = TypeClass(header);
  if (!pragmaType && !pointerRule && !DeclaredVoid(header) && typeClass == 0) return {ReturnForm::Integral, {}, false};
  if (!pragmaType && !pointerRule && DeclaredVoid(header)) return {ReturnForm::Void, {}, false};
  return {ReturnForm::Typed, TypeText(header, pointerRule, typeClass, pragmaType), typeClass == 2 && !pragmaType};
}

void InstrReturn(const TreeNode* returnStatement) {
  InstrState& state = Instr();
  const RunOptions& options = *state.options;
  if (!AnySelected(options)) return;
  const std::uint32_t priority = DepthPriority(state);
  const frontend::SourcePosition& start = returnStatement->start.physical;
  const frontend::SourcePosition& end = returnStatement->end.physical;
  const support::NameEntry* name = state.walk->functionName;
  if (name && (name->flags & support::kDumpReturning)) {
    if (DumpsCoverage(options)) {
      AddText(start, priority, Where::Before, "{_QBCPQ_DUMP(_QBCPQ_RESET);");
      AddText(end, priority, Where::After, "}");
    }
    if (options.trace) {
      AddText(start, priority, Where::Before, "{_QBT_START_DUMP ");
      AddText(end, priority, Where::After, "}");
    }
  }
  if ((options.coverage & kCoverProcExit) && IsCoverageLocation(returnStatement->start)) {
    const std::uint32_t branch = output::WriteFdcProc(state.walk->currentFdc, output::FdcProcKind::kReturn,
                                                      name ? name->text : std::string(),
                                                      returnStatement->start.line, returnStatement->end.line);
    AddText(start, priority, Where::Before,
        "{_QBC_PROC(" + std::to_string(state.walk->currentFdc->serial) + "," + std::to_string(branch) + ");");
    AddText(end, priority, Where::After, "}");
    output::AddRikItem(*state.walk->currentFdc, output::RikKind::kBranch, output::MakeRikBranch(branch, output::kSumExit),
                       static_cast<std::int32_t>(priority),
                       output::RikPlace{returnStatement->start.line, start, returnStatement->end.line, end});
  }
  if (state.walk->routineNumber != 0) AddTracedExit(returnStatement, priority);
  if (IsMainFunction()) {
    AddText(start, 2, Where::Before, "{_QBL_END_EXEC;");
    AddText(end, 2, Where::After, "}");
  }
}

}  // namespace instrument
