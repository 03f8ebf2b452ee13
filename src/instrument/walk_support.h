// Small helpers shared by the statement, expression and call walkers.
#pragma once

#include "instrument/tree_extent.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace frontend {
struct TreeNode;
struct TokenPosition;
}  // namespace frontend

namespace output {
struct RikPlace;
}

namespace instrument {

/// Whether the options select that coverage bit.
bool Covers(std::uint16_t bit);

/// The listing place of a construct: its first and last characters.
output::RikPlace PlaceOf(const Span& span);

/// The first and last characters of a construct: the earliest start and the
/// latest end among its nodes, where a nested compound statement counts
/// only with its braces. Measured once per node and function.
const Span& ConstructExtent(const frontend::TreeNode* node);

/// "(f,n)" of the current FDC file and branch n, as every coverage macro
/// takes them.
std::string BranchArguments(std::uint32_t branch);

/// Longest branch path written into a record: deeper places keep the path's
/// end, after "...", so that deep nesting does not make records grow with it.
inline constexpr std::size_t kMaxRecordedPath = 512;

/// The current branch path as a block record holds it.
std::string RecordedBranchPath();

/// The node printed as a label of at most `capacity` characters.
std::string PrintedText(const frontend::TreeNode* node, std::int16_t capacity);

/// "file line" of a node, for warnings.
std::string ShortLocation(const frontend::TokenPosition& at);

/// Whether the construct was read while instrumentation was stopped.
bool IsInstrStopped(const frontend::TreeNode* node);

/// Notes the lines of the preprocessed input that hold a pragma for the
/// compiler (not a quorb one).
void FindPragmaLines(const std::string& sourcePath);

/// Whether the construct starts on the line after such a pragma: a pragma
/// like "omp parallel for" or "GCC unroll" binds to the statement that
/// follows it, so no text may come between them.
bool FollowsPragma(const Span& span);

/// Pushes "/segment" on the branch path for its lifetime.
class PathSegment {
 public:
  explicit PathSegment(std::string_view segment);
  ~PathSegment();
  PathSegment(const PathSegment&) = delete;
  PathSegment& operator=(const PathSegment&) = delete;

 private:
  std::size_t length_;
};

/// Raises the walk's depth by one for its lifetime.
class DeeperLevel {
 public:
  DeeperLevel();
  ~DeeperLevel();
  DeeperLevel(const DeeperLevel&) = delete;
  DeeperLevel& operator=(const DeeperLevel&) = delete;
};

}  // namespace instrument
