#include "wrapper/build_places.h"

#include <fnmatch.h>

namespace wrapper {
namespace {

// The forms CMake 3.x, autoconf and Meson give the probes they compile.
const char* const kProbePatterns[] = {
    "*/conftest.c",
    "*/CMakeFiles/CMakeScratch/*",
    "*/CMakeFiles/CMakeTmp/*",
    "*/CMakeFiles/*/CompilerIdC/*",
    "*/meson-private/*",
};

std::vector<std::string> SplitPatterns(const std::string& text) {
  std::vector<std::string> patterns;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t colon = text.find(':', start);
    const std::size_t end = colon == std::string::npos ? text.size() : colon;
    if (end > start) patterns.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

bool Matches(const std::string& pattern, const std::string& path) {
  return fnmatch(pattern.c_str(), path.c_str(), 0) == 0;
}

std::string Parent(const std::string& directory) {
  const std::size_t slash = directory.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : directory.substr(0, slash);
}

}  // namespace

std::string BuildTopDirectory(const std::string& directory, const PathExists& exists) {
  for (std::string candidate = directory;; candidate = Parent(candidate)) {
    const std::string prefix = candidate == "/" ? "" : candidate;
    for (const char* marker : {"/CMakeCache.txt", "/config.status", "/build.ninja", "/meson-private"}) {
      if (exists(prefix + marker)) return candidate;
    }
    if (candidate == "/") return directory;
  }
}

bool IsConfigurationProbe(const std::vector<std::string>& sources, const std::string& directory,
                          const std::string& extraPatterns) {
  std::vector<std::string> patterns(std::begin(kProbePatterns), std::end(kProbePatterns));
  for (std::string& pattern : SplitPatterns(extraPatterns)) patterns.push_back(std::move(pattern));
  std::vector<std::string> places{directory + "/"};
  for (const std::string& source : sources) places.push_back(AbsolutePath(source, directory));
  for (const std::string& pattern : patterns) {
    for (const std::string& place : places) {
      if (Matches(pattern, place)) return true;
    }
  }
  return false;
}

std::string AbsolutePath(const std::string& path, const std::string& directory) {
  const std::string joined = path.starts_with("/") ? path : directory + "/" + path;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < joined.size()) {
    std::size_t slash = joined.find('/', start);
    if (slash == std::string::npos) slash = joined.size();
    const std::string part = joined.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

}  // namespace wrapper
