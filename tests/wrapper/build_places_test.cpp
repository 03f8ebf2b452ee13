#include "wrapper/build_places.h"
#include "wrapper/wrapper_options.h"

#include <gtest/gtest.h>

#include <set>

namespace wrapper {
namespace {

TEST(BuildPlacesTest, TheNearestBuildMarkerAboveTheCompile) {
  const std::set<std::string> existing = {"/w/build/CMakeCache.txt", "/w/build/sub/config.status",
                                          "/n/build.ninja", "/m/meson-private", "/CMakeCache.txt.not"};
  const PathExists exists = [&](const std::string& path) { return existing.count(path) > 0; };
  EXPECT_EQ(BuildTopDirectory("/w/build/CMakeFiles/t.dir", exists), "/w/build");
  EXPECT_EQ(BuildTopDirectory("/w/build", exists), "/w/build");
  // A nested configure is a build of its own.
  EXPECT_EQ(BuildTopDirectory("/w/build/sub/testsuite", exists), "/w/build/sub");
  EXPECT_EQ(BuildTopDirectory("/n/x/y", exists), "/n");
  EXPECT_EQ(BuildTopDirectory("/m/src", exists), "/m");
  // No marker anywhere: the compile's own directory.
  EXPECT_EQ(BuildTopDirectory("/plain/src", exists), "/plain/src");
  EXPECT_EQ(BuildTopDirectory("/", exists), "/");
}

// autoconf's conftest.c, CMake's scratch, compiler-id and ABI probes,
// meson's and a QUORB_PLAIN pattern are the launcher's configure_checks.
TEST(BuildPlacesTest, ConfigurationProbes) {
  const struct {
    std::vector<std::string> sources;
    std::string directory, extra;
    bool probe;
  } cases[] = {
      {{"/b/meson-private/tmpab/testfile.c"}, "/b", "", true},
      {{"myconftest.c"}, "/b", "", false},
      {{"conftest.cpp.c", "main.c"}, "/b", "", false},
      {{"CMakeFiles.c"}, "/b/CMakeFiles", "", false},
      {{"a.c", "../gen/b.c"}, "/p/src", "*/gen/*", true},  // one probe source makes the command a probe
      {{"a.c"}, "/p/checks/x", "*/nothing/*::*/checks/*", true},
      {{"a.c"}, "/p/src", "*/checks/*", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsConfigurationProbe(c.sources, c.directory, c.extra), c.probe) << c.sources[0] << " in " << c.directory;
  }
}

TEST(BuildPlacesTest, AbsolutePaths) {
  EXPECT_EQ(AbsolutePath("a.c", "/w"), "/w/a.c");
  EXPECT_EQ(AbsolutePath("../x/./b.c", "/w/sub"), "/w/x/b.c");
  EXPECT_EQ(AbsolutePath("/abs//c.c", "/w"), "/abs/c.c");
  EXPECT_EQ(AbsolutePath("../../..", "/w"), "/");
  EXPECT_EQ(AbsolutePath(".", "/"), "/");
}

TEST(BuildPlacesTest, CompilerCachesAndDistributorsBeforeTheCompiler) {
  // "ccache gcc" and "distcc gcc" are the launcher's compiler_wrappers.
  EXPECT_EQ(CompilerWrapperWords({"/usr/bin/ccache", "distcc", "gcc"}), 2u);
  EXPECT_EQ(CompilerWrapperWords({"sccache", "icecc", "buildcache", "cc"}), 3u);
  EXPECT_EQ(CompilerWrapperWords({"gcc", "ccache"}), 0u);
  // "ccache -s" leaves "-s", which is no compile and runs unchanged; a
  // cache alone is the command itself.
  EXPECT_EQ(CompilerWrapperWords({"ccache", "-s"}), 1u);
  EXPECT_EQ(CompilerWrapperWords({"ccache"}), 0u);
}

}  // namespace
}  // namespace wrapper
