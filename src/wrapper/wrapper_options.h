// The launcher's own settings: its --qb= arguments, QUORB_OPTIONS, the
// definition file that suits the compiler and the installation it belongs to.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wrapper {

struct WrapperArgs {
  std::vector<std::string> instrumentOptions;  // for quorbcc1, in order
  std::vector<std::string> compilerArgv;       // the compiler and its arguments
};

/// Splits `quorbcc [--qb=OPTION]... COMPILER ARGS...`. The words of
/// `environmentOptions` (QUORB_OPTIONS, split as a response file) come first,
/// then the --qb= values; an option written without its leading "-" gets one.
WrapperArgs SplitWrapperArgs(const std::vector<std::string>& args, const std::string& environmentOptions);

/// How many of the first words of `compilerArgv` are a compiler cache or
/// distributor that runs the compiler named after it (ccache, sccache,
/// distcc, icecc, buildcache): the words before the compiler itself.
std::size_t CompilerWrapperWords(const std::vector<std::string>& compilerArgv);

/// The definition file for a compiler named `compiler` (a path or a name):
/// gcc.def for cc, c89, c99, gcc, clang and their versioned or
/// target-prefixed forms (gcc-12, clang-14, arm-none-eabi-gcc); none for
/// compilers it does not know.
std::optional<std::string> DefinitionFileFor(const std::string& compiler);

/// The target deployment port for a compile: "gcc-bare" when the compiler
/// builds for a bare-metal target, by its name (arm-none-eabi-gcc,
/// riscv64-unknown-elf-gcc, ...) or by clang's --target (thumbv7m-none-eabi),
/// "gcc" otherwise.
std::string TargetPortFor(const std::vector<std::string>& compilerArgv);

/// The first of `options` that the bare-metal port cannot honour (tracing
/// and profiling: -TRACE, -MEMPRO, -PERFPRO and their abbreviations).
std::optional<std::string> RefusedOnBareMetal(const std::vector<std::string>& options);

/// Where quorbcc1 and its data are, derived from the launcher's own path
/// (<root>/bin/quorbcc): the build tree and an installation share the layout.
struct Installation {
  std::string root;     // NIVRAKDIR
  std::string target;   // QBLTGT: <root>/tdp/<port>
  std::string quorbcc1; // <root>/bin/quorbcc1
};
Installation InstallationOf(const std::string& launcherPath, const std::string& port = "gcc");

}  // namespace wrapper
