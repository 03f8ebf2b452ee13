// What a run still owes the disk for one output file (FDC or TSF).
#pragma once

#include <cstdint>

namespace output {

enum class OutputStage : std::uint8_t {
  kWriting,   // output in progress in its temporary file; removed by the exit handler
  kRemoved,   // deleted because it received no record
  kFinished,  // merged and in place; kept whatever happens later
};

}  // namespace output
