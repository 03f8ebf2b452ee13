#include "instrument/walk_support.h"

#include "instrument/run_options.h"
#include "frontend/printer.h"
#include "frontend/syntax_tree.h"
#include "instrument/instr_state.h"
#include "output/fdc_file.h"
#include "output/rik_registry.h"
#include "support/file_utils.h"
#include "support/name_table.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace instrument {
namespace {

using frontend::NodeKind;
using frontend::TreeNode;

bool Before(const frontend::SourcePosition& a, const frontend::SourcePosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

void Widen(Span& span, const frontend::TokenPosition& at) {
  if (at.physical.line == 0) return;
  if (span.first.physical.line == 0 || Before(at.physical, span.first.physical)) span.first = at;
  if (span.last.physical.line == 0 || Before(span.last.physical, at.physical)) span.last = at;
}

void Widen(Span& span, const Span& inner) {
  Widen(span, inner.first);
  Widen(span, inner.last);
}

Span OwnPositions(const TreeNode* node) {
  Span span{};
  Widen(span, node->start);
  Widen(span, node->end);
  return span;
}

}  // namespace

bool Covers(std::uint16_t bit) { return (Instr().options->coverage & bit) != 0; }

output::RikPlace PlaceOf(const Span& span) {
  return output::RikPlace{span.first.line, span.first.physical, span.last.line, span.last.physical};
}

// A leaf and a nested block span their own positions; only the other
// children are measured through their subtrees (and cached).
bool SpansItself(const TreeNode* child) { return !child->sons || child->kind == NodeKind::LEFT_BRACE; }

const Span& ConstructExtent(const TreeNode* root) {
  auto& cache = Instr().walk->extents;
  if (const auto found = cache.find(root); found != cache.end()) return found->second;
  if (!root->sons) return cache.emplace(root, OwnPositions(root)).first->second;
  // Post-order without recursion: a node is measured once its children are.
  std::vector<std::pair<const TreeNode*, bool>> pending{{root, false}};
  while (!pending.empty()) {
    auto [node, childrenDone] = pending.back();
    pending.pop_back();
    if (cache.count(node)) continue;
    if (!childrenDone) {
      pending.emplace_back(node, true);
      for (const TreeNode* child = node->sons; child; child = child->next) {
        if (!SpansItself(child) && !cache.count(child)) pending.emplace_back(child, false);
      }
      continue;
    }
    Span extent = OwnPositions(node);
    for (const TreeNode* child = node->sons; child; child = child->next) {
      Widen(extent, SpansItself(child) ? OwnPositions(child) : cache.at(child));
    }
    cache.emplace(node, extent);
  }
  return cache.at(root);
}

std::string BranchArguments(std::uint32_t branch) {
  return "(" + std::to_string(Instr().walk->currentFdc->serial) + "," + std::to_string(branch) + ")";
}

std::string RecordedBranchPath() {
  const std::string& path = Instr().walk->branchPath;
  if (path.size() <= kMaxRecordedPath) return path;
  const std::size_t cut = path.find('/', path.size() - kMaxRecordedPath + 3);
  return "..." + path.substr(cut == std::string::npos ? path.size() - kMaxRecordedPath + 3 : cut);
}

std::string PrintedText(const TreeNode* node, std::int16_t capacity) {
  std::vector<char> buffer(static_cast<std::size_t>(capacity) + 1);
  return frontend::PrintNode(node, buffer.data(), capacity);
}

std::string ShortLocation(const frontend::TokenPosition& at) {
  return support::LocationTextShort(at.File() ? at.File()->text : "", at.line);
}

bool IsInstrStopped(const TreeNode* node) { return node->start.instrStopped || node->end.instrStopped; }

void FindPragmaLines(const std::string& sourcePath) {
  auto& lines = Instr().pragmaLines;
  lines.clear();
  const support::UniqueFile input(std::fopen(sourcePath.c_str(), "rb"));
  if (!input) return;
  std::uint32_t number = 0;
  const auto skipBlanks = [](std::string_view& line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  };
  support::ForEachLine(input.get(), [&lines, &number, &skipBlanks](std::string_view line) {
    ++number;
    skipBlanks(line);
    if (!line.starts_with("#")) return;
    line.remove_prefix(1);
    skipBlanks(line);
    if (line.starts_with("pragma") && line.find("quorb") == std::string_view::npos) lines.insert(number);
  });
}

bool FollowsPragma(const Span& span) {
  const std::uint32_t line = span.first.physical.line;
  return line > 1 && Instr().pragmaLines.count(line - 1) != 0;
}

PathSegment::PathSegment(std::string_view segment) : length_(Instr().walk->branchPath.size()) {
  Instr().walk->branchPath += '/';
  Instr().walk->branchPath += segment;
}

PathSegment::~PathSegment() { Instr().walk->branchPath.resize(length_); }

DeeperLevel::DeeperLevel() { ++Instr().walk->depth; }

DeeperLevel::~DeeperLevel() { --Instr().walk->depth; }

}  // namespace instrument
