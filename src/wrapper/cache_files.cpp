#include "wrapper/cache_files.h"

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

bool ReplaceCacheFile(const std::string& path, const std::string& text, const std::string& privateDirectory) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  const std::string temporary = privateDirectory + "/" + std::filesystem::path(path).filename().string();
  {
    std::ofstream file(temporary, std::ios::binary);
    file << text;
    if (!file.flush()) return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace wrapper
