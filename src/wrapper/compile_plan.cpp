#include "wrapper/compile_plan.h"

#include "wrapper/compiler_args.h"

#include <cctype>

namespace wrapper {
namespace {

bool IsCSource(const CompilerArg& arg) { return (arg.roles & kRoleInput) && arg.language == "c"; }

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name without its directory and its last suffix.
std::string Stem(const std::string& path) {
  const std::string base = BaseName(path);
  const std::size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

// The name with its last suffix (if any) replaced by `suffix`, directory kept.
std::string ReplaceSuffix(const std::string& path, const std::string& suffix) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  const bool hasSuffix = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasSuffix ? path.substr(0, dot) : path) + suffix;
}

void Append(Command& command, const std::vector<std::string>& words) {
  command.insert(command.end(), words.begin(), words.end());
}

// The options of `command` that every step of one source gets: all options
// but the output, the language, -c, link-only ones and those in `dropped`.
Command CommonOptions(const CompilerCommand& command, unsigned dropped) {
  Command options;
  const unsigned always = kRoleInput | kRoleOutput | kRoleLanguage | kRoleCompileOnly | kRoleLinkOnly;
  for (const CompilerArg& arg : command.args) {
    if (arg.roles & (always | dropped)) continue;
    Append(options, arg.words);
  }
  return options;
}

// With -MD or -MMD and no -MF/-MT/-MQ, the dependency file and its target are
// named after the object the original command makes; given explicitly, they
// stay so under -E, where the compilers would name them after the -o value.
Command DependencyNames(const CompilerCommand& command, const std::string& source) {
  if (!command.dependencies) return {};
  Command names;
  if (!command.dependencyFile) {
    names.push_back("-MF");
    names.push_back(command.hasOutput ? ReplaceSuffix(command.output, ".d") : Stem(source) + ".d");
  }
  if (!command.dependencyTarget) {
    names.push_back("-MQ");
    names.push_back(command.hasOutput ? command.output : Stem(source) + ".o");
  }
  return names;
}

bool IsPedanticWord(const std::string& word) {
  return word == "-pedantic" || word == "-pedantic-errors" || word == "--pedantic" || word == "--pedantic-errors" ||
         word == "-Wpedantic" || word == "-Werror=pedantic";
}

// GCC takes a "fall through" comment before a case label as the
// programmer's word; preprocessing drops comments unless asked to keep them.
bool WarnsOfFallthrough(const CompilerCommand& command) {
  for (const CompilerArg& arg : command.args) {
    if (arg.words.empty()) continue;
    const std::string& word = arg.words[0];
    if (word == "-W" || word == "-Wextra" || word.starts_with("-Wimplicit-fallthrough") ||
        word.starts_with("-Werror=implicit-fallthrough")) {
      return true;
    }
  }
  return false;
}

// Any comment before a case label will do at level 1; at the other levels
// the comment says "fall" in some case, which the source is searched for.
// A comment in a header the source includes is not searched: a warning it
// would have silenced sends the launcher to the compiler's own messages,
// but an error must not cost the file its instrumentation, so under
// -Werror comments are always kept.
bool MustKeepComments(const CompilerCommand& command) {
  for (const CompilerArg& arg : command.args) {
    if (arg.words.empty()) continue;
    const std::string& word = arg.words[0];
    if (word == "-Wimplicit-fallthrough=1" || word.starts_with("-Werror")) return true;
  }
  return false;
}

// Clang reads no comment for its fall-through warning, and comments kept
// make every later step read the headers' comments too.
bool KeepsComments(const CompilerCommand& command, const std::string& source, const PlanSettings& settings) {
  if (!WarnsOfFallthrough(command)) return false;
  if (!settings.gcc && !settings.predefinedMacros.empty()) return false;
  if (MustKeepComments(command) || !settings.mayHoldFallthroughComment) return true;
  return settings.mayHoldFallthroughComment(source);
}

bool IsPedantic(const CompilerCommand& command) {
  for (const CompilerArg& arg : command.args) {
    if (!arg.words.empty() && IsPedanticWord(arg.words[0])) return true;
  }
  return false;
}

// Expanding the instrumented file reads only text that was preprocessed
// already, and the runtime header, which compiles without warnings: what
// the pedantic and error options would say there is about line markers.
Command WithoutPedanticOrErrors(const Command& options) {
  Command kept;
  for (const std::string& word : options) {
    if (!IsPedanticWord(word) && !word.starts_with("-Werror")) kept.push_back(word);
  }
  return kept;
}

// `text` as a C string literal.
std::string StringLiteral(const std::string& text) {
  std::string literal = "\"";
  for (const char c : text) {
    if (c == '\n') {
      literal += "\\n";
      continue;
    }
    if (c == '"' || c == '\\') literal += '\\';
    literal += c;
  }
  return literal + '"';
}

// The default results file as a definition on the command line.
std::string ResultsDefinition(const std::string& path) { return "-DQBC_RESULTS_DEFAULT=" + StringLiteral(path); }

// Macros of the runtime header's own: QBC_RESULTS_SEMIHOSTING, _QBCRT_...
bool IsRuntimeMacro(const std::string& name) {
  return name.starts_with("QB") || name.starts_with("_QB") || name.starts_with("USE_QB");
}

// A -D value ("NAME", "NAME=VALUE", "NAME(ARGS)=BODY") as the text of a
// #define directive; like the compilers, only its first line counts.
std::string DefinitionText(const std::string& value) {
  std::string text = value.substr(0, value.find('\n'));
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return text + " 1";
  text[equals] = ' ';
  return text;
}

// The runtime's macros that the command defines or undefines, and the
// default results file.
std::string RuntimeMacros(const CompilerCommand& command, const PlanSettings& settings) {
  std::string text;
  for (const CompilerArg& arg : command.args) {
    if (!(arg.roles & kRoleMacro) || arg.words[0].starts_with("-A")) continue;
    const std::string name = arg.value.substr(0, arg.value.find_first_of("=(\n"));
    if (!IsRuntimeMacro(name)) continue;
    text += arg.words[0].starts_with("-D") ? "#define " + DefinitionText(arg.value) + "\n" : "#undef " + name + "\n";
  }
  if (!settings.resultsFile.empty()) {
    text += "#ifndef QBC_RESULTS_DEFAULT\n#define QBC_RESULTS_DEFAULT " + StringLiteral(settings.resultsFile) +
            "\n#endif\n";
  }
  return text;
}

// The unit the compiler reads in place of the instrumented file (see the
// header): its line marker names the original source.
std::string UnitText(const SourceSteps& steps, const std::string& instrumented, const PlanSettings& settings) {
  std::string text = "# 1 " + StringLiteral(steps.source) + "\n";
  text += "#include \"" + settings.predefinedMacros + "\"\n";
  text += steps.runtime.macros;
  // Beside the unit, so named whatever the directory's path.
  return text + "#include \"" + instrumented.substr(instrumented.rfind('/') + 1) + "\"\n";
}

// Link-time optimisation puts intermediate code in the object, and the
// link takes that code and leaves aside what else was assembled there.
bool OptimisesAtLinkTime(const CompilerCommand& command) {
  bool lto = false;
  for (const CompilerArg& arg : command.args) {
    if (arg.words.empty()) continue;
    if (arg.words[0].starts_with("-flto")) lto = true;
    if (arg.words[0] == "-fno-lto") lto = false;
  }
  return lto;
}

// Kept intermediate files (-save-temps) are to compile alone again, so
// their objects keep the whole runtime.
bool KeepsIntermediateFiles(const CompilerCommand& command) {
  for (const CompilerArg& arg : command.args) {
    if (arg.roles & kRoleSaveTemps) return true;
  }
  return false;
}

// The options that can shape predefined macros and code: all but inputs,
// output, macros, include directories, dependency and warning options.
Command ShapingOptions(const CompilerCommand& command) {
  const unsigned notShaping = kRoleInput | kRoleOutput | kRoleLanguage | kRoleCompileOnly | kRoleLinkOnly |
                              kRolePreprocessorOnly | kRoleDependency | kRoleMacro | kRoleSaveTemps;
  Command options;
  for (const CompilerArg& arg : command.args) {
    if (arg.roles & notShaping) continue;
    const std::string& word = arg.words[0];
    if (word.starts_with("-W") || word.starts_with("-I") || word.starts_with("-iquote") ||
        word.starts_with("-isystem") || word.starts_with("-idirafter")) {
      continue;
    }
    Append(options, arg.words);
  }
  return options;
}

// The runtime's compile: the options that shape code, without warnings,
// without debug information, which the unit's assembly alone carries, and
// without a pipe to the assembler, which reads the runtime's assembly.
Command RuntimeCompile(const CompilerCommand& command) {
  Command compile{command.compiler};
  for (const std::string& word : ShapingOptions(command)) {
    if (!IsPedanticWord(word) && !word.starts_with("-g") && word != "-pipe" && word != "--pipe") {
      compile.push_back(word);
    }
  }
  compile.push_back("-w");
  return compile;
}

// A path an #include "..." can name.
bool IsIncludable(const std::string& path) { return path.find_first_of("\"\n") == std::string::npos; }

// A source's stem as the name of its intermediate files, which the unit
// includes: no quote, backslash or line break.
std::string FileStem(const std::string& source) {
  std::string stem = Stem(source);
  for (char& c : stem) {
    if (c == '"' || c == '\\' || c == '\n') c = '_';
  }
  return stem;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Absolute(const std::string& directory, const std::string& from) {
  if (directory.starts_with("/")) return directory;
  return directory.empty() ? from : from + "/" + directory;
}

// An option the user gave for where FDC (or TSF) files go wins: -FDCNAME,
// -FDCDIR and their abbreviations (-TSF... alike).
bool ChoosesPlace(const std::vector<std::string>& options, const std::string& prefix) {
  for (const std::string& option : options) {
    std::string upper = option.substr(0, prefix.size());
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == prefix) return true;
  }
  return false;
}

// -FDCDIR and -TSFDIR naming the directory of the object (of the program
// when the object is only an intermediate file).
Command DefinitionPlaces(const CompilerCommand& command, const SourceSteps& steps, const PlanSettings& settings) {
  if (settings.definitionsBesideObjectsFrom.empty()) return {};
  const std::string made = command.mode == CompilerMode::kCompile ? steps.object : command.output;
  const std::string directory = Absolute(DirectoryOf(made), settings.definitionsBesideObjectsFrom);
  Command places;
  if (!ChoosesPlace(settings.instrumentOptions, "-FDC")) places.push_back("-FDCDIR=" + directory);
  if (!ChoosesPlace(settings.instrumentOptions, "-TSF")) places.push_back("-TSFDIR=" + directory);
  return places;
}

Command SourceInput(const CompilerArg& source) {
  if (!source.explicitLanguage) return {source.value};
  return {"-x", source.language, source.value};
}

// The instrumented file compiled with the command's macros (expanded first
// under -pedantic): for compilers whose predefined macros are unknown.
void PlanCompileAsItIs(const CompilerCommand& command, SourceSteps& steps, const std::string& instrumented,
                       const PlanSettings& settings) {
  const Command results = settings.resultsFile.empty() ? Command{} : Command{ResultsDefinition(settings.resultsFile)};
  std::string compiled = instrumented;
  if (IsPedantic(command)) {
    compiled = steps.directory + "/" + FileStem(steps.source) + ".expanded.i";
    steps.expand = {command.compiler};
    Append(steps.expand,
           WithoutPedanticOrErrors(CommonOptions(command, kRolePreprocessorOnly | kRoleDependency | kRoleSaveTemps)));
    Append(steps.expand, results);
    if (steps.keepsComments) steps.expand.push_back("-C");
    Append(steps.expand, {"-E", instrumented, "-o", compiled});
  }
  steps.compile = {command.compiler};
  Append(steps.compile, CommonOptions(command, kRolePreprocessorOnly | kRoleDependency));
  if (steps.expand.empty()) Append(steps.compile, results);
  Append(steps.compile, {"-c", compiled, "-o", steps.object});
}

// The unit that includes the instrumented file, compiled at once, or
// expanded first for a compiler cache or distributor, and under -pedantic
// by a compiler other than GCC.
void PlanCompileOfUnit(const CompilerCommand& command, SourceSteps& steps, const std::string& instrumented,
                       const PlanSettings& settings) {
  steps.unitFile = steps.directory + "/" + FileStem(steps.source) + ".c";
  steps.runtime.macros = RuntimeMacros(command, settings);
  steps.unitText = UnitText(steps, instrumented, settings);
  const Command unitReading = settings.gcc ? Command{"-fpreprocessed", "-fdirectives-only"} : Command{"-undef"};
  const unsigned notCompiling = kRolePreprocessorOnly | kRoleDependency | kRoleMacro;
  steps.compile = {command.compiler};
  Append(steps.compile, CommonOptions(command, notCompiling));
  if (settings.compilerPrefix.empty() && (settings.gcc || !IsPedantic(command))) {
    Append(steps.compile, unitReading);
    Append(steps.compile, {"-c", "-x", "c", steps.unitFile, "-o", steps.object});
    if (!settings.cacheDirectory.empty() && !OptimisesAtLinkTime(command) && !KeepsIntermediateFiles(command)) {
      steps.runtime.compile = RuntimeCompile(command);
      steps.runtime.cache = settings.cacheDirectory;
      steps.runtime.included = !settings.gcc;
    }
    return;
  }
  const std::string expanded = steps.directory + "/" + FileStem(steps.source) + ".expanded.i";
  steps.expand = {command.compiler};
  Append(steps.expand, WithoutPedanticOrErrors(CommonOptions(command, notCompiling | kRoleSaveTemps)));
  if (steps.keepsComments) steps.expand.push_back("-C");
  Append(steps.expand, unitReading);
  Append(steps.expand, {"-E", "-x", "c", steps.unitFile, "-o", expanded});
  // Clang expands its predefined macros in preprocessed text too.
  if (!settings.gcc) steps.compile.push_back("-undef");
  Append(steps.compile, {"-c", expanded, "-o", steps.object});
}

SourceSteps PlanSource(const CompilerCommand& command, const CompilerArg& source, std::size_t index,
                       const PlanSettings& settings) {
  const std::string directory = settings.privateDirectory + "/" + std::to_string(index);
  const std::string stem = FileStem(source.value);
  const std::string preprocessed = directory + "/" + stem + ".i";
  // The file the compiler reads is named as the source: Clang names the
  // object's file symbol, which linkers quote, after it.
  const bool throughUnit = !settings.predefinedMacros.empty() && IsIncludable(settings.predefinedMacros);
  const std::string instrumented = directory + "/" + stem + (throughUnit ? ".instrumented.c" : ".c");
  SourceSteps steps;
  steps.source = source.value;
  steps.directory = directory;
  if (command.mode == CompilerMode::kCompile) steps.object = command.hasOutput ? command.output : Stem(source.value) + ".o";
  else steps.object = directory + "/" + stem + ".o";

  steps.preprocess = {command.compiler};
  Append(steps.preprocess, CommonOptions(command, kRoleSaveTemps));
  Append(steps.preprocess, DependencyNames(command, source.value));
  steps.keepsComments = KeepsComments(command, source.value, settings);
  if (steps.keepsComments) steps.preprocess.push_back("-C");
  steps.preprocess.push_back("-E");
  Append(steps.preprocess, SourceInput(source));
  Append(steps.preprocess, {"-o", preprocessed});

  steps.instrumented = instrumented;
  steps.instrument = {settings.quorbcc1, preprocessed, instrumented, settings.definitionFile};
  Append(steps.instrument, DefinitionPlaces(command, steps, settings));
  Append(steps.instrument, settings.instrumentOptions);

  if (throughUnit) PlanCompileOfUnit(command, steps, instrumented, settings);
  else PlanCompileAsItIs(command, steps, instrumented, settings);

  for (Command* original : {&steps.original, &steps.diagnose}) {
    const bool diagnose = original == &steps.diagnose;
    *original = {command.compiler};
    Append(*original, CommonOptions(command, kRoleDependency | (diagnose ? kRoleSaveTemps : kRoleNone)));
    original->push_back("-c");
    Append(*original, SourceInput(source));
    Append(*original, {"-o", diagnose ? directory + "/" + stem + ".diagnose.o" : steps.object});
  }
  return steps;
}

// The original command with each C source replaced by its object (`objects`
// not empty) or left out. The -x options are rewritten so that each input
// keeps its language and none follows the last input (which the compilers
// warn about): an object stands where "-x none" is in effect.
Command RewriteInputs(const CompilerCommand& command, const std::vector<SourceSteps>& objects) {
  Command rest = {command.compiler};
  std::string inEffect = "none";
  std::size_t next = 0;
  bool anyInput = false;
  auto addInput = [&](const std::string& language, const std::string& name) {
    if (language != inEffect) Append(rest, {"-x", language});
    inEffect = language;
    rest.push_back(name);
    anyInput = true;
  };
  for (const CompilerArg& arg : command.args) {
    if (arg.roles & kRoleLanguage) continue;
    if (IsCSource(arg)) {
      if (!objects.empty()) addInput("none", objects[next++].object);
    } else if (arg.roles & kRoleInput) {
      addInput(arg.explicitLanguage ? arg.language : "none", arg.value);
    } else {
      Append(rest, arg.words);
    }
  }
  return anyInput ? rest : Command{};
}

bool CanInstrument(const CompilerCommand& command) {
  if (command.mode == CompilerMode::kOther || command.readsStandardInput) return false;
  // The compiler itself rejects -o with -c and several inputs.
  if (command.mode == CompilerMode::kCompile && command.hasOutput && command.inputCount > 1) return false;
  for (const CompilerArg& arg : command.args) {
    if (IsCSource(arg)) return true;
  }
  return false;
}

std::string JoinWords(const Command& command) {
  std::string line;
  for (const std::string& word : command) {
    if (!line.empty()) line += ' ';
    line += word;
  }
  return line;
}

// ccache, distcc and the like go before the compiler where it makes objects
// or links; preprocessing and the diagnosing compile run the compiler alone.
Command Prefixed(const Command& prefix, const Command& command) {
  if (command.empty() || prefix.empty()) return command;
  Command prefixed = prefix;
  Append(prefixed, command);
  return prefixed;
}

}  // namespace

bool MayHoldFallthroughComment(std::string_view text) {
  constexpr std::string_view kWord = "fall";
  for (std::size_t at = 0; at + kWord.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < kWord.size() && (text[at + i] | 0x20) == kWord[i]) ++i;
    if (i == kWord.size()) return true;
  }
  return false;
}

Command MacroShapingOptions(const std::vector<std::string>& argv) { return ShapingOptions(ClassifyArguments(argv)); }

std::vector<std::string> CSources(const std::vector<std::string>& argv) {
  std::vector<std::string> sources;
  for (const CompilerArg& arg : ClassifyArguments(argv).args) {
    if (IsCSource(arg)) sources.push_back(arg.value);
  }
  return sources;
}

CompilePlan PlanCompile(const std::vector<std::string>& argv, const PlanSettings& settings) {
  const CompilerCommand command = ClassifyArguments(argv);
  CompilePlan plan;
  if (!CanInstrument(command)) return plan;
  plan.passThrough = false;
  for (const CompilerArg& arg : command.args) {
    if (!IsCSource(arg)) continue;
    SourceSteps steps = PlanSource(command, arg, plan.sources.size() + 1, settings);
    steps.compile = Prefixed(settings.compilerPrefix, steps.compile);
    steps.original = Prefixed(settings.compilerPrefix, steps.original);
    plan.sources.push_back(std::move(steps));
  }
  plan.rest = RewriteInputs(command, command.mode == CompilerMode::kLink ? plan.sources : std::vector<SourceSteps>{});
  plan.rest = Prefixed(settings.compilerPrefix, plan.rest);
  return plan;
}

std::vector<std::string> DescribePlan(const CompilePlan& plan, const std::vector<std::string>& argv) {
  if (plan.passThrough) return {JoinWords(argv)};
  std::vector<std::string> lines;
  for (const SourceSteps& steps : plan.sources) {
    lines.push_back(JoinWords(steps.preprocess));
    lines.push_back(JoinWords(steps.instrument));
    if (!steps.expand.empty()) lines.push_back(JoinWords(steps.expand));
    lines.push_back(JoinWords(steps.compile));
  }
  if (!plan.rest.empty()) lines.push_back(JoinWords(plan.rest));
  return lines;
}

}  // namespace wrapper
