// The run-wide instrumentation state, reset once per run by InstrumentFile
// and read by every instrumentation step.
#pragma once

#include "instrument/function_metrics.h"
#include "instrument/modification_buffer.h"
#include "instrument/tree_extent.h"
#include "support/thread_binding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace frontend {
struct FrontEnd;
struct TreeNode;
}
namespace output {
struct FdcFile;
class FdcWriter;
struct RikItem;
struct TsfFile;
class TsfWriter;
}
namespace support {
struct NameEntry;
}

namespace instrument {

struct RunOptions;

/// One case or default label of a switch being walked.
struct SwitchEntry {
  const frontend::TreeNode* label;
  std::optional<std::uint32_t> block;
  bool hasCondition;
};

/// A switch being walked: its labels in order, the implicit default among
/// them.
struct SwitchContext {
  const frontend::TreeNode* node;
  bool hasConditions = false;
  std::vector<SwitchEntry> entries;
};

/// One decision's case table, declared by the prologue.
struct CompoundTableEntry {
  std::uint32_t index;
  std::uint32_t rows;
  std::uint32_t width;
  std::string cells;  // rows * width characters over T, F and X
};

/// The walk of one function: created when its instrumentation starts and
/// dropped when it ends.
struct FunctionWalk {
  const frontend::TreeNode* function = nullptr;
  support::NameEntry* functionName = nullptr;
  std::uint32_t depth = 0;              // nesting depth inside the function body
  std::string branchPath;               // "/"-separated place inside the function
  output::FdcFile* currentFdc = nullptr;  // FDC file of the construct's source file
  output::TsfFile* currentTsf = nullptr;  // TSF file of the traced function's source file
  std::uint32_t routineNumber = 0;      // 0: the function is not traced
  FunctionMetrics metrics{};            // for its listing entry, with -METRICS

  // The statement walk.
  std::unordered_map<const frontend::TreeNode*, Span> extents;  // constructs measured so far
  std::unordered_map<const frontend::TreeNode*, std::uint8_t> leavingWays;  // LeavingBit of measured nodes
  std::unordered_set<const frontend::TreeNode*> loopsEnteredFromOutside;
  std::unordered_set<const frontend::TreeNode*> loopsLeftByComputedGoto;  // no cleanup runs on such a jump
  std::vector<SwitchContext> switches;          // innermost last
  std::vector<output::RikItem*> pendingDecisions;  // left by a jump, waiting for a sequence block
};

/// The instrumentation of one source file: made by InstrumentFile for its
/// run and bound to the thread that walks (InstrScope).
struct InstrState {
  InstrState(const RunOptions& options, frontend::FrontEnd& frontEnd, output::FdcWriter& fdc,
             output::TsfWriter& tsf, support::NameEntry* mainFile, support::NameEntry* mainDirectory);
  InstrState(const InstrState&) = delete;
  InstrState& operator=(const InstrState&) = delete;

  const RunOptions* options = nullptr;
  frontend::FrontEnd* frontEnd = nullptr;  // what the parses produced
  output::FdcWriter* fdc = nullptr;  // the run's writers
  output::TsfWriter* tsf = nullptr;
  std::uint32_t kindMask = 0;  // bits of frontend::InsertKind, as the insert pragmas use them
  bool forcedEvaluation = false;
  ModificationBuffer modifications;
  std::uint32_t deepGlobalCount = 0;
  support::NameEntry* mainName = nullptr;
  // With -NOINCLUDE: the main source file, the only one instrumented.
  support::NameEntry* mainFile = nullptr;
  support::NameEntry* mainDirectory = nullptr;
  bool startOfMainSeen = false;
  std::uint32_t lineCounter = 1;  // lines of the instrumented file written so far

  FunctionWalk* walk = nullptr;  // the function being instrumented, none between functions
  bool nestingLimitReported = false;

  std::vector<CompoundTableEntry> compoundTable;  // every decision of the run, in creation order
  std::unordered_set<std::uint32_t> pragmaLines;  // lines of the input holding a #pragma the compiler reads
  std::int16_t splicedPrologueTexts = 0;          // prologue texts placed at the "nothing before" mark
};

/// Makes `walk` the function walk of `state` for the scope's lifetime.
class WalkScope {
 public:
  WalkScope(InstrState& state, FunctionWalk& walk) : state_(state) { state_.walk = &walk; }
  ~WalkScope() { state_.walk = nullptr; }
  WalkScope(const WalkScope&) = delete;
  WalkScope& operator=(const WalkScope&) = delete;

 private:
  InstrState& state_;
};

/// Priority of a text at the current depth: outer constructs get larger ones.
inline std::uint32_t DepthPriority(const InstrState& state) { return kNestingPriority - state.walk->depth; }

/// Binds an instrumentation to this thread for the scope.
using InstrScope = support::ThreadBinding<InstrState>;

/// The instrumentation bound to this thread.
inline InstrState& Instr() { return InstrScope::Current(); }

/// The kind mask the options select.
std::uint32_t KindMaskOf(const RunOptions& options);

/// Any coverage type or runtime analysis is selected.
bool AnySelected(const RunOptions& options);
/// The annotated listing is written: some coverage type and no -NOCVI.
bool ProducesListing(const RunOptions& options);
/// The dump texts of coverage and profiling apply (not only tracing).
bool DumpsCoverage(const RunOptions& options);
/// The source file is listed by -EXFILE.
bool IsExcludedSourceFile(const support::NameEntry* name, const support::NameEntry* directory);

/// Priority of a text one level further out than DepthPriority.
inline std::uint32_t OuterPriority(const InstrState& state) { return DepthPriority(state) + 1; }

/// Adds a text to the run's modification buffer.
void AddText(const frontend::SourcePosition& at, std::uint32_t priority, Where where, std::string text);

}  // namespace instrument
