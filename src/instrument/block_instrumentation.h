// Statement, sequence, ternary, implicit and loop-iteration blocks: each one
// is a BL record, a mark in the instrumented file and a listing entry.
#pragma once

#include <cstdint>
#include <optional>

namespace frontend {
struct TreeNode;
}

namespace instrument {

using BlockNumber = std::optional<std::uint32_t>;

/// Marks the entry of a statement that a decision selects (for an else part
/// the ELSE node, whose statement is marked); texts at the current depth.
BlockNumber InstrStatementBlock(const frontend::TreeNode* statement);

/// Marks the statements from `first` on that follow one after which control
/// may not continue; empties the pending decisions either way.
BlockNumber InstrSequenceBlock(const frontend::TreeNode* first);


/// The implicit block of an if without else; texts after the if statement.
BlockNumber InstrImplicitElse(const frontend::TreeNode* ifStatement);

/// The iteration branches of a loop: "0", "1", "2+" (while and for) or "1",
/// "2+" (do). A loop that a jump can enter from outside gets none.
void InstrLoopBranches(const frontend::TreeNode* loop, const frontend::TreeNode* body);

/// Writes a block record for the construct and registers it for the
/// listing; the current FDC file must be that of the construct.
std::uint32_t RecordBlock(const frontend::TreeNode* construct, std::uint8_t kind, std::uint32_t priority);

}  // namespace instrument
