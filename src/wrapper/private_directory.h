// The launcher's private directory for intermediate files, outside the
// user's tree, removed with everything in it when the launcher ends.
#pragma once

#include <string>

namespace wrapper {

/// $TMPDIR, or /tmp when it is unset or empty.
std::string TemporaryRoot();

class PrivateDirectory {
 public:
  /// Creates <root>/quorbcc.XXXXXX; path() is empty when that failed.
  explicit PrivateDirectory(const std::string& root);
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace wrapper
