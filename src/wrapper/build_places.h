// Where a build's coverage files go, and which compiles are a build
// system's configuration probes rather than part of the build.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace wrapper {

/// Tells whether a path names an existing file or directory.
using PathExists = std::function<bool(const std::string&)>;

/// The top directory of the build that `directory` (absolute) belongs to:
/// the nearest directory at or above it that holds CMakeCache.txt,
/// config.status, build.ninja or meson-private; `directory` itself when
/// none does. Instrumented programs of the build append their results to
/// quorb.qbr there, whatever directory their tests run in.
std::string BuildTopDirectory(const std::string& directory, const PathExists& exists);

/// True when a compile of `sources` in `directory` (absolute) is a
/// configuration probe: autoconf's conftest.c, CMake's try-compile and
/// compiler identification sources, Meson's checks, or a source or
/// directory matching one of `extraPatterns` (shell patterns separated by
/// ':', where '*' also matches '/'). Probes compile uninstrumented, so that
/// a coverage build configures exactly as a plain one.
bool IsConfigurationProbe(const std::vector<std::string>& sources, const std::string& directory,
                          const std::string& extraPatterns);

/// `path` made absolute against `directory`, "." and ".." components removed.
std::string AbsolutePath(const std::string& path, const std::string& directory);

}  // namespace wrapper
