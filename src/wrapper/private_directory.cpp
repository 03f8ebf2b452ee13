#include "wrapper/private_directory.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace wrapper {

std::string TemporaryRoot() {
  const char* root = std::getenv("TMPDIR");
  return root && *root ? root : "/tmp";
}

PrivateDirectory::PrivateDirectory(const std::string& root, const std::string& stableName) {
  if (!stableName.empty()) {
    const std::string stable = root + "/quorbcc." + stableName;
    if (mkdir(stable.c_str(), 0700) == 0) {
      path_ = stable;
      return;
    }
  }
  std::string pattern = root + "/quorbcc.XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data())) path_ = buffer.data();
}

PrivateDirectory::~PrivateDirectory() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string StableName(const std::vector<std::string>& words) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;  // 64-bit FNV-1a
  for (const std::string& word : words) {
    for (const char c : word + '\0') {
      hash ^= static_cast<unsigned char>(c);
      hash *= 0x100000001b3ULL;
    }
  }
  char name[24];
  std::snprintf(name, sizeof name, "%d-%016llx", static_cast<int>(getuid()), static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace wrapper
