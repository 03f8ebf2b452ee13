// The branch records of FDC blocks, as the report reads them.
//
// One FdcUnit is one block of an FDC file: the identity of a build of one
// source file (key and checksum, as the results files name it) and every
// branch record between its TC and DC lines. The merge reader of output/
// finds the blocks and rejects invalid files; this module reads the records
// inside each block's byte range. A range may hold several blocks, since the
// merge reader runs a block written without RIK section on into the next
// one; the records reader splits them again at their "VE" lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

enum class ProcKind : std::uint8_t { kProc, kEndproc, kReturn, kTerm };
enum class BlockKind : std::uint8_t { kSimple, kImplicit, kLogical, kQbc };

struct ProcRecord {  // PR: one branch P id
  std::uint32_t id = 0;
  ProcKind kind = ProcKind::kProc;
  std::string function;
  std::uint32_t first = 0, last = 0;
};

struct CallRecord {  // AP: one branch C id
  std::uint32_t id = 0;
  std::string function, callee;
  std::uint32_t first = 0, last = 0;
};

struct BlockRecord {  // BL: one branch B id
  std::uint32_t id = 0;
  BlockKind kind = BlockKind::kSimple;
  std::string function, path;
  std::uint32_t first = 0, last = 0;
};

struct CaseRecord {  // CA: K id; CE: K id (true) and K id + 1 (false)
  std::uint32_t id = 0;
  bool isCase = false;
  std::string function, text;
  std::uint32_t first = 0, last = 0;
};

struct DecisionRecord {  // CC: K id ... K id + branchCount - 1
  std::uint32_t id = 0;
  std::vector<std::uint32_t> operands;  // the CE ids of its basic conditions
  std::uint32_t branchCount = 0;
  std::string text;                      // case table rows, or the prefix form when forced
  std::optional<std::uint32_t> trueRows;  // none for a forced decision
  bool Forced() const { return !trueRows; }
};

struct FdcUnit {
  std::string fdcPath;
  std::string sourceName, sourceDirectory;
  std::uint32_t date = 0;
  std::uint16_t coverage = 0;
  std::uint32_t checksum = 0;
  std::uint32_t key = 0;  // from the DC line, else the key of the full source path
  std::vector<ProcRecord> procs;
  std::vector<CallRecord> calls;
  std::vector<BlockRecord> blocks;
  std::vector<CaseRecord> cases;
  std::vector<DecisionRecord> decisions;
  // Branch numbers taken per kind: records are numbered in file order, and
  // every valid branch of a results line is below these.
  std::uint32_t procIds = 0, callIds = 0, blockIds = 0, conditionIds = 0;
  std::string listing;  // the annotated listing, "@RIK" to "@/NODE /RIK@"; empty without one

  std::string SourcePath() const;
};

struct FdcReadOutcome {
  std::vector<FdcUnit> units;  // blocks of this format, in file order
  std::string error;           // empty when the file was read whole
};

/// Reads every block of the FDC file at `path`. Blocks of another format
/// version or format mark are left out.
FdcReadOutcome ReadFdcUnits(const std::string& path);

/// The same on text already in memory (`path` only names it in messages).
FdcReadOutcome ParseFdcUnits(const std::string& path, const std::string& text);

}  // namespace report
