// Writing the instrumented file: a temporary file beside <instr> that takes
// its place when complete, and is removed if the run ends before.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace support {
struct NameEntry;
}

namespace instrument {

/// Opens the temporary file for <instr>; failure is fatal.
std::FILE* OpenInstrumentedFile(const std::string& instrPath);

/// Closes it (a write error is fatal) and puts it in place of <instr>.
void CommitInstrumentedFile(std::FILE* output, const std::string& instrPath);

/// The trailer that lists the file-scope variables for memory profiling.
struct ParseGlobalsTrailer {
  bool lineDirective;          // false with -NODLINE
  bool inlineAssembler;        // line numbers above 65535 are then left out
  std::uint32_t nextLine;      // number of the line after the directive
  std::string instrPath;
  std::vector<const support::NameEntry*> variables;
  std::uint32_t deepGlobalCount;
};
void WriteParseGlobalsTrailer(std::FILE* output, const ParseGlobalsTrailer& trailer);

}  // namespace instrument
