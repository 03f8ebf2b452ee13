// Writing the instrumented file: a temporary file beside <instr> that takes
// its place when complete, and is removed if the run ends before.
#pragma once

#include "output/source_output.h"
#include "support/file_utils.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace support {
struct NameEntry;
}

namespace instrument {

class InstrumentedFile final : public output::UnfinishedOutput {
 public:
  /// Opens the temporary file for <instr>; failure is fatal.
  explicit InstrumentedFile(std::string instrPath);
  ~InstrumentedFile() override { RemoveUnfinished(); }

  std::FILE* Stream() const { return stream_.get(); }

  /// Closes it (a write error is fatal) and puts it in place of <instr>.
  void Commit();

  void RemoveUnfinished() override;

 private:
  std::string instrPath_;
  std::string temporaryPath_;  // set while the instrumented file is being written
  support::UniqueFile stream_;
};

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
