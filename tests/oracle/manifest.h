// The generator's manifest and the program's printed truth, as the count
// oracle reads them.
//
// Manifest line: "<TAG> <line> <function> <fields...> = <values>", a value
// being a sum of counters ("T3+T8") or "0". Truth lines: "truth <k> <count>"
// and "row <decision> <M|F> <row> <count>".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace oracle {

struct ManifestEntry {
  std::string tag;
  unsigned line = 0;
  std::string function;
  std::vector<std::string> fields;
  std::vector<std::string> values;  // sums
  std::size_t sourceLine = 0;       // in the manifest
};

struct Truth {
  std::map<unsigned, std::uint64_t> counters;
  // decision -> mode ('M' short-circuit, 'F' every condition) -> row -> count
  std::map<unsigned, std::map<char, std::map<std::string, std::uint64_t>>> rows;

  /// The value of a sum "T3+T8" ("0" is 0); false when malformed.
  bool Evaluate(const std::string& sum, std::uint64_t& value) const;
};

/// Reads the manifest; on failure returns false with `error` set.
bool ReadManifest(const std::string& path, std::vector<ManifestEntry>& entries, std::string& error);
/// Reads the program's standard output; other lines are ignored.
bool ReadTruth(const std::string& path, Truth& truth, std::string& error);

}  // namespace oracle
