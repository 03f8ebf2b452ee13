#include "frontend/parser_actions.h"

#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/symbol_tables.h"
#include "support/name_table.h"

namespace frontend {
namespace {

// Set by the parser on the name of a function declared "void *f(...)".
constexpr std::uint32_t kReturnsPointerToVoid = 0x80000000;

TreeNode* LastChild(TreeNode* node) {
  TreeNode* child = node->sons;
  while (child && child->next) child = child->next;
  return child;
}

bool IsKind(const TreeNode* node, NodeKind kind) { return node && node->kind == kind; }

bool IsPointerToVoidHeader(const TreeNode* specifiers, const TreeNode* declarator) {
  return IsKind(specifiers, NodeKind::VOID) && !specifiers->next && IsKind(declarator, NodeKind::STAR) &&
         IsKind(declarator->sons, NodeKind::IDENTIFIER) && declarator->sons->alpha;
}

}  // namespace

TreeNode* MakeLeaf(NodeKind kind, const TokenValue& token) {
  TreeNode* node = CreateNode(kind, &token);
  SetAlpha(node, &token);
  return node;
}

TreeNode* MakeReference(const TokenValue& token) {
  TreeNode* node = MakeLeaf(NodeKind::IDENTIFIER, token);
  if (node->alpha) node->alpha->flags |= kReferenced;
  return node;
}

TreeNode* MakeNode(NodeKind kind, const TokenValue& token, TreeNode* first, TreeNode* second) {
  TreeNode* node = CreateNode(kind, &token);
  node->alpha = nullptr;
  AppendChild(node, first);
  AppendChild(node, second);
  return node;
}

TreeNode* MakeEmpty(const TokenValue& token) { return MakeNode(NodeKind::EMPTY, token); }

TreeNode* EndAt(TreeNode* node, const TokenValue& token) {
  SetEndPosition(node, &token);
  return node;
}

TreeNode* EndAfter(TreeNode* node, const TokenValue& closing) {
  SetEndPositionSpan(node, &closing, closing.alpha ? closing.alpha->length : 1);
  return node;
}

TreeNode* MakePostfix(NodeKind kind, const TokenValue& op, TreeNode* operand) {
  TreeNode* node = EndAt(MakeNode(kind, op, operand), op);
  node->end.physical.column += 1;
  return node;
}

TreeNode* EndItemsAt(TreeNode* items, const TokenValue& semicolon) {
  for (TreeNode* item = items; item; item = item->next) {
    if (item->kind == NodeKind::INIT_DECLARATOR) SetEndPosition(item, &semicolon);
  }
  return items;
}

TreeNode* PushItems(TreeNode* reversedList, TreeNode* items) {
  TreeBuilderState& cache = CurrentFrontEnd().builder;
  while (items) {
    // A relinked node can no longer stand for the chain AppendSibling cached.
    if (items == cache.cachedHead || items == cache.cachedLast) cache = {};
    TreeNode* next = items->next;
    items->next = reversedList;
    reversedList = items;
    items = next;
  }
  return reversedList;
}

TreeNode* ListInOrder(TreeNode* reversedList) { return PushItems(nullptr, reversedList); }

void FreeChain(TreeNode* chain) {
  while (chain) {
    TreeNode* next = chain->next;
    chain->next = nullptr;
    FreeTree(chain);
    chain = next;
  }
}

TreeNode* AttachPointer(TreeNode* pointer, TreeNode* declarator) {
  TreeNode* innermost = pointer;
  while (IsKind(LastChild(innermost), NodeKind::STAR)) innermost = LastChild(innermost);
  AppendChild(innermost, declarator);
  return pointer;
}

TreeNode* MakePointer(const TokenValue& star, TreeNode* qualifiers, TreeNode* inner) {
  return MakeNode(NodeKind::STAR, star, qualifiers, inner);
}

TreeNode* AppendBracket(TreeNode* part, const TokenValue& open, TreeNode* size, const TokenValue& close) {
  AppendChild(part, EndAfter(MakeNode(NodeKind::LEFT_BRACKET, open, size), close));
  return part;
}

TreeNode* AppendParameters(TreeNode* part, const TokenValue& open, TreeNode* parameters) {
  TreeNode* parameterPart = MakeNode(NodeKind::LEFT_PAREN, open, parameters);
  if (!IsKind(part, NodeKind::LEFT_PAREN)) {
    AppendChild(part, parameterPart);
    return part;
  }
  // "(declarator)(parameters)": the parentheses give way to a
  // FUNCTION_DECLARATOR [declarator, parameter part] named after the declarator.
  TreeNode* declarator = part->sons;
  TreeNode* function = CreateNode(NodeKind::FUNCTION_DECLARATOR, nullptr);
  function->start = part->start;
  function->alpha = DeclaratorName(declarator);
  part->sons = nullptr;
  FreeTree(part);
  AppendChild(function, declarator);
  AppendChild(function, parameterPart);
  return function;
}

TreeNode* MakeInitDeclarator(const TokenValue& declarator, const TokenValue* equals, TreeNode* initializer) {
  TreeNode* item = CreateNode(NodeKind::INIT_DECLARATOR, &declarator);
  item->alpha = DeclaratorName(declarator.node);
  AppendChild(item, declarator.node);
  if (!equals) return item;
  const bool isStatic = Symbols().declaration.storage == StorageClass::Static;
  return AppendChild(item, MakeNode(isStatic ? NodeKind::STATIC_INIT_VALUE : NodeKind::INIT_VALUE, *equals,
                                    initializer));
}

TreeNode* MakeForDeclaration(TreeNode* items) {
  if (!items || !items->next) return items;
  TreeNode* group = CreateNode(NodeKind::DECLARATION_GROUP, nullptr);
  group->start = items->start;
  return AppendChild(group, items);
}

TreeNode* MakeFunctionDefinition(TreeNode* specifiers, const TokenValue& declarator, TreeNode* parameters,
                                 TreeNode* body) {
  if (IsPointerToVoidHeader(specifiers, declarator.node)) {
    declarator.node->sons->alpha->flags |= kReturnsPointerToVoid;
  }
  TreeNode* header = CreateNode(NodeKind::FUNCTION_HEADER, nullptr);
  AppendChild(header, specifiers);
  AppendChild(header, declarator.node);
  AppendChild(header, parameters);

  TokenValue name = declarator;
  name.alpha = DeclaratorName(declarator.node);
  TreeNode* definition = CreateNode(NodeKind::FUNCTION_DEFINITION, &declarator);
  definition->alpha = nullptr;
  if (name.alpha) SetAlpha(definition, &name);
  AppendChild(definition, header);
  return AppendChild(definition, body);
}

TreeNode* MakeNestedFunction(const TokenValue& first, TreeNode* specifiers, TreeNode* declarator,
                             TreeNode* parameters, TreeNode* body) {
  TreeNode* definition = MakeEmpty(first);
  definition->end = body->end;
  FreeChain(specifiers);
  FreeChain(declarator);
  FreeChain(parameters);
  FreeTree(body);
  return definition;
}

TreeNode* PrefixLabel(TreeNode* label, const TokenValue& following) {
  AppendChild(label, MakeEmpty(following));
  return AppendSibling(label, following.node);
}

TreeNode* MakeCompound(const TokenValue& open, support::NameList* statics, TreeNode* items,
                       const TokenValue& close) {
  TreeNode* block = MakeNode(NodeKind::LEFT_BRACE, open);
  if (statics) {
    TreeNode* holder = CreateNode(BLOCK_STATICS, nullptr);
    AttachStatics(holder, statics);
    AppendChild(block, holder);
  }
  AppendChild(block, items);
  return EndAfter(block, close);
}

TreeNode* NoteType(TreeNode* specifier) {
  NoteTypeSpecifier(specifier);
  return specifier;
}

}  // namespace frontend
