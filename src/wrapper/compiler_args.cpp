// The option tables come from the GCC and Clang drivers' documented
// spellings. Lookup order matters: exact flags first (so that -undef is not
// -u with "ndef", -emit-llvm not -e), then options with a separate value,
// then joined forms, longest prefix first.
#include "wrapper/compiler_args.h"

#include <array>
#include <string_view>

namespace wrapper {
namespace {

struct OptionSpec {
  std::string_view name;
  unsigned roles;
};

// Options whose value may follow as the next word or be joined to them.
constexpr std::array<OptionSpec, 28> kValueOptions = {{
    {"-iwithprefixbefore", kRoleNone},
    {"-iwithprefix", kRoleNone},
    {"-include-pch", kRolePreprocessorOnly},
    {"-idirafter", kRoleNone},
    {"-imultilib", kRoleNone},
    {"-imacros", kRolePreprocessorOnly},
    {"-include", kRolePreprocessorOnly},
    {"-isysroot", kRoleNone},
    {"-isystem", kRoleNone},
    {"-iprefix", kRoleNone},
    {"-iquote", kRoleNone},
    {"-MF", kRoleDependency},
    {"-MT", kRoleDependency},
    {"-MQ", kRoleDependency},
    {"-o", kRoleOutput},
    {"-x", kRoleLanguage},
    {"-I", kRoleNone},
    {"-D", kRoleMacro},
    {"-U", kRoleMacro},
    {"-A", kRoleMacro},
    {"-B", kRoleNone},
    {"-G", kRoleNone},
    {"-L", kRoleLinkOnly},
    {"-l", kRoleLinkOnly},
    {"-T", kRoleLinkOnly},
    {"-u", kRoleLinkOnly},
    {"-z", kRoleLinkOnly},
    {"--sysroot", kRoleNone},
}};

// Options that take the next word as their value and have no joined form.
constexpr std::array<OptionSpec, 14> kSeparateOptions = {{
    {"-Xpreprocessor", kRolePreprocessorOnly},
    {"-Xassembler", kRoleNone},
    {"-Xlinker", kRoleLinkOnly},
    {"-Xclang", kRoleNone},
    {"-mllvm", kRoleNone},
    {"-target", kRoleNone},
    {"-arch", kRoleNone},
    {"-aux-info", kRoleNone},
    {"-dumpbase", kRoleNone},
    {"-dumpbase-ext", kRoleNone},
    {"-dumpdir", kRoleNone},
    {"--param", kRoleNone},
    {"-wrapper", kRoleNone},
    {"-e", kRoleLinkOnly},
}};

// Flags that must be recognised whole before any prefix is tried.
constexpr std::array<OptionSpec, 8> kFlags = {{
    {"-c", kRoleCompileOnly},
    {"-MD", kRoleDependency},
    {"-MMD", kRoleDependency},
    {"-MP", kRoleDependency},
    {"-MG", kRoleDependency},
    {"-save-temps", kRoleSaveTemps},
    {"-save-temps=obj", kRoleSaveTemps},
    {"-save-temps=cwd", kRoleSaveTemps},
}};

// Flags (or prefixes) that make the compiler stop before an object exists,
// or print something instead of compiling: such commands pass through.
constexpr std::array<std::string_view, 8> kStoppingFlags = {
    "-E", "-M", "-MM", "-S", "-fsyntax-only", "-v", "-###", "--version"};
constexpr std::array<std::string_view, 5> kStoppingPrefixes = {"--help", "-print-", "--print-", "-dump", "--target-help"};

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

const OptionSpec* FindExact(const auto& table, std::string_view word) {
  for (const OptionSpec& spec : table) {
    if (spec.name == word) return &spec;
  }
  return nullptr;
}

bool IsStopping(std::string_view word) {
  for (std::string_view flag : kStoppingFlags) {
    if (word == flag) return true;
  }
  if (StartsWith(word, "-dumpbase") || StartsWith(word, "-dumpdir")) return false;
  for (std::string_view prefix : kStoppingPrefixes) {
    if (StartsWith(word, prefix)) return true;
  }
  return false;
}

// The roles of an option word that takes no value from the next word.
unsigned RolesOfSingleWord(std::string_view word) {
  // The preprocessor converts the source from its character set: its output
  // is UTF-8 already.
  if (StartsWith(word, "-Wp,") || StartsWith(word, "-finput-charset=")) return kRolePreprocessorOnly;
  if (StartsWith(word, "-Wl,")) return kRoleLinkOnly;
  return kRoleNone;
}

struct Classifier {
  CompilerCommand command;
  std::string language = "none";  // the -x in effect
  bool cxxDriver = false;         // g++, c++, clang++: a .c file is C++ to them

  void AddInput(const std::string& word) {
    CompilerArg arg{{word}, kRoleInput, word, language, language != "none"};
    if (!arg.explicitLanguage) arg.language = LanguageOfName(word);
    if (cxxDriver && !arg.explicitLanguage && arg.language == "c") arg.language = "c++";
    if (word == "-") command.readsStandardInput = true;
    ++command.inputCount;
    command.args.push_back(std::move(arg));
  }

  void AddValueOption(std::vector<std::string> words, unsigned roles, std::string value) {
    if (roles & kRoleOutput) {
      command.output = value;
      command.hasOutput = true;
    }
    if (roles & kRoleLanguage) language = value;
    if (words[0].starts_with("-MF")) command.dependencyFile = true;
    if (words[0].starts_with("-MT") || words[0].starts_with("-MQ")) command.dependencyTarget = true;
    command.args.push_back({std::move(words), roles, std::move(value), {}, false});
  }

  void AddFlag(const std::string& word, unsigned roles) {
    if (IsStopping(word)) command.mode = CompilerMode::kOther;
    if (roles & kRoleCompileOnly && command.mode == CompilerMode::kLink) command.mode = CompilerMode::kCompile;
    if (word == "-MD" || word == "-MMD") command.dependencies = true;
    command.args.push_back({{word}, roles, {}, {}, false});
  }

  // Returns how many words the option at `i` takes.
  std::size_t AddOption(const std::vector<std::string>& argv, std::size_t i) {
    const std::string& word = argv[i];
    if (const OptionSpec* flag = FindExact(kFlags, word)) {
      AddFlag(word, flag->roles);
      return 1;
    }
    const OptionSpec* separate = FindExact(kSeparateOptions, word);
    if (!separate) separate = FindExact(kValueOptions, word);
    if (separate) {
      if (i + 1 >= argv.size()) {  // the compiler reports the missing value
        AddFlag(word, separate->roles);
        return 1;
      }
      AddValueOption({word, argv[i + 1]}, separate->roles, argv[i + 1]);
      return 2;
    }
    if (StartsWith(word, "-undef") || IsStopping(word)) {
      AddFlag(word, kRoleNone);
      return 1;
    }
    for (const OptionSpec& spec : kValueOptions) {
      if (!StartsWith(word, spec.name)) continue;
      std::string value = word.substr(spec.name.size());
      if (spec.name.starts_with("--") && value.starts_with("=")) value.erase(0, 1);
      AddValueOption({word}, spec.roles, std::move(value));
      return 1;
    }
    AddFlag(word, RolesOfSingleWord(word));
    return 1;
  }
};

bool IsCxxDriver(const std::string& compiler) {
  const std::size_t slash = compiler.rfind('/');
  const std::string name = slash == std::string::npos ? compiler : compiler.substr(slash + 1);
  return name.find("++") != std::string::npos;
}

}  // namespace

std::string LanguageOfName(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "object";
  const std::string suffix = name.substr(dot + 1);
  if (suffix == "c") return "c";
  if (suffix == "i") return "cpp-output";
  if (suffix == "h") return "c-header";
  for (const char* cxx : {"cc", "cp", "cxx", "cpp", "CPP", "c++", "C", "ii", "hh", "hpp", "H"}) {
    if (suffix == cxx) return "c++";
  }
  if (suffix == "s") return "assembler";
  if (suffix == "S" || suffix == "sx") return "assembler-with-cpp";
  if (suffix == "m" || suffix == "mi" || suffix == "mm" || suffix == "M") return "objective-c";
  return "object";
}

CompilerCommand ClassifyArguments(const std::vector<std::string>& argv) {
  Classifier classifier;
  if (argv.empty()) return classifier.command;
  classifier.command.compiler = argv[0];
  classifier.cxxDriver = IsCxxDriver(argv[0]);
  for (std::size_t i = 1; i < argv.size();) {
    const std::string& word = argv[i];
    if (word.size() > 1 && word[0] == '-') {
      i += classifier.AddOption(argv, i);
      continue;
    }
    classifier.AddInput(word);
    ++i;
  }
  return classifier.command;
}

}  // namespace wrapper
