#include "wrapper/private_directory.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace wrapper {

std::string TemporaryRoot() {
  const char* root = std::getenv("TMPDIR");
  return root && *root ? root : "/tmp";
}

PrivateDirectory::PrivateDirectory(const std::string& root) {
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

}  // namespace wrapper
