// Reading the blocks of an existing FDC file.
//
// A block begins with its "VE" version line and ends before the first line
// beginning with "VE" that follows the end of the RIK section after its DC
// line, or at the end of the file. The RIK tracker sees every byte read: in a
// RIK section "@" opens and closes tags, and the tag "@.../RIK@" closes the
// section. A block written without RIK section therefore runs on to the end
// of the next block's section, and both are kept or dropped together.
//
// Only what the merge needs is read: the identity of each block (source
// name and directory, date, coverage word, checksum) and where it ends.
// Tokens and quoted fields are bounded; anything longer than the writer can
// produce makes the file invalid.
#pragma once

#include "output/fdc_format.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace output {

struct FdcBlock {
  bool foreign = false;  // another format version or format mark
  std::string sourceName;
  std::string sourceDirectory;
  std::uint32_t date = 0;
  std::uint16_t coverage = 0;
  std::uint32_t checksum = 0;
  std::int64_t endOffset = 0;  // first byte after the block
};

enum class FdcReadError : std::uint8_t {
  kNone,
  kNotValid,         // "%1 is not a valid FDC file"
  kMissingTag,       // "%1 expected but not found in %2"
  kUnknownCoverage,  // "Unknown coverage type in FDC file %1"
  kNoCoverage,       // "%1 has no selected coverage type"
};

struct FdcReadResult {
  std::vector<FdcBlock> blocks;  // in file order
  FdcReadError error = FdcReadError::kNone;
  std::string missingTag;  // with kMissingTag
};

/// Parses the whole stream; on an error the blocks read so far are kept.
FdcReadResult ParseFdcBlocks(std::FILE* stream, std::string_view formatMark);

/// The blocks of the FDC file at `path` (none when it does not exist); an
/// invalid file is fatal with the matching message. Blocks of another format
/// mark are foreign.
std::vector<FdcBlock> ReadFdcBlocks(const std::string& path, std::string_view formatMark);

}  // namespace output
