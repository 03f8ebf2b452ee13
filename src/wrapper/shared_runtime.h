// The runtime header's functions compiled once, not into every object.
//
// Compiling the runtime's thirty-odd functions costs a compile about as
// much as a small source itself (40 ms with GCC, 90 with Clang). So a
// coverage unit defines a variant name (_QBCRT_SHARED) under which the
// runtime header declares those functions instead of defining them; the
// runtime's assembly of that variant, compiled once with the same
// prologue, runtime macros and code-shaping options and kept in the
// launcher's cache, goes into the object with the unit's own (GCC's
// assembler reads it first; Clang's unit includes it with a top-level
// .include). The object holds both as before, and its symbols, debug
// information and the linker's messages about it are the unit's. The
// variant name is a hash of everything the runtime depends on, so objects
// of one variant share one copy of the runtime per executable or library
// (TP.h says how), and objects of different headers, options or compilers
// never mix theirs.
#pragma once

#include "wrapper/compile_plan.h"

#include <optional>
#include <string>

namespace wrapper {

/// The part of an instrumented file that chooses its runtime.
struct RuntimePrologue {
  std::string text;    // its #define and #undef lines, then the #include of the runtime header
  std::string header;  // the runtime header's path
};

/// The prologue at the beginning of an instrumented file (`head`, its first
/// kilobytes). None when no runtime header is included there, when the unit
/// traces or profiles (USE_QBT, USE_QBQ, USE_QBP: the whole runtime then
/// stays in the unit), or when the header cannot share its runtime.
std::optional<RuntimePrologue> FindRuntimePrologue(const std::string& head);

/// The variant's name: a hash of the runtime header's directory, the
/// prologue, the runtime macros, the compiler and the runtime object's
/// compile. None when the compiler or the header cannot be read.
std::optional<std::string> RuntimeVariant(const SharedRuntimeSteps& steps, const RuntimePrologue& prologue);

/// The line by which a unit takes its runtime from the variant's.
std::string VariantDefinition(const std::string& variant);

/// The source of the variant's runtime.
std::string RuntimeSource(const std::string& variant, const SharedRuntimeSteps& steps,
                          const RuntimePrologue& prologue);

/// Where the variant's runtime assembly is kept in the cache.
std::string CachedRuntimeAssembly(const SharedRuntimeSteps& steps, const std::string& variant);

/// Whether `path` is a non-empty regular file of the current user.
bool IsOwnFile(const std::string& path);

/// The compiler's assembly of the runtime made to share one assembler input
/// with a unit's: without its .file directive (the unit's names the
/// source), its GNU property note (the unit's says the same) and its
/// address-significance table (Clang's, one per object), its local labels
/// (.L...) renamed apart from the unit's.
std::string SharedAssembly(const std::string& assembly);

/// The top-level statement by which a unit includes `assembly` (Clang);
/// empty when the path cannot stand in that statement's string.
std::string AssemblyInclusion(const std::string& assembly);

/// A small C function whose assembly has the local labels GCC makes
/// (jumps, constants, function bounds): after a unit's prologue, assembled
/// after a shared assembly, it shows that the two can share one assembler
/// input.
std::string AssemblyProbe();

}  // namespace wrapper
