// The compiler's own predefined macros, for the compile of an instrumented
// file.
//
// The instrumented file is preprocessed text with the runtime header's
// macro calls spliced in: only the runtime's macros may expand in it. The
// compiler would expand its predefined macros (unix, linux, i386) and the
// command line's -D macros over the program text a second time, so a
// program that undefines one and uses the name would change meaning. The
// compile therefore sees none of those; the runtime header still needs the
// macros that describe the compiler and target (__GNUC__, __x86_64__,
// __SIZEOF_POINTER__, ...), whose names are reserved to the implementation:
// those are asked of the compiler once per option set (`-dM -E`), kept in a
// header of the launcher's cache and included ahead of the instrumented
// file.
#pragma once

#include "wrapper/compile_plan.h"

#include <optional>
#include <string>
#include <vector>

namespace wrapper {

/// `<compiler> <options> -dM -E -x c /dev/null`: lists the macros the
/// compiler defines with these options.
Command MacroDumpCommand(const std::string& compiler, const Command& options);

/// The header that defines, each unless already defined, the macros of a
/// `-dM` listing whose names are reserved (two underscores, or one and a
/// capital), as a system header. Empty when the listing defines none.
std::string ReservedMacrosHeader(const std::string& listing);

/// Whether a header made by ReservedMacrosHeader is GCC's (not Clang's,
/// which also defines __GNUC__): GCC expands the macros of a preprocessed
/// text in one pass (-fpreprocessed -fdirectives-only).
bool IsGccHeader(const std::string& header);

struct PredefinedMacros {
  std::string header;  // the header's path
  bool gcc = false;    // see IsGccHeader
};

/// The header for `compiler` with `options` (those that shape the
/// predefined macros), copied into `privateDirectory`: kept in
/// `cacheDirectory` under a name that the compiler's file (path, size,
/// time) and the options choose, asked of the compiler when it is not
/// there. None when the compiler cannot tell.
std::optional<PredefinedMacros> FindPredefinedMacros(const std::string& compiler, const Command& options,
                                                     const std::string& cacheDirectory,
                                                     const std::string& privateDirectory);

}  // namespace wrapper
