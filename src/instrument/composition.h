// The composition of a decision: the table of basic-condition values that
// the runtime must tell apart.
//
// A case table has one row per combination the decision can be evaluated
// with; each row holds one character per basic condition: 'T' true, 'F'
// false, 'X' not evaluated. The rows that make the decision true come first.
// For `a && b` the rows are TT, TF, FX (one true row); for `a || b` they are
// TX, FT, FF (two true rows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace frontend {
struct TreeNode;
}

namespace instrument {

struct CaseTable {
  std::uint32_t width = 0;
  std::uint32_t rows = 0;
  std::string cells;  // rows * width characters, row after row

  std::string_view Row(std::uint32_t row) const { return std::string_view(cells).substr(row * width, width); }
};

CaseTable UnionOf(const CaseTable& a, const CaseTable& b);
CaseTable ProductOf(const CaseTable& a, const CaseTable& b);
CaseTable UnevaluatedOf(std::uint32_t width);

/// Largest case table a decision may have: its rows are declared as constant
/// tables in the instrumented file and as counters by the runtime.
inline constexpr std::uint64_t kMaxCaseRows = 65536;

/// The number of true and false rows of the decision, saturating at
/// kMaxCaseRows + 1, found without building the table.
struct RowCounts {
  std::uint64_t trueRows;
  std::uint64_t falseRows;
};
RowCounts CountRows(const frontend::TreeNode* decision);

/// True(E) followed by False(E); `trueRows` is the size of True(E).
struct Composition {
  CaseTable table;
  std::uint32_t trueRows = 0;
};
Composition ComposeCases(const frontend::TreeNode* decision);

/// The prefix form: "A" and both operands for a logical and, "O" for a
/// logical or, "N" and the operand for a logical not, "." for a basic
/// condition; parentheses are transparent.
std::string PrefixForm(const frontend::TreeNode* decision);

/// Whether the node is part of a decision's logical structure (and, or,
/// not, parentheses) rather than a basic condition.
bool IsLogicalStructure(const frontend::TreeNode* node);

/// A logical and or or node; `&&label` is an address, not a decision.
bool IsLogicalOperator(const frontend::TreeNode* node);

}  // namespace instrument
