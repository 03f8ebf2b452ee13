// What a run still owes the disk for one output file (FDC or TSF), and the
// removal of unfinished output when the process exits early.
#pragma once

#include <cstdint>
#include <cstdio>

namespace output {

enum class OutputStage : std::uint8_t {
  kWriting,   // output in progress in its temporary file; removed by the exit handler
  kRemoved,   // deleted because it received no record
  kFinished,  // merged and in place; kept whatever happens later
};

/// Closes the stream of every file of `files` and deletes the temporary file
/// of those still being written. Plain remove() on purpose: it runs while the
/// process is already exiting, where a fatal message would exit twice.
template <class Files>
void RemoveUnfinishedOutputs(Files& files) {
  for (auto& file : files) {
    file.stream.reset();
    if (file.stage == OutputStage::kWriting) std::remove(file.temporaryPath.c_str());
  }
}

}  // namespace output
