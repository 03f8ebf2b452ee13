// The launcher's private directory for intermediate files, outside the
// user's tree, removed with everything in it when the launcher ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wrapper {

/// $TMPDIR, or /tmp when it is unset or empty.
std::string TemporaryRoot();

/// A name that the same `words` (the compile's directory and command) always
/// get, and other users and commands do not: the compile of an instrumented
/// file then names the same file each time, so that compiler caches, which
/// hash that name, serve a rebuild.
std::string StableName(const std::vector<std::string>& words);

class PrivateDirectory {
 public:
  /// Creates <root>/quorbcc.<stableName>, or <root>/quorbcc.XXXXXX when
  /// `stableName` is empty or taken (the same compile running twice at
  /// once, or left by a killed run); path() is empty when that failed.
  PrivateDirectory(const std::string& root, const std::string& stableName);
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace wrapper
