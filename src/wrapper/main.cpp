// quorbcc [--qb=OPTION]... COMPILER ARGS...
//
// A compiler launcher: compiles of C sources are instrumented by quorbcc1 on
// the way, every other command runs unchanged.
#include "wrapper/build_places.h"
#include "wrapper/compile_plan.h"
#include "wrapper/launcher_help.h"
#include "wrapper/predefined_macros.h"
#include "wrapper/private_directory.h"
#include "wrapper/processes.h"
#include "wrapper/response_files.h"
#include "wrapper/run_plan.h"
#include "wrapper/system_includes.h"
#include "wrapper/wrapper_options.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

bool EnvironmentFlag(const char* name) {
  const char* value = std::getenv(name);
  return value && std::string(value) == "1";
}

std::string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string LauncherPath(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  return std::filesystem::absolute(argv0, error).string();
}

std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::current_path(error);
  return error ? "." : directory.string();
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// An explicit NIVRAKDIR or QBLTGT (another target deployment port) wins.
void ExportInstallation(const wrapper::Installation& installation) {
  setenv("NIVRAKDIR", installation.root.c_str(), 0);
  setenv("QBLTGT", installation.target.c_str(), 0);
  setenv("QUORB_SUPPRESS_COPYRIGHT", "", 1);
}

// The bare-metal port records coverage only; QBLTGT, when set, is the port.
bool RefuseBareMetalAnalyses(const wrapper::Installation& installation, const std::vector<std::string>& options) {
  const std::string port = EnvironmentText("QBLTGT").empty() ? installation.target : EnvironmentText("QBLTGT");
  if (!port.ends_with("/gcc-bare") && !port.ends_with("/gcc-bare/")) return true;
  const std::optional<std::string> refused = wrapper::RefusedOnBareMetal(options);
  if (!refused) return true;
  std::fprintf(stderr,
               "quorbcc: %s: tracing and profiling need an operating system, and the bare-metal port (%s) "
               "records coverage only; build without it, or for a hosted target\n",
               refused->c_str(), port.c_str());
  return false;
}

// The results file instrumented programs default to: in the build's top
// directory, so that tests run anywhere in the build add to one file.
std::string ResultsFile(const std::string& directory) {
  const std::string chosen = EnvironmentText("QUORB_RESULTS_DIR");
  const std::string top =
      chosen.empty() ? wrapper::BuildTopDirectory(directory, Exists) : wrapper::AbsolutePath(chosen, directory);
  return (top == "/" ? "" : top) + "/quorb.qbr";
}

// $XDG_CACHE_HOME/quorbcc or ~/.cache/quorbcc: what the launcher keeps from
// one compile to the next, out of the build tree and of TMPDIR.
std::string CacheDirectory() {
  const std::string xdg = EnvironmentText("XDG_CACHE_HOME");
  if (xdg.starts_with("/")) return xdg + "/quorbcc";
  const std::string home = EnvironmentText("HOME");
  return (home.empty() ? wrapper::TemporaryRoot() : home + "/.cache") + "/quorbcc";
}

// The compiler's own header directories are not instrumented: asked of
// the compiler once per toolchain (and PATH, which finds it), then cached.
void LeaveSystemHeadersAlone(const std::vector<std::string>& argv, wrapper::PlanSettings& settings) {
  std::vector<std::string> toolchain{"includes", argv[0], EnvironmentText("PATH")};
  for (const std::string& word : wrapper::ToolchainArguments(argv)) toolchain.push_back(word);
  const std::string cache = CacheDirectory() + "/includes-" + wrapper::StableName(toolchain);
  const std::optional<std::string> option = wrapper::NoInstrumentOption(
      wrapper::SystemIncludeDirectories(argv, cache, settings.privateDirectory));
  if (option) settings.instrumentOptions.insert(settings.instrumentOptions.begin(), *option);
}

// The compiler's reserved predefined macros, for the compile of the
// instrumented file: asked once per compiler and option set, then cached.
void FindCompilerMacros(const std::vector<std::string>& argv, wrapper::PlanSettings& settings) {
  const std::optional<wrapper::PredefinedMacros> macros = wrapper::FindPredefinedMacros(
      argv[0], wrapper::MacroShapingOptions(argv), CacheDirectory(), settings.privateDirectory);
  if (!macros) return;
  std::error_code error;
  settings.predefinedMacros = std::filesystem::absolute(macros->header, error).string();
  settings.gcc = macros->gcc;
}

// Objects take the runtime from an assembly kept in the cache. A compiler
// cache or distributor compiles each object whole.
void ShareRuntime(wrapper::PlanSettings& settings) {
  if (settings.compilerPrefix.empty() && !settings.predefinedMacros.empty()) {
    settings.cacheDirectory = CacheDirectory();
  }
}

int Instrument(const std::vector<std::string>& argv, wrapper::PlanSettings settings, const std::string& root,
               const std::string& current) {
  std::vector<std::string> identity{current};
  identity.insert(identity.end(), argv.begin(), argv.end());
  wrapper::PrivateDirectory directory(root, wrapper::StableName(identity));
  if (directory.path().empty()) {
    std::perror(("quorbcc: cannot create a directory in " + root + " (set TMPDIR to a writable directory)").c_str());
    return 1;
  }
  settings.privateDirectory = directory.path();
  LeaveSystemHeadersAlone(argv, settings);
  FindCompilerMacros(argv, settings);
  ShareRuntime(settings);
  wrapper::RunSettings run;
  run.fallback = EnvironmentFlag("QUORB_FALLBACK");
  run.verbose = EnvironmentFlag("QUORB_VERBOSE");
  return wrapper::RunPlan(wrapper::PlanCompile(argv, settings), run);
}

// --help and --version before any compiler; true when one was answered.
bool AnswerLauncherQuestion(int argc, char** argv, int& status) {
  if (argc != 2) return false;
  const std::string word = argv[1];
  if (word == "--help" || word == "-h") {
    std::fputs(wrapper::LauncherHelp().c_str(), stdout);
  } else if (word == "--version") {
    std::fputs(wrapper::LauncherVersion(wrapper::InstallationOf(LauncherPath(argv[0]))).c_str(), stdout);
  } else {
    return false;
  }
  status = 0;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (int status = 0; AnswerLauncherQuestion(argc, argv, status)) return status;
  const wrapper::WrapperArgs args =
      wrapper::SplitWrapperArgs(std::vector<std::string>(argv + 1, argv + argc), EnvironmentText("QUORB_OPTIONS"));
  if (args.compilerArgv.empty()) {
    std::fputs("usage: quorbcc [--qb=OPTION]... COMPILER ARGS...  (quorbcc --help tells more)\n", stderr);
    return 2;
  }
  const std::size_t wrappers = wrapper::CompilerWrapperWords(args.compilerArgv);
  const std::vector<std::string> compilerArgv(args.compilerArgv.begin() + static_cast<std::ptrdiff_t>(wrappers),
                                              args.compilerArgv.end());
  const std::vector<std::string> expanded = wrapper::ExpandResponseFiles(compilerArgv, wrapper::ReadWholeFile);
  wrapper::PlanSettings settings;
  const std::string directory = CurrentDirectory();
  if (wrapper::PlanCompile(expanded, settings).passThrough ||
      wrapper::IsConfigurationProbe(wrapper::CSources(expanded), directory, EnvironmentText("QUORB_PLAIN"))) {
    return wrapper::ExecCommand(args.compilerArgv);
  }

  const std::optional<std::string> definition = wrapper::DefinitionFileFor(expanded[0]);
  if (!definition) {
    std::fprintf(stderr,
                 "quorbcc: no definition file is known for the compiler %s: name gcc, clang or cc (possibly "
                 "cross or versioned, e.g. arm-none-eabi-gcc, clang-14) right after quorbcc and its --qb= options\n",
                 expanded[0].c_str());
    return 1;
  }
  const wrapper::Installation installation =
      wrapper::InstallationOf(LauncherPath(argv[0]), wrapper::TargetPortFor(expanded));
  if (!RefuseBareMetalAnalyses(installation, args.instrumentOptions)) return 1;
  if (access(installation.quorbcc1.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "quorbcc: installation not found: %s (quorbcc must stay in the bin directory beside "
                         "quorbcc1)\n", installation.quorbcc1.c_str());
    return 1;
  }
  ExportInstallation(installation);
  settings.quorbcc1 = installation.quorbcc1;
  settings.definitionFile = *definition;
  settings.instrumentOptions = args.instrumentOptions;
  settings.compilerPrefix.assign(args.compilerArgv.begin(), args.compilerArgv.begin() + static_cast<std::ptrdiff_t>(wrappers));
  settings.resultsFile = ResultsFile(directory);
  if (!EnvironmentFlag("QUORB_FDC_BESIDE_SOURCES")) settings.definitionsBesideObjectsFrom = directory;
  settings.mayHoldFallthroughComment = [](const std::string& source) {
    const std::optional<std::string> text = wrapper::ReadWholeFile(source);
    return !text || wrapper::MayHoldFallthroughComment(*text);
  };
  wrapper::CatchInterrupts();
  const int status = Instrument(expanded, settings, wrapper::TemporaryRoot(), directory);
  if (wrapper::PendingInterrupt()) wrapper::RaisePendingInterrupt();
  return status;
}
