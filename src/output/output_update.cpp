// Claiming temporary files and serializing the updates of one target.
#include "output/output_update.h"

#include "support/messages.h"
#include "support/translate.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace output {
namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as fopen() does

struct HeldLock {
  std::string path;
  int fd;
};

// Process-wide on purpose: the locks that runs hold, so that exit() in the
// middle of an update (the end of every fatal error) still removes their
// lock files. Runs on several threads each hold their own.
struct HeldLocks {
  std::mutex lock;
  std::vector<HeldLock> held;
  bool exitHandlerRegistered = false;
};

HeldLocks& Held() {
  static HeldLocks* locks = new HeldLocks;  // outlives every exit handler
  return *locks;
}

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

void Release(const HeldLock& lock) {
  unlink(lock.path.c_str());
  close(lock.fd);
}

void ReleaseAllAtExit() {
  HeldLocks& locks = Held();
  const std::lock_guard<std::mutex> guard(locks.lock);
  for (const HeldLock& lock : locks.held) Release(lock);
  locks.held.clear();
}

void Hold(const HeldLock& lock) {
  HeldLocks& locks = Held();
  const std::lock_guard<std::mutex> guard(locks.lock);
  if (!locks.exitHandlerRegistered) {
    std::atexit(ReleaseAllAtExit);
    locks.exitHandlerRegistered = true;
  }
  locks.held.push_back(lock);
}

void LetGo(int fd) {
  HeldLocks& locks = Held();
  const std::lock_guard<std::mutex> guard(locks.lock);
  for (auto it = locks.held.begin(); it != locks.held.end(); ++it) {
    if (it->fd != fd) continue;
    Release(*it);
    locks.held.erase(it);
    return;
  }
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
  const std::string lockPath = UpdateLockPath(target);
  const int fd = AcquireLock(lockPath);
  Hold({lockPath, fd});
  // A run that ends by unwinding (a previous file that is not valid) lets go
  // too: a lock left held would keep its descriptor, and the next update of
  // the file in this process would wait for it for ever.
  struct LetGoAtEnd {
    int fd;
    ~LetGoAtEnd() { LetGo(fd); }
  } const release{fd};
  merge();
  StopIfTestAsks();
  support::RenameFile(temporary, target);
}

}  // namespace output
