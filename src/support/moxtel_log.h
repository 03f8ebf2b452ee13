// The Moxtel log: an optional file to which each finished FDC and TSF file
// is appended as one line "<kind> <path>", so build tools can collect them.
#pragma once

#include <string>

namespace support {

/// Opens the run's log for appending; on failure only warns. The log is
/// closed with the run (every line is flushed as it is written).
void OpenMoxtelLog(const std::string& path);

/// Writes "<kind> <path>\n" when the log is open.
void WriteMoxtelLog(const char* kind, const std::string& path);

/// Closes the run's log.
void CloseMoxtelLog();

}  // namespace support
