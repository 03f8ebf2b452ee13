// The run-wide instrumentation state, reset once per run by InstrumentFile
// and read by every instrumentation step.
#pragma once

#include "instrument/modification_buffer.h"

#include <cstdint>

namespace driver {
struct Options;
}
namespace support {
struct NameEntry;
}

namespace instrument {

/// Bits of InstrState::kindMask; the insert pragmas use the same bits.
enum KindBit : std::uint32_t {
  kKindCoverage = 2,
  kKindTrace = 4,
  kKindMemoryProfiling = 8,
  kKindPerformanceProfiling = 16,
};

struct InstrState {
  const driver::Options* options = nullptr;
  std::uint32_t kindMask = 0;
  bool forcedEvaluation = false;
  ModificationBuffer modifications;
  std::uint32_t deepGlobalCount = 0;
  support::NameEntry* mainName = nullptr;
  // With -NOINCLUDE: the main source file, the only one instrumented.
  support::NameEntry* mainFile = nullptr;
  support::NameEntry* mainDirectory = nullptr;
  bool startOfMainSeen = false;
  std::uint32_t lineCounter = 1;  // lines of the instrumented file written so far
};

InstrState& Instr();

/// The state for a new run over the options; `mainFile` and `mainDirectory`
/// name the main source file.
void ResetInstrState(const driver::Options& options, support::NameEntry* mainFile,
                     support::NameEntry* mainDirectory);

/// The kind mask the options select.
std::uint32_t KindMaskOf(const driver::Options& options);

}  // namespace instrument
