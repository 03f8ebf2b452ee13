// Classification of a C compiler's command line (GCC and Clang spelling).
//
// The launcher needs to know, for every argument, whether it is an input or
// an option, which options take a value (so that the value is not taken for
// an input), which options only the preprocessor needs, which ones only the
// linker needs, and which ones stop the compiler before an object is made.
// Everything the tables do not name is an ordinary option that goes to every
// step unchanged.
#pragma once

#include <string>
#include <vector>

namespace wrapper {

/// What a compiler would make of the whole command.
enum class CompilerMode {
  kLink,         // no mode option: compile the sources, then link
  kCompile,      // -c: one object per source
  kOther,        // -E, -M, -MM, -S, -fsyntax-only, --version, -v, ...: passed through
};

/// Roles of an argument (bits).
enum ArgRole : unsigned {
  kRoleNone = 0,
  kRoleInput = 1u << 0,             // a file to compile or link
  kRolePreprocessorOnly = 1u << 1,  // -include, -imacros, -include-pch, -Wp,, -Xpreprocessor, -finput-charset=
  kRoleDependency = 1u << 2,        // -MD, -MMD, -MF, -MT, -MQ, -MP, -MG
  kRoleLinkOnly = 1u << 3,          // -l, -L, -Wl,, -Xlinker, -T, -u, -z, -e
  kRoleOutput = 1u << 4,            // -o
  kRoleLanguage = 1u << 5,          // -x
  kRoleCompileOnly = 1u << 6,       // -c
  kRoleSaveTemps = 1u << 7,         // -save-temps, -save-temps=obj|cwd
  kRoleMacro = 1u << 8,             // -D, -U, -A: macros and assertions for the preprocessor
};

/// One argument as written: one word, or an option and its separate value.
struct CompilerArg {
  std::vector<std::string> words;
  unsigned roles = kRoleNone;
  std::string value;     // the option's value (joined or separate), or the input's name
  std::string language;  // inputs: "c", "c++", "assembler", "object", ... from -x or the suffix
  bool explicitLanguage = false;  // inputs: the language came from -x
};

/// A whole command line, classified.
struct CompilerCommand {
  std::string compiler;
  std::vector<CompilerArg> args;
  CompilerMode mode = CompilerMode::kLink;
  std::string output;      // the -o value, empty without one
  bool hasOutput = false;
  bool dependencies = false;  // -MD or -MMD
  bool dependencyFile = false;    // -MF
  bool dependencyTarget = false;  // -MT or -MQ
  bool readsStandardInput = false;
  int inputCount = 0;
};

/// Classifies `argv` (argv[0] is the compiler; response files already expanded).
CompilerCommand ClassifyArguments(const std::vector<std::string>& argv);

/// The language a compiler gives a file of this name without -x: "c",
/// "cpp-output", "c-header", "c++", "assembler", "assembler-with-cpp",
/// "objective-c" or "object" (anything else goes to the linker).
std::string LanguageOfName(const std::string& name);

}  // namespace wrapper
