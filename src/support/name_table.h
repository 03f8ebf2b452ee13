// The process-wide name table.
//
// Every name the instrumentor must recognise later is interned once, so that
// equal names are the same NameEntry and the entry's flag word carries what
// the options and pragmas said about it.
#pragma once

#include "support/name_index.h"
#include "support/thread_binding.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace support {

/// Flag bits of NameEntry::flags set by the command line and the excall file.
enum NameFlag : std::uint32_t {
  kMayTerminate = 0x00000008,
  kExcludedCall = 0x00000020,
  kRenameService = 0x00000040,
  kRemoveService = 0x000000C0,  // includes the rename bit
  kSelectedFile = 0x00080000,
  kExcludedFile = 0x00100000,
  kSelectedUnit = 0x00200000,
  kExcludedUnitOrDirectory = 0x00400000,
  kDumpCalling = 0x01000000,
  kDumpIncoming = 0x02000000,
  kDumpReturning = 0x04000000,
  kNoInspectVariable = 0x20000000,
  kNoInspectDirectory = 0x40000000,
};

struct NameEntry {
  std::string text;  // never empty
  std::uint32_t length = 0;
  std::uint32_t flags = 0;
};

struct NameTable {
  std::deque<NameEntry> entries;  // stable storage, released at the end of the run
  NameIndex index;                // lookups by text
  // SplitPath's last answer, keyed by the path's entry: preprocessed files
  // name few files many times.
  const NameEntry* splitKey = nullptr;
  NameEntry* splitName = nullptr;
  NameEntry* splitDirectory = nullptr;
};

/// Binds the names of a run to this thread for the scope. Entries live as
/// long as their table; nothing interned outlives the run.
using NameTableScope = ThreadBinding<NameTable>;

/// The names bound to this thread.
inline NameTable& CurrentNameTable() { return NameTableScope::Current(); }

/// The entry of that exact text (case-sensitive), created with flags 0 when
/// new; none for an empty text.
NameEntry* InternName(std::string_view text);

struct NameListNode {
  NameEntry* entry;
  std::uint32_t count;
};

/// Names in order of first addition; a name occurs once and repeats raise its
/// count.
struct NameList {
  std::vector<NameListNode> nodes;
  std::unordered_map<const NameEntry*, std::size_t> indexOf;
};

/// Adds the entry (or raises its count) and returns its occurrence count.
std::uint32_t AddToNameList(NameList& list, NameEntry* entry);
void FreeNameList(NameList& list);

}  // namespace support
