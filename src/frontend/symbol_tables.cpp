#include "frontend/symbol_tables.h"

#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/syntax_tree.h"
#include "support/messages.h"
#include "support/translate.h"

#include <string_view>
#include <vector>

namespace frontend {
namespace {

using support::NameEntry;
using support::NameList;

constexpr std::uint32_t kNoInspectDirectory = support::kNoInspectDirectory;

bool IsKind(const TreeNode* node, NodeKind kind) { return node && node->kind == kind; }

const TreeNode* LastChild(const TreeNode* node) {
  const TreeNode* child = node->sons;
  while (child && child->next) child = child->next;
  return child;
}

bool HasChildOfKind(const TreeNode* node, NodeKind kind) {
  for (const TreeNode* child = node->sons; child; child = child->next) {
    if (child->kind == kind) return true;
  }
  return false;
}

const TreeNode* UnwrapParentheses(const TreeNode* node) {
  while (IsKind(node, NodeKind::LEFT_PAREN)) node = node->sons;
  return node;
}

// A function declarator declares a function, not a pointer to one: the name
// carries the parameter part itself, or a parenthesised declarator that is
// no pointer is followed by one.
bool IsFunctionDeclarator(const TreeNode* node) {
  while (node) {
    switch (node->kind) {
      case NodeKind::IDENTIFIER:
        return HasChildOfKind(node, NodeKind::LEFT_PAREN);
      case NodeKind::STAR:
        node = LastChild(node);
        break;
      case NodeKind::LEFT_PAREN:
        node = node->sons;
        break;
      case NodeKind::FUNCTION_DECLARATOR: {
        const TreeNode* inner = UnwrapParentheses(node->sons);
        return !IsKind(inner, NodeKind::STAR);
      }
      default:
        return false;
    }
  }
  return false;
}

// Arrays without a size and arrays of arrays are not inspected. The walk
// keeps its own stack, since declarators may nest arbitrarily deep.
bool HasUninspectableArray(const TreeNode* declarator) {
  std::vector<const TreeNode*> pending{declarator};
  while (!pending.empty()) {
    const TreeNode* node = pending.back();
    pending.pop_back();
    int brackets = 0;
    for (const TreeNode* child = node->sons; child; child = child->next) {
      if (child->kind == NodeKind::LEFT_BRACKET &&
          (++brackets > 1 || !child->sons || child->sons->kind == NodeKind::LEFT_BRACKET)) {
        return true;
      }
      pending.push_back(child);
    }
  }
  return false;
}

bool IsWorthInspecting(const TreeNode* declarator) {
  SymbolState& symbols = Symbols();
  const DeclarationState& declaration = symbols.declaration;
  const bool aggregate = declaration.typeKind == NodeKind::STRUCT || declaration.typeKind == NodeKind::UNION;
  if (aggregate && !IsKind(declarator, NodeKind::STAR)) return false;
  if (declaration.typeKind == NodeKind::TYPEDEF_NAME && declaration.typeName &&
      (declaration.typeName->flags & kFunctionTypedef)) {
    return false;
  }
  return !HasUninspectableArray(declarator) && !IsKind(declarator, NodeKind::LEFT_BRACKET);
}

// A -NOINSPECTDIR directory covers itself and everything below it.
bool IsInspectedDirectory(const NameEntry* directory) {
  SymbolState& symbols = Symbols();
  if (!directory) return true;
  if (directory->flags & kNoInspectDirectory) return false;
  if (!symbols.noInspectDirPrefixes) return true;
  const std::string_view text = directory->text;
  for (const support::NameListNode& prefix : symbols.noInspectDirPrefixes->nodes) {
    const std::string& p = prefix.entry->text;
    if (text.size() > p.size() && text.compare(0, p.size(), p) == 0 && text[p.size()] == '/') return false;
  }
  return true;
}

bool MayBeInspected(const TreeNode* declarator) {
  SymbolState& symbols = Symbols();
  const bool excludedExtern = symbols.declaration.storage == StorageClass::Extern && symbols.skipExterns;
  return !excludedExtern && IsInspectedDirectory(declarator->start.Directory()) && IsWorthInspecting(declarator);
}

void DeclareInBlock(NameEntry* name, bool wasTypedef, const TreeNode* declarator) {
  SymbolState& symbols = Symbols();
  Scope& scope = symbols.scopes.back();
  if (wasTypedef) {
    support::AddToNameList(scope.restore, name);
  } else {
    support::AddToNameList(scope.declared, name);
    scope.formerReferenced.emplace_back(name, (name->flags & kReferenced) != 0);
    name->flags &= ~kReferenced;
  }
  const StorageClass storage = symbols.declaration.storage;
  if ((storage == StorageClass::Static || storage == StorageClass::Extern) && MayBeInspected(declarator)) {
    support::AddToNameList(scope.statics, name);
  }
}

}  // namespace

void DeclareName(NameEntry* name, const TreeNode* declarator) {
  SymbolState& symbols = Symbols();
  if (!name) {
    support::DisplayInternalError(support::Translate("Internal Error", "C declarator with no name"),
                                  support::CodeLocation::Current());
  }
  const bool function = IsFunctionDeclarator(declarator);
  if (symbols.declaration.storage == StorageClass::Typedef) {
    name->flags |= kTypedefName;
    if (function) name->flags |= kFunctionTypedef;
    support::AddToNameList(symbols.scopes.empty() ? symbols.fileTypedefs : symbols.scopes.back().declared, name);
    return;
  }
  const bool wasTypedef = (name->flags & kTypedefName) != 0;
  name->flags &= ~kTypedefName;
  if (function) return;
  if (!symbols.scopes.empty()) {
    DeclareInBlock(name, wasTypedef, declarator);
    return;
  }
  if (!MayBeInspected(declarator)) return;
  support::AddToNameList(symbols.fileVariables, name);
  if (symbols.declaration.storage != StorageClass::Extern) name->flags |= kDefinedInFile;
}

void KeepDefinedFileVariables(SymbolState& symbols) {
  support::NameList defined;
  for (const support::NameListNode& node : symbols.fileVariables.nodes) {
    if (node.entry->flags & kDefinedInFile) support::AddToNameList(defined, node.entry);
  }
  symbols.fileVariables = std::move(defined);
}

void CollectParameterName(NameEntry* name) {
  SymbolState& symbols = Symbols();
  if (name && (name->flags & kTypedefName)) support::AddToNameList(symbols.parameterTypedefs, name);
}

void ForgetParameterNames() { support::FreeNameList(Symbols().parameterTypedefs); }

void SaveDeclaration() {
  SymbolState& symbols = Symbols();
  symbols.savedDeclarations.push_back(symbols.declaration);
  symbols.declaration = DeclarationState{};
}

void RestoreDeclaration() {
  SymbolState& symbols = Symbols();
  if (symbols.savedDeclarations.empty()) return;
  symbols.declaration = symbols.savedDeclarations.back();
  symbols.savedDeclarations.pop_back();
}

void ResetDeclaration() { Symbols().declaration = DeclarationState{}; }

void NoteTypeSpecifier(const TreeNode* specifier) {
  SymbolState& symbols = Symbols();
  DeclarationState& declaration = symbols.declaration;
  if (declaration.typeNoted || !specifier) return;
  declaration.typeNoted = true;
  declaration.typeKind = specifier->kind;
  declaration.typeName = specifier->alpha;
}

void OpenScope() {
  SymbolState& symbols = Symbols();
  Scope& scope = symbols.scopes.emplace_back();
  scope.enclosing = symbols.declaration;
  symbols.declaration = DeclarationState{};
  for (const support::NameListNode& node : symbols.parameterTypedefs.nodes) {
    node.entry->flags &= ~kTypedefName;
    support::AddToNameList(scope.restore, node.entry);
  }
  ForgetParameterNames();
}

NameList* CloseScope() {
  SymbolState& symbols = Symbols();
  if (symbols.scopes.empty()) support::DisplayPanic();
  Scope& scope = symbols.scopes.back();
  NameList* referenced = nullptr;
  for (const support::NameListNode& node : scope.statics.nodes) {
    if (!(node.entry->flags & kReferenced)) continue;
    if (!referenced) referenced = new NameList;
    support::AddToNameList(*referenced, node.entry);
  }
  for (const support::NameListNode& node : scope.restore.nodes) node.entry->flags |= kTypedefName;
  for (const support::NameListNode& node : scope.declared.nodes) node.entry->flags &= ~kTypedefName;
  for (auto [name, wasReferenced] : scope.formerReferenced) {
    name->flags = wasReferenced ? name->flags | kReferenced : name->flags & ~kReferenced;
  }
  symbols.declaration = scope.enclosing;
  symbols.scopes.pop_back();
  return referenced;
}

NameEntry* DeclaratorName(const TreeNode* declarator) {
  const TreeNode* node = declarator;
  while (node) {
    switch (node->kind) {
      case NodeKind::IDENTIFIER:
      case NodeKind::TYPEDEF_NAME:
        return node->alpha;
      case NodeKind::STAR:
        node = LastChild(node);
        if (IsKind(node, NodeKind::CONST) || IsKind(node, NodeKind::VOLATILE)) return nullptr;
        break;
      case NodeKind::FUNCTION_DECLARATOR:
        if (node->alpha) return node->alpha;
        node = node->sons;
        break;
      case NodeKind::LEFT_PAREN:
        node = node->sons;
        break;
      default:
        return nullptr;
    }
  }
  return nullptr;
}

void ForgetFileTypedefs(SymbolState& symbols) {
  for (const support::NameListNode& node : symbols.fileTypedefs.nodes) {
    node.entry->flags &= ~(kTypedefName | kFunctionTypedef);
  }
  support::FreeNameList(symbols.fileTypedefs);
}

}  // namespace frontend
