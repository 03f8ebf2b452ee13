// Claiming temporary files and serializing the updates of one target.
#include "output/output_update.h"

#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace output {
namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as fopen() does

// The lock this run holds, so that a fatal error inside an update still
// removes the lock file on its way out.
struct UpdateLockState {
  std::string path;
  int fd = -1;
  bool exitHandlerRegistered = false;
};

UpdateLockState held;

[[noreturn]] void FailLocking(const std::string& lockPath) {
  const QString reason = support::FromLocal(support::SystemErrorText());
  support::DisplayFatalError(support::Translate("Fatal Error", "Cannot lock %1: %2",
                                                "%1 is the file name, %2 a system-dependent error message")
                                 .arg(support::FromLocal(lockPath), reason));
}

bool SameFile(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  if (fstat(fd, &held) != 0 || stat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The previous holder removes the lock file before it lets go; whoever
// waited on that removed file tries again with the file now at the path.
int AcquireLock(const std::string& lockPath) {
  for (;;) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd < 0) FailLocking(lockPath);
    int locked;
    do {
      locked = flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) FailLocking(lockPath);
    if (SameFile(fd, lockPath)) return fd;
    close(fd);
  }
}

void ReleaseLock() {
  if (held.fd < 0) return;
  unlink(held.path.c_str());
  close(held.fd);
  held.fd = -1;
}

void StopIfTestAsks() {
  if (std::getenv("QUORB_TEST_STOP_IN_UPDATE")) std::raise(SIGSTOP);
}

}  // namespace

ClaimedFile ClaimTemporaryFile(std::string& candidate, const std::function<bool(std::string&)>& next) {
  // A name with a null byte (a line directive may spell one) would open the
  // file named by its first part, and every candidate would be that one.
  if (candidate.find('\0') != std::string::npos) {
    errno = EINVAL;
    return {};
  }
  for (;;) {
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0) {
      ClaimedFile claimed{ClaimStatus::kClaimed, support::UniqueFile(fdopen(fd, "w"))};
      if (claimed.stream) return claimed;
      const int reason = errno;
      close(fd);
      unlink(candidate.c_str());
      errno = reason;
      return {};
    }
    if (errno != EEXIST) return {};
    if (!next(candidate)) return {ClaimStatus::kExhausted, nullptr};
  }
}

std::string UpdateLockPath(const std::string& target) { return target + ".lock"; }

void ReplaceUnderLock(const std::string& target, const std::string& temporary, const std::function<void()>& merge) {
  if (!held.exitHandlerRegistered) {
    std::atexit(ReleaseLock);
    held.exitHandlerRegistered = true;
  }
  held.path = UpdateLockPath(target);
  held.fd = AcquireLock(held.path);
  merge();
  StopIfTestAsks();
  support::RenameFile(temporary, target);
  ReleaseLock();
}

}  // namespace output
