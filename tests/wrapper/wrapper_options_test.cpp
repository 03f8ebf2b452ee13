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

// The launcher's firmware and aarch64 builds (tests/target, tests/cross)
// take arm-none-eabi-gcc and aarch64-linux-gnu-gcc.
TEST(WrapperOptionsTest, BareMetalCompilersTakeTheBarePort) {
  using Argv = std::vector<std::string>;
  for (const Argv& argv : {Argv{"/opt/arm/bin/arm-none-eabi-gcc-12.2"}, Argv{"riscv64-unknown-elf-gcc"},
                           Argv{"clang", "--target=thumbv7m-none-eabi", "-c", "a.c"},
                           Argv{"clang-14", "-target", "armv6m-none-eabi"}}) {
    EXPECT_EQ(TargetPortFor(argv), "gcc-bare") << argv[0] << " " << argv.back();
  }
  for (const Argv& argv : {Argv{"arm-none-linux-gnueabihf-gcc"}, Argv{"clang", "--target=aarch64-linux-gnu"},
                           Argv{"x86_64-w64-mingw32-gcc"}}) {
    EXPECT_EQ(TargetPortFor(argv), "gcc") << argv[0] << " " << argv.back();
  }
  EXPECT_EQ(InstallationOf("/opt/q/bin/quorbcc", "gcc-bare").target, "/opt/q/tdp/gcc-bare");
}

TEST(WrapperOptionsTest, TracingAndProfilingRefusedOnBareMetal) {
  for (const char* option : {"-TRACE", "-trace", "-TR", "-MEMPRO", "-MEM", "-PERFPRO=OS", "-PERF", "-PE=PROCESS"}) {
    EXPECT_EQ(RefusedOnBareMetal({"-COND=MODIFIED", option}), option);
  }
  for (const char* option : {"-NOTRACE", "-METRICS", "-ME", "-PROC", "-P", "-T", "-TSFDIR=x", "-COUNT"}) {
    EXPECT_EQ(RefusedOnBareMetal({option}), std::nullopt) << option;
  }
}

}  // namespace
}  // namespace wrapper
