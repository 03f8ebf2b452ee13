// The first and last characters of a construct in the preprocessed input.
#pragma once

#include "frontend/source_position.h"
#include "frontend/syntax_tree.h"

namespace instrument {

struct Extent {
  frontend::SourcePosition first;
  frontend::SourcePosition last;
};

/// The first and last characters of a construct with their logical files
/// and lines.
struct Span {
  frontend::TokenPosition first;
  frontend::TokenPosition last;
};

/// Spans the starts and ends of every node of the subtree; a node without a
/// recorded end counts with its start.
Extent ExtentOf(const frontend::TreeNode* node);

}  // namespace instrument
