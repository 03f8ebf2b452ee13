// The Moxtel log: an optional file to which each finished FDC and TSF file
// is appended as one line "<kind> <path>", so build tools can collect them.
#pragma once

#include <string>

namespace support {

/// Opens the log for appending; on failure only warns. The log is closed at
/// process exit.
void OpenMoxtelLog(const std::string& path);

/// Writes "<kind> <path>\n" when the log is open.
void WriteMoxtelLog(const char* kind, const std::string& path);

/// Closes the log (tests; the process closes it at exit).
void CloseMoxtelLog();

}  // namespace support
