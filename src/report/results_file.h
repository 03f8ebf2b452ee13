// Results files written by the coverage runtime.
//
//   R <pid> <unix time>             one line per section (one process run)
//   F 0x<KEY> 0x<CHECKSUM>          one group per FDC block linked in a unit
//   <kind> <branch> <count>         P, C, B or K; the branches that ran
//
// Groups are kept as read; adding them up is the job of the report model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace report {

enum class BranchKind : std::uint8_t { kProc, kCall, kBlock, kCondition };

struct BranchHit {
  BranchKind kind = BranchKind::kProc;
  std::uint32_t branch = 0;
  std::uint32_t count = 0;
  std::size_t line = 0;  // in the results file
};

struct ResultsGroup {
  std::uint32_t key = 0;
  std::uint32_t checksum = 0;
  std::size_t section = 0;  // 1 for the first R line
  std::size_t line = 0;     // of the F line
  std::vector<BranchHit> hits;
};

struct ResultsFile {
  std::string path;
  std::size_t sections = 0;
  std::vector<ResultsGroup> groups;
};

struct ResultsReadOutcome {
  ResultsFile file;
  std::string error;  // "path:line: what" when the file is not a results file
};

ResultsReadOutcome ParseResults(const std::string& path, const std::string& text);
/// An unreadable file is an error; `missing` is set when it does not exist.
ResultsReadOutcome ReadResults(const std::string& path, bool& missing);

}  // namespace report
