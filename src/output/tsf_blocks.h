// Reading the blocks of an existing TSF file.
//
// A block begins with a "DB" line and ends before the next line beginning
// with "DB", or at the end of the file. A block of another tool begins with
// "tsf" and runs to the next line beginning with "tsf". A "DB" block is
// foreign when its tracer name, provider name, provider flags or format
// version differ from this run's; otherwise its source path and date (SO
// line) and its key and checksum (ID line) identify it for the merge.
//
// Every way a file can be broken has its number, shown in the message
// "%1 is not a valid tsf file (#%2)":
//   1 fewer than three characters; 2 a block begins with neither "DB" nor
//   "tsf"; 3 no tracer name on the DB line or no provider name on the US
//   line; 4 no provider flags; 5 no format version; 6 no or a broken quoted
//   source path; 7 no date; 8 no key; 9 no checksum.
// Tokens and quoted texts are bounded; a longer one counts as missing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace output {

inline constexpr std::size_t kMaxTsfFieldLength = 65536;
inline constexpr std::string_view kTsfTracerName = "Grendam-Tracer";
inline constexpr std::string_view kTsfFormatVersion = "3.0e";

struct TsfBlock {
  bool foreign = false;
  std::string sourceName;       // UTF-8, as the file holds it
  std::string sourceDirectory;  // absolute, ending with "/"
  std::uint32_t date = 0;
  std::uint32_t key = 0;
  std::uint32_t checksum = 0;
  std::int64_t endOffset = 0;  // first byte after the block
};

enum class TsfReadError : std::uint8_t {
  kNone,
  kNotValid,    // "%1 is not a valid tsf file (#%2)"
  kMissingTag,  // "%1 expected but not found in %2"
};

struct TsfReadResult {
  std::vector<TsfBlock> blocks;  // in file order
  TsfReadError error = TsfReadError::kNone;
  int invalidNumber = 0;    // with kNotValid
  std::string missingTag;   // with kMissingTag
};

/// What a block must carry not to be foreign.
struct TsfProvider {
  std::string_view name;
  unsigned flags;
};

/// Parses a whole file's content; on an error the blocks read so far are
/// kept. A relative source path is taken from `directory` (UTF-8, ending
/// with "/").
TsfReadResult ParseTsfBlocks(std::string_view content, const TsfProvider& provider, std::string_view directory);

/// The blocks of the TSF file at `path` (none when it does not exist); an
/// unreadable or invalid file is fatal with the matching message.
std::vector<TsfBlock> ReadTsfBlocks(const std::string& path, const TsfProvider& provider);

}  // namespace output
