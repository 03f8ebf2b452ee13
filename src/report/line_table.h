// The line-oriented view that lcov and Cobertura want, derived from a file's
// branches.
//
// Branches: every statement and implicit block is a group of one branch;
// every loop a group of its 0, 1 and 2+ branches; every basic condition a
// group of its true and false branches (a case: one branch). Groups are
// numbered from 0 through the file, function by function; a group sits on
// its construct's first line.
// Lines: the first line of every function entry, statement block and branch
// group; a line's count is the largest count of anything starting on it.
// Branches an exclusion marker took out of the count are left out.
#pragma once

#include "report/report_model.h"

#include <cstdint>
#include <map>
#include <vector>

namespace report {

struct LineBranch {
  std::uint32_t line = 0;
  std::uint32_t group = 0;
  std::uint32_t branch = 0;
  std::uint64_t taken = 0;
};

struct LineCount {
  std::uint64_t hits = 0;
  std::uint32_t branches = 0, branchesTaken = 0;
};

struct LineTable {
  std::vector<LineBranch> branches;      // in group order
  std::map<std::uint32_t, LineCount> lines;
};

LineTable DeriveLines(const FileReport& file);

}  // namespace report
