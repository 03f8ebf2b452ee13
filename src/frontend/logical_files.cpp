#include "frontend/logical_files.h"

#include "support/messages.h"
#include "support/translate.h"

#include <functional>
#include <unordered_map>
#include <vector>

namespace frontend {
namespace {

struct PairHash {
  std::size_t operator()(const LogicalFile& pair) const {
    return std::hash<const void*>()(pair.file) * 31 + std::hash<const void*>()(pair.directory);
  }
};

struct PairEqual {
  bool operator()(const LogicalFile& a, const LogicalFile& b) const {
    return a.file == b.file && a.directory == b.directory;
  }
};

// Numbers fit the 31 bits a token position keeps for them.
constexpr std::uint32_t kMaxLogicalFiles = 0x7FFFFFFF;

struct LogicalFileTable {
  std::vector<LogicalFile> pairs{{nullptr, nullptr}};
  std::unordered_map<LogicalFile, std::uint32_t, PairHash, PairEqual> numbers;
  LogicalFile lastPair{nullptr, nullptr};  // number 0
  std::uint32_t lastNumber = 0;
};

LogicalFileTable table;

}  // namespace

std::uint32_t InternLogicalFile(support::NameEntry* file, support::NameEntry* directory) {
  if (file == table.lastPair.file && directory == table.lastPair.directory) return table.lastNumber;
  const LogicalFile pair{file, directory};
  auto [entry, added] = table.numbers.try_emplace(pair, static_cast<std::uint32_t>(table.pairs.size()));
  if (added) {
    if (table.pairs.size() > kMaxLogicalFiles) {
      support::DisplayFatalError(support::Translate("Fatal Error", "Too many files named by line directives"));
    }
    table.pairs.push_back(pair);
  }
  table.lastPair = pair;
  table.lastNumber = entry->second;
  return entry->second;
}

const LogicalFile& LogicalFileAt(std::uint32_t number) { return table.pairs[number]; }

void ResetLogicalFiles() { table = LogicalFileTable{}; }

}  // namespace frontend
