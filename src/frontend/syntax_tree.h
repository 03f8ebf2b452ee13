// The syntax tree built by the parser's actions and read by the
// instrumentation.
//
// Every node carries the positions of its first token and, where its kind
// records one, of its last character: both the logical file and line of the
// user's source and the physical line and column in the preprocessed input.
// Nodes are allocated zero-filled and never moved, so the modification buffer
// may keep pointers to their positions. A node owns the chain of its children
// (sons, then each child's next); siblings are owned by their parent.
//
// Nodes come from one arena: a subtree the parser drops (FreeTree) goes to a
// free list that later nodes reuse, and the tree that lives until the end of
// the run is released at once with the front end that holds it, without a walk.
#pragma once

#include "frontend/logical_files.h"
#include "frontend/node_kind.h"
#include "frontend/source_position.h"
#include "support/arena.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace support {
struct NameEntry;
struct NameList;
}  // namespace support

namespace frontend {

struct TokenPosition {
  std::uint32_t line;              // logical line in the file of the latest line directive
  std::uint32_t place : 31;        // its LogicalFile: file name and directory
  std::uint32_t instrStopped : 1;  // read while instrumentation was stopped
  SourcePosition physical;         // physical line and column in the preprocessed input

  /// The logical file name, without directory.
  support::NameEntry* File() const { return LogicalFileAt(place).file; }
  /// Its directory, ending with "/".
  support::NameEntry* Directory() const { return LogicalFileAt(place).directory; }
  void SetPlace(support::NameEntry* file, support::NameEntry* directory) {
    place = InternLogicalFile(file, directory);
  }
};

bool operator==(const TokenPosition& a, const TokenPosition& b);

/// The semantic value of a token or grammar symbol. It stays trivially
/// copyable: the parser's value stack is moved with memcpy when it grows.
struct TokenValue {
  support::NameEntry* alpha;
  TokenPosition position;
  struct TreeNode* node;
};

struct TreeNode {
  NodeKind kind;
  union {
    support::NameEntry* alpha;   // spelling of the token the node was made from
    support::NameList* statics;  // BLOCK_STATICS only; owned by the tree storage (AttachStatics)
  };
  TokenPosition start;
  TokenPosition end;  // all zero where the kind records no end
  TreeNode* next;
  TreeNode* sons;
};

static_assert(std::is_trivially_copyable_v<TokenPosition>);
static_assert(std::is_trivially_copyable_v<TokenValue>);
static_assert(std::is_trivially_copyable_v<TreeNode>);
static_assert(sizeof(TreeNode) <= 64, "nodes are most of a run's memory");

/// The lexer's note about the latest token whose spelling lost line breaks
/// (or that stands for a skipped group): SetAlpha gives the node made from
/// that token its true end.
struct ContinuationRecord {
  bool pending;
  TokenPosition position;     // the token's start
  std::uint32_t breaks;       // line breaks between its first and last character
  std::uint32_t endColumn;    // column of its last character
};

/// The one-entry tail cache of AppendSibling.
struct TreeBuilderState {
  TreeNode* cachedHead;
  TreeNode* cachedLast;
};

/// Where every node and block statics list of a run lives.
struct TreeStorage {
  support::Arena arena;
  TreeNode* freeNodes = nullptr;  // dropped nodes, linked through next
  std::vector<std::unique_ptr<support::NameList>> statics;
};

/// Forgets the tail cache; called at the start of every parse.
void ResetTreeBuilder();

/// A zero-filled node of that kind; with a value, its alpha and position.
TreeNode* CreateNode(NodeKind kind, const TokenValue* value);
TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1);
TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2);
TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3);
TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3, TreeNode* c4);
TreeNode* CreateNodeWithChildren(NodeKind kind, const TokenValue* value, TreeNode* c1, TreeNode* c2,
                                 TreeNode* c3, TreeNode* c4, TreeNode* c5);

/// Attaches child (with its siblings) after the parent's last child; returns
/// the parent. A none parent is an internal error.
TreeNode* AppendChild(TreeNode* parent, TreeNode* child);

/// Links second after the last node of first; returns the head of the joined
/// chain. A cyclic chain ends the run through the panic exit.
TreeNode* AppendSibling(TreeNode* first, TreeNode* second);

void SetEndPosition(TreeNode* node, const TokenValue* value);
/// As SetEndPosition, then moves the end to the last character of a token of
/// that length.
void SetEndPositionSpan(TreeNode* node, const TokenValue* value, std::uint32_t length);

/// Sets alpha from the value and the end from the start and the spelling's
/// length, or from the continuation record when the node is that token.
void SetAlpha(TreeNode* node, const TokenValue* value);

/// Gives the node's memory and its descendants', not its siblings', back for
/// reuse by later nodes. Their block statics lists stay until the trees are
/// released.
void FreeTree(TreeNode* node);

/// Makes the holder's statics the list, which the tree storage now owns.
void AttachStatics(TreeNode* holder, support::NameList* statics);

}  // namespace frontend
