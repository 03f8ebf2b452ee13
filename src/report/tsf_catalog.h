// The TSF files quorbcc1 writes for tracing and profiling: per block the
// source file, its routines (message identifier, name, line of the opening
// brace) and its location texts, found by the key and checksum of its ID line.
//
//   DB "Grendam-Tracer"             a block; another tracer's block is skipped
//   SO "<source path>" <date> "txt"
//   LK <line>  then  MS <id> "<routine>"    a routine
//   LK 0       then  TX <id> "[<path>,<line>]"  a location in another file
//   ID <key> <checksum>  then  ED          the block's end (decimal numbers)
//
// The runtime's records name a block by the same key and checksum, written in
// hexadecimal; both are read into the same numbers.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace report {

/// A routine as the runtime's records name it.
struct RoutineId {
  std::uint32_t key = 0, checksum = 0, message = 0;
  bool operator==(const RoutineId&) const = default;
  /// The site of what happens outside traced routines ("0x0 0x0 0").
  bool Untraced() const { return key == 0 && checksum == 0 && message == 0; }
};

struct RoutineIdHash {
  std::size_t operator()(const RoutineId& id) const {
    return std::hash<std::uint64_t>()((std::uint64_t{id.key} << 32 | id.checksum) ^ (std::uint64_t{id.message} << 17));
  }
};

struct TsfRoutine {
  std::string name;
  std::uint32_t line = 0;  // of the routine's opening brace
};

struct TsfBlock {
  std::string tsfPath;
  std::string sourcePath;  // full path, from the SO line
  std::string sourceName;  // without the directory
  std::uint32_t key = 0, checksum = 0;
  std::unordered_map<std::uint32_t, TsfRoutine> routines;  // by message identifier
  std::unordered_map<std::uint32_t, std::string> texts;    // by instance identifier
};

struct TsfCatalog {
  std::vector<TsfBlock> blocks;
  std::vector<std::string> files;
  std::unordered_map<std::uint64_t, std::size_t> byIdentity;  // key << 32 | checksum; the first block read

  const TsfBlock* FindBlock(std::uint32_t key, std::uint32_t checksum) const;
  const TsfRoutine* FindRoutine(const RoutineId& id) const;
};

/// Adds the blocks of one TSF file; returns "path:line: what" when the file
/// is malformed, else an empty text.
std::string ParseTsf(const std::string& path, const std::string& text, TsfCatalog& catalog);
std::string ReadTsf(const std::string& path, TsfCatalog& catalog);

/// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace report
