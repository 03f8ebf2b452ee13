#include "wrapper/processes.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/stat.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace wrapper {
namespace {

struct InterruptState {
  volatile std::sig_atomic_t pending = 0;
  volatile pid_t child = 0;  // the running child, which an interrupt is passed on to
};
InterruptState& Interrupts() {
  static InterruptState state;
  return state;
}

void NoteInterrupt(int signal) {
  InterruptState& state = Interrupts();
  state.pending = signal;
  if (state.child > 0) kill(state.child, signal);
}

std::vector<char*> ArgumentPointers(const Command& command) {
  std::vector<char*> pointers;
  for (const std::string& word : command) pointers.push_back(const_cast<char*>(word.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

void ReportStartFailure(const Command& command, int error) {
  const char* hint = error == ENOENT ? " (name an installed compiler, or put it on PATH; quorbcc --help)" : "";
  std::fprintf(stderr, "quorbcc: cannot run %s: %s%s\n", command[0].c_str(), std::strerror(error), hint);
}

int WaitFor(pid_t child) {
  Interrupts().child = child;
  if (Interrupts().pending) kill(child, Interrupts().pending);
  int status = 0;
  pid_t waited = 0;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  Interrupts().child = 0;
  if (waited < 0) return 127;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace

std::optional<std::string> FindProgram(const std::string& name) {
  const auto isProgram = [](const std::string& path) {
    struct stat status {};
    return access(path.c_str(), X_OK) == 0 && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
  };
  if (name.find('/') != std::string::npos) return isProgram(name) ? std::optional<std::string>(name) : std::nullopt;
  const char* path = std::getenv("PATH");
  std::istringstream directories(path ? path : "");
  for (std::string directory; std::getline(directories, directory, ':');) {
    const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
    if (isProgram(candidate)) return candidate;
  }
  return std::nullopt;
}

int RunCommand(const Command& command, const Redirection& redirection) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int flags = O_WRONLY | O_CREAT | O_TRUNC;
  if (!redirection.output.empty()) posix_spawn_file_actions_addopen(&actions, 1, redirection.output.c_str(), flags, 0600);
  if (!redirection.error.empty()) posix_spawn_file_actions_addopen(&actions, 2, redirection.error.c_str(), flags, 0600);
  std::vector<char*> argv = ArgumentPointers(command);
  pid_t child = 0;
  const int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    ReportStartFailure(command, error);
    return 127;
  }
  return WaitFor(child);
}

int ExecCommand(const Command& command) {
  std::vector<char*> argv = ArgumentPointers(command);
  execvp(argv[0], argv.data());
  ReportStartFailure(command, errno);
  return 127;
}

void CatchInterrupts() {
  // A signal the launcher was started to ignore stays ignored.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    if (std::signal(signal, NoteInterrupt) == SIG_IGN) std::signal(signal, SIG_IGN);
  }
}

int PendingInterrupt() { return Interrupts().pending; }

void RaisePendingInterrupt() {
  const int signal = Interrupts().pending;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);
}

void CopyToStandardError(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return;
  char buffer[8192];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) std::fwrite(buffer, 1, count, stderr);
  std::fclose(file);
  std::fflush(stderr);
}

}  // namespace wrapper
