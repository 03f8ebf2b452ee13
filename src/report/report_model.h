// The report: every counted block turned into per-file and per-function
// figures and the branch details the writers show.
//
// How each figure is derived is told in the README, section "Reading
// coverage"; categories.h names the records behind each category.
#pragma once

#include "report/categories.h"
#include "report/condition_tables.h"
#include "report/coverage_data.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace report {

enum class HitState : std::uint8_t { kCovered, kPartly, kNever };

/// A branch of its own: an entry, an exit, a call, a statement or implicit block.
struct BranchItem {
  Category category = Category::kFunctions;
  std::string label;  // the exit kind, the callee, the block path
  std::uint32_t id = 0;
  std::uint32_t first = 0, last = 0;
  std::uint64_t count = 0;
  std::int32_t exclusion = -1;  // index into FileReport::exclusions; -1 when counted
  bool Excluded() const { return exclusion >= 0; }
};

/// A basic condition (true and false) or a case (one branch).
struct ConditionItem {
  std::uint32_t id = 0;
  bool isCase = false;
  std::string text;
  std::uint32_t first = 0, last = 0;
  std::uint64_t trueCount = 0, falseCount = 0;  // a case has only trueCount
  std::int32_t exclusion = -1;  // index into FileReport::exclusions; -1 when counted
  HitState State() const;
  bool Excluded() const { return exclusion >= 0; }
};

struct LoopBranch {
  std::string label;  // "0", "1" or "2+"
  std::uint32_t id = 0;
  std::uint64_t count = 0;
};

struct LoopItem {
  std::string path;  // of the loop statement
  std::uint32_t first = 0, last = 0;
  std::vector<LoopBranch> branches;
  std::int32_t exclusion = -1;  // its branches' exclusion: index into FileReport::exclusions, or -1
  HitState State() const;
  bool Excluded() const { return exclusion >= 0; }
};

struct RowItem {
  std::string text;  // "TFX..." per basic condition
  bool value = false;
  std::uint32_t branch = 0;  // condition branch number
  std::uint64_t count = 0;
};

struct IndependenceItem {
  std::string condition;             // the basic condition's text
  std::vector<output::RowPair> pairs;        // the first 16 pairs that would show it (case tables)
  std::optional<output::RowPair> shownBy;    // the first observed pair
};

struct DecisionItem {
  std::uint32_t id = 0;
  std::uint32_t first = 0, last = 0;
  bool forced = false;
  std::string prefix;             // forced decisions: the prefix form
  std::size_t width = 0;
  std::vector<std::uint32_t> operands;  // the first branch of each basic condition
  std::vector<RowItem> rows;      // the case table; forced: the observed combinations
  std::vector<IndependenceItem> conditions;
  std::uint64_t combinations = 0;  // rows of the table, 2 to the width when forced
  std::uint64_t observed = 0;      // rows or combinations seen
  std::int32_t exclusion = -1;     // of its rows and conditions: index into FileReport::exclusions, or -1
  HitState State() const;
  bool Excluded() const { return exclusion >= 0; }
};

struct FunctionReport {
  std::string name;
  std::uint32_t first = 0, last = 0;
  Figures figures;
  std::vector<BranchItem> branches;
  std::vector<ConditionItem> conditions;
  std::vector<LoopItem> loops;
  std::vector<DecisionItem> decisions;
};

/// An exclusion marker's reach in the source: a line marker's line, or a
/// region from its start marker's line to its stop marker's line.
struct ExclusionItem {
  std::uint32_t first = 0, last = 0;
  bool region = false;
  std::string reason;
  std::uint64_t branches = 0;  // branches beginning in it, over the whole file
};

/// A problem with the markers of a file: one without a reason, a region
/// never closed, a marker that excludes no branch...
struct MarkerWarning {
  std::uint32_t line = 0;
  std::string message;
};

struct FileReport {
  std::string sourcePath;  // relative to the report's root when under it
  std::string fdcPath;
  std::uint32_t key = 0, checksum = 0;
  std::size_t groups = 0;  // results groups counted
  Figures figures;
  std::vector<FunctionReport> functions;  // by first line
  std::string listing;                    // the block's annotated listing, or empty
  std::vector<ExclusionItem> exclusions;      // by first line
  std::vector<MarkerWarning> markerWarnings;  // by line
  // Changed-lines mode: the lines of the new side the diff changes or adds,
  // ascending; only branches beginning on them are in `functions`.
  std::vector<std::uint32_t> changedLines;
};

/// What limits the report to changed lines: a diff file or a git revision.
struct ChangesOrigin {
  std::string diffFile;  // --diff
  std::string gitRef;    // --diff-from
  bool Active() const { return !diffFile.empty() || !gitRef.empty(); }
};

struct Report {
  std::string root;               // absolute; empty when paths are shown as read
  std::vector<FileReport> files;  // chosen sources, by shown path
  Figures total;
  std::vector<StaleGroup> stale;  // olderBuildOf shown like the files' paths
  std::size_t leftOutSources = 0, leftOutGroups = 0;
  std::vector<std::string> fdcFiles, resultsFiles;
  std::size_t sections = 0;
  ChangesOrigin changes;            // active: only branches on changed lines count
  std::size_t unchangedSources = 0; // chosen sources without a changed line, left out
};

/// The changed lines of the new side of a diff, by root-relative path,
/// ascending.
using ChangedLineMap = std::map<std::string, std::vector<std::uint32_t>>;

struct ReportScope {
  bool readMarkers = true;              // exclusion markers in the sources' comments
  ChangesOrigin changes;                // active: `changedLines` limits the report
  const ChangedLineMap* changedLines = nullptr;
};

/// The chosen blocks, their source paths shown relative to `root`; their
/// branches excluded by the sources' markers, and only those on changed
/// lines when the scope says so.
Report BuildReport(const CoverageData& data, const std::string& root = {}, const ReportScope& scope = {});

}  // namespace report
