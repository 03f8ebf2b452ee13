// The logical files of the run: each (file, directory) pair that line
// directives named, numbered in order of first use. A token position holds
// the number, so that syntax-tree nodes stay small.
#pragma once

#include <cstdint>

namespace support {
struct NameEntry;
}

namespace frontend {

struct LogicalFile {
  support::NameEntry* file;       // name without directory, or none
  support::NameEntry* directory;  // ending with "/", or none
};

/// The number of the pair, numbering it when it is new; the pair of no file
/// and no directory is 0. The last pair asked for is answered without a
/// look-up, as the lexer asks once per token.
std::uint32_t InternLogicalFile(support::NameEntry* file, support::NameEntry* directory);

/// The pair numbered `number`.
const LogicalFile& LogicalFileAt(std::uint32_t number);

/// Forgets every pair; numbers given before no longer hold.
void ResetLogicalFiles();

}  // namespace frontend
