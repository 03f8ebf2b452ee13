#include "frontend/logical_files.h"

#include "frontend/front_end.h"
#include "support/messages.h"
#include "support/translate.h"

namespace frontend {
namespace {

// Numbers fit the 31 bits a token position keeps for them.
constexpr std::uint32_t kMaxLogicalFiles = 0x7FFFFFFF;

}  // namespace

std::uint32_t InternLogicalFile(support::NameEntry* file, support::NameEntry* directory) {
  LogicalFileTable& table = CurrentFrontEnd().logicalFiles;
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

const LogicalFile& LogicalFileAt(std::uint32_t number) { return CurrentFrontEnd().logicalFiles.pairs[number]; }

}  // namespace frontend
