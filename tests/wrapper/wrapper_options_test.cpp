#include "wrapper/wrapper_options.h"

#include <gtest/gtest.h>

namespace wrapper {
namespace {

TEST(WrapperOptionsTest, OptionsFromTheEnvironmentThenTheCommandLine) {
  const WrapperArgs args = SplitWrapperArgs({"--qb=-PROC=RET", "--qb=CALL", "--qb=", "gcc", "--qb=-x", "-c", "a.c"},
                                            " -BLOCK=LOGICAL \"-COMMENT=a b\" COND ");
  EXPECT_EQ(args.instrumentOptions,
            (std::vector<std::string>{"-BLOCK=LOGICAL", "-COMMENT=a b", "-COND", "-PROC=RET", "-CALL"}));
  // After the compiler, --qb= belongs to the compiler.
  EXPECT_EQ(args.compilerArgv, (std::vector<std::string>{"gcc", "--qb=-x", "-c", "a.c"}));
  EXPECT_TRUE(SplitWrapperArgs({"--qb=CALL"}, "").compilerArgv.empty());
}

TEST(WrapperOptionsTest, DefinitionFileFollowsTheCompiler) {
  for (const char* compiler : {"gcc", "cc", "/usr/bin/cc", "clang", "clang-14", "gcc-12", "arm-none-eabi-gcc",
                               "x86_64-linux-gnu-gcc-12", "/opt/llvm/bin/clang-14.0.6", "c99"}) {
    EXPECT_EQ(DefinitionFileFor(compiler), "gcc.def") << compiler;
  }
  for (const char* compiler : {"icc", "ccache", "tcc", "gcc-wrapper", "mygcc", "clang-tidy"}) {
    EXPECT_EQ(DefinitionFileFor(compiler), std::nullopt) << compiler;
  }
}

TEST(WrapperOptionsTest, InstallationBesideTheLauncher) {
  const Installation installation = InstallationOf("/opt/q/bin/quorbcc");
  EXPECT_EQ(installation.root, "/opt/q");
  EXPECT_EQ(installation.target, "/opt/q/tdp/gcc");
  EXPECT_EQ(installation.quorbcc1, "/opt/q/bin/quorbcc1");
}

}  // namespace
}  // namespace wrapper
