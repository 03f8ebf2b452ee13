// quorbcc [--qb=OPTION]... COMPILER ARGS...
//
// A compiler launcher: compiles of C sources are instrumented by quorbcc1 on
// the way, every other command runs unchanged.
#include "wrapper/compile_plan.h"
#include "wrapper/private_directory.h"
#include "wrapper/processes.h"
#include "wrapper/response_files.h"
#include "wrapper/run_plan.h"
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

std::string LauncherPath(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  return std::filesystem::absolute(argv0, error).string();
}

// An explicit NIVRAKDIR or QBLTGT (another target deployment port) wins.
void ExportInstallation(const wrapper::Installation& installation) {
  setenv("NIVRAKDIR", installation.root.c_str(), 0);
  setenv("QBLTGT", installation.target.c_str(), 0);
  setenv("QUORB_SUPPRESS_COPYRIGHT", "", 1);
}

int Instrument(const std::vector<std::string>& argv, wrapper::PlanSettings settings, const std::string& root) {
  wrapper::PrivateDirectory directory(root);
  if (directory.path().empty()) {
    std::perror(("quorbcc: cannot create a directory in " + root).c_str());
    return 1;
  }
  settings.privateDirectory = directory.path();
  wrapper::RunSettings run;
  run.fallback = EnvironmentFlag("QUORB_FALLBACK");
  run.verbose = EnvironmentFlag("QUORB_VERBOSE");
  return wrapper::RunPlan(wrapper::PlanCompile(argv, settings), run);
}

}  // namespace

int main(int argc, char** argv) {
  const char* options = std::getenv("QUORB_OPTIONS");
  const wrapper::WrapperArgs args =
      wrapper::SplitWrapperArgs(std::vector<std::string>(argv + 1, argv + argc), options ? options : "");
  if (args.compilerArgv.empty()) {
    std::fputs("usage: quorbcc [--qb=OPTION]... COMPILER ARGS...\n", stderr);
    return 2;
  }
  const std::vector<std::string> expanded = wrapper::ExpandResponseFiles(args.compilerArgv, wrapper::ReadWholeFile);
  wrapper::PlanSettings settings;
  if (wrapper::PlanCompile(expanded, settings).passThrough) return wrapper::ExecCommand(args.compilerArgv);

  const std::optional<std::string> definition = wrapper::DefinitionFileFor(expanded[0]);
  if (!definition) {
    std::fprintf(stderr, "quorbcc: no definition file is known for the compiler %s\n", expanded[0].c_str());
    return 1;
  }
  const wrapper::Installation installation = wrapper::InstallationOf(LauncherPath(argv[0]));
  if (access(installation.quorbcc1.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "quorbcc: installation not found: %s\n", installation.quorbcc1.c_str());
    return 1;
  }
  ExportInstallation(installation);
  settings.quorbcc1 = installation.quorbcc1;
  settings.definitionFile = *definition;
  settings.instrumentOptions = args.instrumentOptions;
  wrapper::CatchInterrupts();
  const int status = Instrument(expanded, settings, wrapper::TemporaryRoot());
  if (wrapper::PendingInterrupt()) wrapper::RaisePendingInterrupt();
  return status;
}
