#include "instrument/jump_analysis.h"

#include "frontend/name_flags.h"
#include "frontend/syntax_tree.h"
#include "instrument/instr_state.h"
#include "instrument/walk_support.h"
#include "support/name_table.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool IsLoop(const TreeNode* node) {
  return node->kind == NodeKind::WHILE || node->kind == NodeKind::DO || node->kind == NodeKind::FOR;
}

std::uint8_t OwnWays(const TreeNode* node) {
  switch (node->kind) {
    case NodeKind::RETURN:
    case NodeKind::GOTO:
    case NodeKind::TRY:
      return kLeavesByJump;
    case NodeKind::BREAK:
      return kLeavesByBreak;
    case NodeKind::CONTINUE:
      return kLeavesByContinue;
    case NodeKind::CALL:
      return IsTerminatingCall(node) ? kLeavesByCall : 0;
    default:
      return 0;
  }
}

// A loop keeps the breaks and continues of its body; a switch its breaks.
std::uint8_t Contained(const TreeNode* node, std::uint8_t ways) {
  if (IsLoop(node)) return ways & ~(kLeavesByBreak | kLeavesByContinue);
  if (node->kind == NodeKind::SWITCH) return ways & ~kLeavesByBreak;
  return ways;
}

// A jump into a subtree: the node it starts from and the label it reaches.
struct Jump {
  std::uint32_t from;
  std::uint32_t to;
};

}  // namespace

bool IsTerminatingCall(const TreeNode* call) {
  if (!call || call->kind != NodeKind::CALL) return false;
  const TreeNode* callee = call->sons;
  while (callee && callee->kind == NodeKind::LEFT_PAREN) callee = callee->sons;
  return callee && callee->kind == NodeKind::IDENTIFIER && callee->alpha &&
         (callee->alpha->flags & frontend::kTerminatingFunction);
}

std::uint8_t LeavingWays(const TreeNode* part) {
  auto& cache = Instr().walk->leavingWays;
  if (!part) return 0;
  // The cache keeps a node's ways before its own loop or switch takes back
  // the breaks and continues that belong to it; the part's answer after.
  if (const auto found = cache.find(part); found != cache.end()) return Contained(part, found->second);
  std::vector<std::pair<const TreeNode*, bool>> pending{{part, false}};
  while (!pending.empty()) {
    auto [node, childrenDone] = pending.back();
    pending.pop_back();
    if (cache.count(node)) continue;
    if (!childrenDone && node->sons) {
      pending.emplace_back(node, true);
      for (const TreeNode* child = node->sons; child; child = child->next) pending.emplace_back(child, false);
      continue;
    }
    std::uint8_t ways = OwnWays(node);
    for (const TreeNode* child = node->sons; child; child = child->next) ways |= Contained(child, cache.at(child));
    cache.emplace(node, ways);
  }
  return Contained(part, cache.at(part));
}

void FindLoopsEnteredFromOutside(const TreeNode* body) {
  InstrState& state = Instr();
  state.walk->loopsEnteredFromOutside.clear();
  state.walk->loopsLeftByComputedGoto.clear();
  // Pre-order numbers: a loop's subtree is the range [first, last].
  struct LoopRange {
    const TreeNode* node;
    std::uint32_t first;
    std::uint32_t last;
  };
  std::vector<LoopRange> loops;
  std::unordered_map<const support::NameEntry*, std::uint32_t> labels;
  std::vector<std::pair<const support::NameEntry*, std::uint32_t>> gotos;
  std::vector<Jump> jumps;
  std::vector<std::uint32_t> computedGotos;
  std::vector<const support::NameEntry*> takenAddresses;  // labels a computed goto may reach
  // Each entry: a node with the innermost switch and loop numbers above it
  // (0: none), or the end of the loop loops[innerLoop] (done).
  struct Visit {
    const TreeNode* node;
    std::uint32_t innerSwitch;
    std::uint32_t innerLoop;
    bool done;
  };
  std::vector<Visit> pending{{body, 0, 0, false}};
  std::vector<const TreeNode*> open;
  std::uint32_t counter = 0;
  while (!pending.empty()) {
    Visit visit = pending.back();
    pending.pop_back();
    const TreeNode* node = visit.node;
    if (visit.done) {
      loops[visit.innerLoop].last = counter;
      continue;
    }
    const std::uint32_t number = ++counter;
    std::uint32_t innerSwitch = visit.innerSwitch;
    std::uint32_t innerLoop = visit.innerLoop;
    switch (node->kind) {
      case NodeKind::CASE:
      case NodeKind::DEFAULT:
        // A label of a switch outside the innermost loop enters that loop.
        if (innerLoop > innerSwitch) jumps.push_back({innerSwitch, number});
        break;
      case NodeKind::LABEL:
        if (node->sons && node->sons->alpha) labels[node->sons->alpha] = number;
        break;
      case NodeKind::GOTO:
        if (node->sons && node->sons->kind == NodeKind::IDENTIFIER) gotos.emplace_back(node->sons->alpha, number);
        else computedGotos.push_back(number);
        break;
      case NodeKind::AND_OP:
        if (node->sons && !node->sons->next && node->sons->alpha) takenAddresses.push_back(node->sons->alpha);
        break;
      default:
        break;
    }
    if (node->kind == NodeKind::SWITCH) innerSwitch = number;
    if (IsLoop(node)) {
      innerLoop = number;
      pending.push_back({node, 0, static_cast<std::uint32_t>(loops.size()), true});
      loops.push_back({node, number, 0});
    }
    for (const TreeNode* child = node->sons; child; child = child->next) {
      pending.push_back({child, innerSwitch, innerLoop, false});
    }
  }
  for (const auto& [name, from] : gotos) {
    if (const auto label = labels.find(name); label != labels.end()) jumps.push_back({from, label->second});
  }
  std::vector<std::uint32_t> reachableLabels;
  if (!computedGotos.empty()) {
    for (const support::NameEntry* name : takenAddresses) {
      if (const auto label = labels.find(name); label != labels.end()) reachableLabels.push_back(label->second);
    }
  }
  for (const LoopRange& loop : loops) {
    const auto inside = [&loop](std::uint32_t n) { return n >= loop.first && n <= loop.last; };
    bool entered = false;
    for (const Jump& jump : jumps) entered = entered || (inside(jump.to) && !inside(jump.from));
    bool leftByComputedGoto = false;
    bool computedGotoOutside = false;
    for (const std::uint32_t from : computedGotos) {
      leftByComputedGoto = leftByComputedGoto || inside(from);
      computedGotoOutside = computedGotoOutside || !inside(from);
    }
    // A computed goto reaches only labels whose address is taken.
    if (!entered && computedGotoOutside) {
      for (const std::uint32_t label : reachableLabels) entered = entered || inside(label);
    }
    if (entered) state.walk->loopsEnteredFromOutside.insert(loop.node);
    if (leftByComputedGoto) state.walk->loopsLeftByComputedGoto.insert(loop.node);
  }
}

}  // namespace instrument
