// Temporary FDC files and their removal when a run stops early.
//
// Every block is written to a temporary file named after its FDC file and
// claimed with O_EXCL (output_update.h): "<fdc>.fdd", then .fde ... .fdz,
// .fed ... .fzz, .ged ... up to .zzz (the last three characters run from "d"
// to "z", the third from the end starting at "f"), the first one no other run
// holds. The FDC file itself is only replaced, under its update lock, once
// the block is complete. The exit handler deletes every temporary file the
// run has not finished, so a fatal error leaves the previous FDC files
// exactly as they were.
#pragma once

#include "support/file_utils.h"

#include <string>

namespace output {

/// The candidate after `candidate`; false when the sequence is exhausted.
bool NextTemporaryName(std::string& candidate);

/// Creates the first free temporary file of `fdcPath` and sets
/// `temporaryPath` to its name. Fatal "Please remove all temporary files
/// remaining for %1" when all of them exist, "Cannot create FDC file %1: %2"
/// when it cannot be created.
support::UniqueFile ClaimTemporaryFdcFile(const std::string& fdcPath, std::string& temporaryPath);

/// Registers RemoveFdcFilesAtExit with the process, once.
void RegisterFdcExitHandler();

/// Closes every unfinished FdcFile and deletes its output, then empties the
/// list. Never fails: it runs while the process is already exiting.
void RemoveFdcFilesAtExit();

}  // namespace output
