// Runtime tracing and profiling of a function: its registration as a traced
// routine in the TSF file of its source file, its entry and exit texts, the
// memory-profiling line offsets that tell the runtime where an exit or a
// call happens, and the deep globals (static locals that memory profiling
// watches).
#pragma once

#include <string>

namespace frontend {
struct TokenPosition;
struct TreeNode;
}

namespace instrument {

/// Makes the function a traced routine when an analysis is selected and its
/// body's file is instrumented: sets the current TSF file and the routine
/// number (0 otherwise).
void RegisterTracedRoutine(const frontend::TreeNode* body);

/// The stack entry and the analyses' entry macros before the opening brace.
void AddTracedEntryTexts(const frontend::TreeNode* body);

/// The analyses' exits before a reachable closing brace.
void AddTracedExitTexts(const frontend::TreeNode* body);

/// The second argument of a line-offset macro for a location: its line
/// relative to the body's opening in the function's own file, else the
/// identifier of its location text in the TSF file.
std::string LineOffsetArguments(const frontend::TokenPosition& location);

/// The line-offset texts of memory profiling: with both locations the
/// expression form around them, with the end only the "+" expression form,
/// with the start only the statement form; anchored at the start if given,
/// else at the end, before it or after it.
void InstrLineOffset(const frontend::TokenPosition* start, const frontend::TokenPosition* end, bool after);

/// The "+" expression form of a line offset, for texts built in one piece.
std::string LineOffsetExpression(const frontend::TokenPosition& location);
/// The statement form of a line offset, for texts built in one piece.
std::string LineOffsetStatement(const frontend::TokenPosition& location);

/// Numbers the referenced static locals of a body as deep globals.
void InstrExternStatic(const frontend::TreeNode* body);

/// InstrExternStatic for a compound statement of a traced routine that
/// declares referenced statics, when memory profiling inspects them.
void InspectBlockStatics(const frontend::TreeNode* block);

}  // namespace instrument
