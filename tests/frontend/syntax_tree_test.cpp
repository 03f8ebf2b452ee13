#include "frontend/syntax_tree.h"

#include "bound_front_end.h"
#include "bound_run.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace frontend {
namespace {

class SyntaxTreeTest : public ::testing::Test {
 protected:
  BoundRun run_;
  BoundFrontEnd frontEnd;

  static TokenValue Token(const char* spelling, std::uint32_t line, std::uint32_t column) {
    TokenValue value{};
    value.alpha = spelling ? support::InternName(spelling) : nullptr;
    value.position.line = line;
    value.position.physical = {line, column};
    return value;
  }
};

TEST_F(SyntaxTreeTest, AppendingAChainToItselfEndsTheRunInsteadOfLooping) {
  EXPECT_EXIT(
      {
        static TreeNode* a = CreateNode(NodeKind::IDENTIFIER, nullptr);
        AppendSibling(a, CreateNode(NodeKind::IDENTIFIER, nullptr));
        AppendSibling(a, a);
        AppendSibling(a, a);
      },
      ::testing::ExitedWithCode(support::kExitFatal), "Cannot recover from earlier errors");
  // A cycle behind the head is found too.
  EXPECT_EXIT(
      {
        static TreeNode* nodes[4];  // reachable, so the leak check stays quiet at the exit
        nodes[0] = CreateNode(NodeKind::IDENTIFIER, nullptr);
        nodes[1] = CreateNode(NodeKind::IDENTIFIER, nullptr);
        nodes[2] = CreateNode(NodeKind::IDENTIFIER, nullptr);
        nodes[3] = CreateNode(NodeKind::EMPTY, nullptr);
        nodes[0]->next = nodes[1];
        nodes[1]->next = nodes[2];
        nodes[2]->next = nodes[1];
        AppendSibling(nodes[0], nodes[3]);
      },
      ::testing::ExitedWithCode(support::kExitFatal), "Cannot recover from earlier errors");
}

TEST_F(SyntaxTreeTest, AnEndSpanningADigraphAddressesItsLastCharacter) {
  TreeNode* node = CreateNode(NodeKind::IDENTIFIER, nullptr);
  const TokenValue brace = Token(nullptr, 9, 20);
  SetEndPositionSpan(node, &brace, 2);  // "%>"
  EXPECT_EQ(node->end.physical, (SourcePosition{9, 21}));
  SetEndPosition(node, nullptr);  // no token: the end stays
  EXPECT_EQ(node->end.physical, (SourcePosition{9, 21}));
  FreeTree(node);
}

TEST_F(SyntaxTreeTest, SetAlphaUsesTheContinuationRecordOnceForTheContinuedToken) {
  // "ab\<nl>cd\<nl>efg" starting at line 5 column 10: spelling "abcdefg".
  const TokenValue value = Token("\"abcdefg\"", 5, 10);
  LexerContinuation() = {true, value.position, 2, 4};
  TreeNode* other = CreateNode(NodeKind::IDENTIFIER, nullptr);
  const TokenValue elsewhere = Token("zz", 1, 1);
  other->start = elsewhere.position;
  SetAlpha(other, &elsewhere);  // a different token leaves the record pending
  EXPECT_TRUE(LexerContinuation().pending);

  TreeNode* node = CreateNode(NodeKind::STRING_LITERAL, &value);
  SetAlpha(node, &value);
  EXPECT_EQ(node->end.physical, (SourcePosition{7, 4}));
  EXPECT_EQ(node->end.line, 7u);
  EXPECT_FALSE(LexerContinuation().pending);

  SetAlpha(node, &value);  // without the record: plain length
  EXPECT_EQ(node->end.physical, (SourcePosition{5, 18}));
  FreeTree(node);
  FreeTree(other);
}

TEST_F(SyntaxTreeTest, ReleaseTreesReleasesBlockStaticsButNotTheNames) {
  support::NameEntry* counter = support::InternName("counter");
  TreeNode* statics = CreateNode(BLOCK_STATICS, nullptr);
  AttachStatics(statics, new support::NameList);
  support::AddToNameList(*statics->statics, counter);
  TreeNode* block = CreateNodeWithChildren(NodeKind::LEFT_BRACE, nullptr, statics);
  FreeTree(block);  // the list outlives a dropped tree
  frontEnd->ReleaseTrees();  // the sanitizer build checks the list is released here
  EXPECT_EQ(support::InternName("counter"), counter);
  EXPECT_EQ(counter->text, "counter");
}

TEST_F(SyntaxTreeTest, ADroppedCachedChainIsNotExtendedThroughItsReusedNodes) {
  TreeNode* head = CreateNode(NodeKind::IDENTIFIER, nullptr);
  TreeNode* tail = CreateNode(NodeKind::IDENTIFIER, nullptr);
  AppendSibling(head, tail);  // caches head and its last node, tail
  head->next = nullptr;
  FreeTree(head);
  FreeTree(tail);
  // Reused last dropped first: `second` is head's memory, `first` tail's. A
  // stale cache would take `first` for the end of `second`'s chain.
  TreeNode* first = CreateNode(NodeKind::EMPTY, nullptr);
  TreeNode* second = CreateNode(NodeKind::EMPTY, nullptr);
  ASSERT_EQ(second, head);
  ASSERT_EQ(first, tail);
  TreeNode* third = CreateNode(NodeKind::EMPTY, nullptr);
  EXPECT_EQ(AppendSibling(second, third), second);
  EXPECT_EQ(second->next, third);
  EXPECT_EQ(first->next, nullptr);
}

// Freed on a thread with a 256 KiB stack: a recursive walk over 200000
// levels would overflow it and crash the test.
TEST_F(SyntaxTreeTest, FreeTreeHandlesADeepLeftSpine) {
  constexpr int kDepth = 200000;
  TreeNode* root = CreateNode(NodeKind::IDENTIFIER, nullptr);
  for (int i = 0; i < kDepth; ++i) {
    root = CreateNodeWithChildren(NodeKind::PLUS, nullptr, root, CreateNode(NodeKind::IDENTIFIER, nullptr));
  }
  int spine = 0;
  for (const TreeNode* node = root; node->kind == NodeKind::PLUS; node = node->sons) ++spine;
  ASSERT_EQ(spine, kDepth);

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  struct Work {
    FrontEnd* frontEnd;
    TreeNode* tree;
  } work{&*frontEnd, root};
  auto freeTree = [](void* argument) -> void* {
    const Work& work = *static_cast<Work*>(argument);
    const FrontEndScope binding(*work.frontEnd);
    FreeTree(work.tree);
    return work.tree;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, freeTree, &work), 0);
  void* freed = nullptr;
  EXPECT_EQ(pthread_join(thread, &freed), 0);
  EXPECT_EQ(freed, root);
  pthread_attr_destroy(&attributes);
}

}  // namespace
}  // namespace frontend
