// gcc's own coverage of a program, as `gcov --branch-probabilities
// --json-format` reports it (format version 1 of gcc 12).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gcovcheck {

struct GcovLine {
  std::uint64_t count = 0;
  bool hasBranches = false;  // a conditional jump leaves one of its blocks
  bool shared = false;       // reported for several functions
};

struct GcovFunction {
  std::string name;
  std::uint32_t startLine = 0;
  std::uint64_t count = 0;  // entries
};

struct GcovSource {
  std::string path;  // absolute and clean
  std::map<std::uint32_t, GcovLine> lines;
  std::vector<GcovFunction> functions;
};

struct GcovReport {
  std::vector<GcovSource> sources;
  std::string error;  // empty when the report was read whole
};

/// Reads the JSON report at `path`; relative source names are taken from
/// `compileDirectory`, where the program was compiled.
GcovReport ReadGcovReport(const std::string& path, const std::string& compileDirectory);

/// `path` made absolute from `directory` and cleaned of "." and "..".
std::string CleanPath(const std::string& directory, const std::string& path);

}  // namespace gcovcheck
