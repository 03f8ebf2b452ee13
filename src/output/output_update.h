// Replacing an output file that parallel runs may update at the same time.
//
// Life cycle shared by the writers of FDC and TSF files:
//   1. the new content goes to a temporary file beside the target, created
//      with O_EXCL by ClaimTemporaryFile, so two runs never write into one
//      temporary file;
//   2. at the end ReplaceUnderLock holds an advisory lock (flock) on
//      "<target>.lock" while the merge reads the previous target into the
//      temporary file and rename() puts the result in the target's place.
// The previous target is only ever read, and rename() replaces it in one
// step, so a run killed at any moment leaves it whole; the kernel releases
// the lock of a process that dies, so a killed run blocks no later one. The
// lock file is removed after each update: it carries no state, and a stale
// one is simply locked again.
#pragma once

#include "support/file_utils.h"

#include <cstdint>
#include <functional>
#include <string>

namespace output {

enum class ClaimStatus : std::uint8_t {
  kClaimed,    // `stream` is open for writing on a file this run created
  kExhausted,  // every name of the sequence is taken
  kFailed,     // creating the file failed; errno tells why
};

struct ClaimedFile {
  ClaimStatus status = ClaimStatus::kFailed;
  support::UniqueFile stream;
};

/// Creates the first name of the sequence that starts at `candidate` and
/// goes on with `next` (false: no name left) that no file holds yet. On
/// return `candidate` is the last name tried (the claimed one on success).
ClaimedFile ClaimTemporaryFile(std::string& candidate, const std::function<bool(std::string&)>& next);

/// The file whose lock serializes the updates of `target`.
std::string UpdateLockPath(const std::string& target);

/// Holds the update lock of `target`, runs `merge` (which reads the previous
/// target, if any, into the temporary file), then renames `temporary` to
/// `target`. Failing to lock is fatal "Cannot lock %1: %2".
///
/// Test hook: with QUORB_TEST_STOP_IN_UPDATE set, the process stops itself
/// (SIGSTOP) after the merge, lock held, so that a test can kill it there.
void ReplaceUnderLock(const std::string& target, const std::string& temporary, const std::function<void()>& merge);

}  // namespace output
