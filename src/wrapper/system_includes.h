// The directories a compiler searches for <...> headers by itself: the C
// library's and the compiler's own headers, whose functions are not the
// user's and are not instrumented. A definition file lists the build
// machine's; cross compilers keep theirs elsewhere (a Debian cross
// compiler's /usr/aarch64-linux-gnu/include, newlib's headers, a vendor's
// /opt tree), so the launcher asks the compiler, once per toolchain.
#pragma once

#include "wrapper/compile_plan.h"

#include <optional>
#include <string>
#include <vector>

namespace wrapper {

/// The compile's arguments that choose the toolchain's headers (--sysroot,
/// -isysroot, --target or -target, -m32, -m64, -mx32, --specs, -nostdinc):
/// the others (-I, -D, -O, ...) do not move them.
std::vector<std::string> ToolchainArguments(const std::vector<std::string>& compilerArgv);

/// `<compiler> <toolchain arguments> -E -v -x c /dev/null`: its standard
/// error lists the directories.
Command IncludeSearchCommand(const std::vector<std::string>& compilerArgv);

/// The directories of the "#include <...>" search list in the verbose
/// output of the command above, in order, normalised ("a/b/../c" is "a/c").
std::vector<std::string> ParseIncludeSearchList(const std::string& verboseOutput);

/// The quorbcc1 option that leaves `directories` uninstrumented; none when
/// there are none or one holds a comma (the option's separator).
std::optional<std::string> NoInstrumentOption(const std::vector<std::string>& directories);

/// The compiler's directories, from the cache file `cacheFile` when it is
/// ours and each directory it names still exists, else by running the
/// command (and caching its answer). Empty when the compiler cannot tell.
std::vector<std::string> SystemIncludeDirectories(const std::vector<std::string>& compilerArgv,
                                                  const std::string& cacheFile, const std::string& privateDirectory);

}  // namespace wrapper
