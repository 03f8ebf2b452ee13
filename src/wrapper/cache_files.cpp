#include "wrapper/cache_files.h"

#include "wrapper/processes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace wrapper {

std::optional<std::string> ReadOwnFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  std::string text;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == getuid()) {
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::string TemporaryNameBeside(const std::string& path) { return path + "." + std::to_string(getpid()) + ".tmp"; }

// The temporary file is beside the cache file: a rename cannot cross file
// systems, and the cache is seldom on the temporary directory's.
bool ReplaceCacheFile(const std::string& path, const std::string& text) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  const std::string temporary = TemporaryNameBeside(path);
  {
    std::ofstream file(temporary, std::ios::binary);
    file << text;
    if (!file.flush()) return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

std::optional<std::vector<std::string>> ProgramIdentity(const std::string& name) {
  const std::optional<std::string> program = FindProgram(name);
  struct stat status {};
  if (!program || stat(program->c_str(), &status) != 0) return std::nullopt;
  return std::vector<std::string>{*program, std::to_string(status.st_size),
                                  std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec)};
}

}  // namespace wrapper
