// Tree-building steps of the grammar's actions, kept out of the grammar
// file so that each rule's action stays one or two calls.
#pragma once

#include "frontend/syntax_tree.h"

#include <cstdint>
#include <string_view>

namespace support {
struct NameList;
}  // namespace support

namespace frontend {

/// A leaf made from a name, constant or literal token; its end comes from
/// the spelling.
TreeNode* MakeLeaf(NodeKind kind, const TokenValue& token);
/// An IDENTIFIER used as a primary expression: it also gets the referenced bit.
TreeNode* MakeReference(const TokenValue& token);
/// A node made from a keyword or operator token, with up to two children.
TreeNode* MakeNode(NodeKind kind, const TokenValue& token, TreeNode* first = nullptr, TreeNode* second = nullptr);
/// A placeholder for a missing part, at the token where it is missing.
TreeNode* MakeEmpty(const TokenValue& token);
/// Sets the node's end at the token, or at the last character of a closing
/// token (whose spelling, "]" or ":>", may be longer than one byte).
TreeNode* EndAt(TreeNode* node, const TokenValue& token);
TreeNode* EndAfter(TreeNode* node, const TokenValue& closing);
/// A postfix ++ or --: ends one column after the operator.
TreeNode* MakePostfix(NodeKind kind, const TokenValue& op, TreeNode* operand);
/// A declaration's items all end at its ";"; returns the items.
TreeNode* EndItemsAt(TreeNode* items, const TokenValue& semicolon);

/// Puts the chain of items in front of a list kept newest first; the cost
/// is the items' number, not the list's length.
TreeNode* PushItems(TreeNode* reversedList, TreeNode* items);
/// The list kept newest first, in source order.
TreeNode* ListInOrder(TreeNode* reversedList);

/// Frees a sibling chain that the tree does not keep.
void FreeChain(TreeNode* chain);

/// Hangs the declarator below the innermost "*" of a pointer chain.
TreeNode* AttachPointer(TreeNode* pointer, TreeNode* declarator);
/// The '*' of a pointer with its qualifiers, above an inner pointer or none.
TreeNode* MakePointer(const TokenValue& star, TreeNode* qualifiers, TreeNode* inner);
/// Appends a '[' part (with its size, if any) to the declarator part;
/// returns the part.
TreeNode* AppendBracket(TreeNode* part, const TokenValue& open, TreeNode* size, const TokenValue& close);
/// Appends a parameter part to the declarator part: a parenthesised part
/// becomes a FUNCTION_DECLARATOR, which is returned; any other part gets a
/// '(' child and is returned.
TreeNode* AppendParameters(TreeNode* part, const TokenValue& open, TreeNode* parameters);

/// The item of one declarator: INIT_DECLARATOR [declarator] or
/// [declarator, INIT_VALUE or STATIC_INIT_VALUE [initializer]].
TreeNode* MakeInitDeclarator(const TokenValue& declarator, const TokenValue* equals, TreeNode* initializer);
/// The for initialisation of a declaration: one item, or a DECLARATION_GROUP.
TreeNode* MakeForDeclaration(TreeNode* items);

/// FUNCTION_DEFINITION [FUNCTION_HEADER [specifiers..., declarator,
/// parameter declarations...], body].
TreeNode* MakeFunctionDefinition(TreeNode* specifiers, const TokenValue& declarator, TreeNode* parameters,
                                 TreeNode* body);

/// A GNU nested function definition inside a body: an EMPTY leaf from its
/// first token to the end of its body, so that the statement walk copies it
/// untouched. The parts parsed are freed.
TreeNode* MakeNestedFunction(const TokenValue& first, TreeNode* specifiers, TreeNode* declarator,
                             TreeNode* parameters, TreeNode* body);
/// A label (LABEL, CASE or DEFAULT without its statement) right before the
/// construct that follows: the label gets an EMPTY statement at its first
/// token and is followed by its items; returns the label.
TreeNode* PrefixLabel(TreeNode* label, const TokenValue& following);

/// A compound statement: '{' [BLOCK_STATICS?, items...], ending after "}".
TreeNode* MakeCompound(const TokenValue& open, support::NameList* statics, TreeNode* items,
                       const TokenValue& close);

/// Records the declaration's first type specifier; returns the node.
TreeNode* NoteType(TreeNode* specifier);

}  // namespace frontend
