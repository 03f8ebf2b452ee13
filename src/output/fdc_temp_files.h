// Temporary FDC files and their removal when a run stops early.
//
// A block for an FDC file that already exists is written to a temporary file
// named after it: "<fdc>.fdd", then .fde ... .fdz, .fed ... .fzz, .ged ...
// up to .zzz (the last three characters run from "d" to "z", the third from
// the end starting at "f"). The exit handler deletes every temporary file and
// every FDC file the run has not finished, so a fatal error leaves the
// previous FDC files exactly as they were.
#pragma once

#include <string>

namespace output {

/// The candidate after `candidate`; false when the sequence is exhausted.
bool NextTemporaryName(std::string& candidate);

/// The first candidate for `fdcPath` that does not exist; fatal "Please
/// remove all temporary files remaining for %1" when all of them exist.
std::string FindTemporaryFdcPath(const std::string& fdcPath);

/// Registers RemoveFdcFilesAtExit with the process, once.
void RegisterFdcExitHandler();

/// Closes every unfinished FdcFile and deletes its output, then empties the
/// list. Never fails: it runs while the process is already exiting.
void RemoveFdcFilesAtExit();

}  // namespace output
