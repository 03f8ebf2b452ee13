// The commands that replace one compiler command line.
//
// A compile of C sources becomes, per C source: the compiler's preprocessor
// on the original source (so that its line directives name the user's file
// and dependency output names the original source and object), quorbcc1 on
// the preprocessed file, and the compiler on the instrumented file with the
// original options less those only the preprocessor needs; then, when the
// command also links or has other sources, the original command with each C
// source replaced by its object. Every other command runs unchanged.
//
// With fall-through warnings on, the preprocessor keeps comments: GCC reads
// "fall through" comments before case labels.
//
// The instrumented file is compiled through a small unit of the launcher's
// that names the original source (so debug information does too), includes
// the compiler's reserved predefined macros, defines the results file and
// the runtime's own macros the command gives (QBC_..., -D or -U), and
// includes the instrumented file; neither the command's other macros nor
// the compiler's unreserved ones (unix, linux) expand over the program text
// a second time (predefined_macros.h says why). GCC reads that unit as
// preprocessed text whose directives it still obeys (-fpreprocessed
// -fdirectives-only): one pass, and no line marker counts as the GCC
// extension it is in C text. Other compilers compile it as C without their
// own macros (-undef).
//
// Under -pedantic a compiler reading C text warns about every line marker
// (and -pedantic-errors makes that an error); a compiler cache or
// distributor hashes or ships only the file it is given. So for a cache or
// distributor, and under -pedantic for compilers other than GCC, the unit
// is expanded first, without the pedantic and -Werror options, and the
// compile reads the expansion as preprocessed text, where line markers are
// at home and every option applies.
//
// An object compiled directly from the unit takes the runtime's functions
// from a shared assembly (SharedRuntimeSteps), unless the object carries
// link-time optimisation's intermediate code.
//
// Without the predefined macros (a compiler that cannot list them), the
// instrumented file is compiled as it is with the command's macros, and
// expanded first under -pedantic.
//
// Planning is a pure function of the command line and the private
// directory's name; running the plan is another module's job.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wrapper {

using Command = std::vector<std::string>;

/// A compile straight from the unit may take the runtime header's functions
/// from the runtime's assembly, compiled once per variant and kept in the
/// cache, instead of compiling them into every object: the unit then
/// defines the variant's name, and the assembly goes into the object with
/// the unit's own (GCC's assembler reads it first; Clang's integrated
/// assembler includes it where the unit says so). The variant depends on
/// the instrumented file's prologue, so it is chosen when the plan runs
/// (shared_runtime.h).
struct SharedRuntimeSteps {
  Command compile;       // the compiler and options for the runtime's assembly; empty: none shared
  std::string macros;    // the runtime's macro lines the unit defines
  std::string cache;     // where the runtime's assemblies are kept
  bool included = false; // the unit includes the assembly (Clang), not the assembler command (GCC)
};

/// The steps for one C source.
struct SourceSteps {
  std::string source;
  std::string directory;  // private: the intermediate files and captured messages
  std::string object;  // where the object goes ("-" for standard output)
  Command preprocess;
  bool keepsComments = false;  // the preprocessings keep comments, for fall-through warnings
  Command instrument;
  std::string instrumented;  // quorbcc1's output
  std::string unitFile;  // empty without predefined macros: the unit that includes the instrumented file
  std::string unitText;
  Command expand;    // empty unless the compile reads an expansion
  Command compile;   // the unit, the instrumented file or the expansion
  SharedRuntimeSteps runtime;
  Command original;  // the original source into `object`: the fallback
  Command diagnose;  // the original source into the private directory: the compiler's own messages
};

struct CompilePlan {
  bool passThrough = true;  // run the command as it is
  std::vector<SourceSteps> sources;
  Command rest;  // link, or compile of the other sources; empty when nothing is left
};

struct PlanSettings {
  std::string privateDirectory;  // absolute; one subdirectory per source is used
  std::string quorbcc1;
  std::string definitionFile;
  std::vector<std::string> instrumentOptions;
  Command compilerPrefix;  // ccache, distcc, ...: before the compiler where it compiles or links
  std::string resultsFile;  // the programs' default results file; empty: the runtime's own
  // Not empty: FDC and TSF files go beside the object (this is the current
  // directory, absolute), unless the options name their place.
  std::string definitionsBesideObjectsFrom;
  // The header of the compiler's reserved predefined macros (absolute);
  // empty when the compiler could not list them.
  std::string predefinedMacros;
  bool gcc = false;  // the compiler is GCC: it expands a preprocessed unit in one pass
  // Whether a source may hold a "fall through" comment; unset: any may.
  std::function<bool(const std::string& source)> mayHoldFallthroughComment;
  // Where the runtime's assemblies are kept; empty: the runtime is compiled
  // into each object.
  std::string cacheDirectory;
};

/// The C sources that a compile of `argv` would instrument, as written.
std::vector<std::string> CSources(const std::vector<std::string>& argv);

/// The options of `argv` that can change which macros the compiler
/// predefines: all but inputs, output, macros, include directories,
/// dependency, warning and linker options.
Command MacroShapingOptions(const std::vector<std::string>& argv);

/// Whether a source text may hold a comment that GCC takes for "fall
/// through" (at levels 2 to 4 of its warning): one saying "fall" in some case.
bool MayHoldFallthroughComment(std::string_view text);

/// The plan for `argv` (argv[0] the compiler, response files expanded).
CompilePlan PlanCompile(const std::vector<std::string>& argv, const PlanSettings& settings);

/// One line per command that a successful run executes, words separated by
/// blanks; a command that passes through is `argv` itself.
std::vector<std::string> DescribePlan(const CompilePlan& plan, const std::vector<std::string>& argv);

}  // namespace wrapper
