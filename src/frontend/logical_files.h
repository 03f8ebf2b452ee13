// The logical files of the run: each (file, directory) pair that line
// directives named, numbered in order of first use. A token position holds
// the number, so that syntax-tree nodes stay small.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace support {
struct NameEntry;
}

namespace frontend {

struct LogicalFile {
  support::NameEntry* file;       // name without directory, or none
  support::NameEntry* directory;  // ending with "/", or none
};

struct LogicalFileHash {
  std::size_t operator()(const LogicalFile& pair) const {
    return std::hash<const void*>()(pair.file) * 31 + std::hash<const void*>()(pair.directory);
  }
};

struct LogicalFileEqual {
  bool operator()(const LogicalFile& a, const LogicalFile& b) const {
    return a.file == b.file && a.directory == b.directory;
  }
};

struct LogicalFileTable {
  std::vector<LogicalFile> pairs{{nullptr, nullptr}};
  std::unordered_map<LogicalFile, std::uint32_t, LogicalFileHash, LogicalFileEqual> numbers;
  LogicalFile lastPair{nullptr, nullptr};  // number 0
  std::uint32_t lastNumber = 0;
};

/// The number of the pair, numbering it when it is new; the pair of no file
/// and no directory is 0. The last pair asked for is answered without a
/// look-up, as the lexer asks once per token.
std::uint32_t InternLogicalFile(support::NameEntry* file, support::NameEntry* directory);

/// The pair numbered `number`.
const LogicalFile& LogicalFileAt(std::uint32_t number);

}  // namespace frontend
