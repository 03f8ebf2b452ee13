#include "wrapper/run_plan.h"

#include "wrapper/processes.h"

#include <cstdio>
#include <sys/stat.h>

namespace wrapper {
namespace {

int Run(const Command& command, const RunSettings& settings, const Redirection& redirection = {}) {
  if (settings.verbose) {
    std::string line = "quorbcc:";
    for (const std::string& word : command) line += " " + word;
    std::fprintf(stderr, "%s\n", line.c_str());
  }
  const int status = RunCommand(command, redirection);
  return PendingInterrupt() ? 128 + PendingInterrupt() : status;
}

bool IsEmptyFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) != 0 || info.st_size == 0;
}

void RemoveObject(const SourceSteps& steps) {
  if (steps.object != "-") std::remove(steps.object.c_str());
}

// quorbcc1 or the compile of its output failed with `status`, its messages in
// `messages`.
int HandleRefusal(const SourceSteps& steps, const RunSettings& settings, int status, const std::string& messages,
                  const char* what) {
  if (PendingInterrupt()) return status;
  const std::string originalErrors = steps.directory + "/original.err";
  const int originalStatus = Run(settings.fallback ? steps.original : steps.diagnose, settings, {"", originalErrors});
  CopyToStandardError(originalErrors);
  if (originalStatus != 0) return originalStatus;
  if (settings.fallback) {
    std::fprintf(stderr, "quorbcc: warning: %s compiled without instrumentation: %s (status %d)\n",
                 steps.source.c_str(), what, status);
    return 0;
  }
  CopyToStandardError(messages);
  std::fprintf(stderr, "quorbcc: %s: %s (status %d); QUORB_FALLBACK=1 compiles it without instrumentation\n",
               steps.source.c_str(), what, status);
  return status;
}

// The instrumented file compiled with messages: they are about the
// instrumented text, so the original source is compiled for the compiler's
// own ones. The instrumented text's own warnings show only when verbose.
int Diagnose(const SourceSteps& steps, const RunSettings& settings, const std::string& instrumentedMessages) {
  if (settings.verbose) CopyToStandardError(instrumentedMessages);
  const std::string originalErrors = steps.directory + "/original.err";
  const int status = Run(steps.diagnose, settings, {"", originalErrors});
  CopyToStandardError(originalErrors);
  if (status != 0) RemoveObject(steps);
  return status;
}

bool WriteUnit(const SourceSteps& steps, const RunSettings& settings) {
  if (settings.verbose) std::fprintf(stderr, "quorbcc: %s:\n%s", steps.unitFile.c_str(), steps.unitText.c_str());
  std::FILE* file = std::fopen(steps.unitFile.c_str(), "w");
  const bool written = file && std::fputs(steps.unitText.c_str(), file) >= 0;
  if (file && std::fclose(file) == 0 && written) return true;
  std::perror(("quorbcc: " + steps.unitFile).c_str());
  return false;
}

int RunSource(const SourceSteps& steps, const RunSettings& settings) {
  if (mkdir(steps.directory.c_str(), 0700) != 0) {
    std::perror(("quorbcc: " + steps.directory).c_str());
    return 1;
  }
  if (const int status = Run(steps.preprocess, settings)) return status;

  const std::string instrumentErrors = steps.directory + "/quorbcc1.err";
  int status = Run(steps.instrument, settings, {steps.directory + "/quorbcc1.out", instrumentErrors});
  if (status != 0) return HandleRefusal(steps, settings, status, instrumentErrors, "quorbcc1 refused it");
  CopyToStandardError(instrumentErrors);

  if (!steps.unitFile.empty() && !WriteUnit(steps, settings)) return 1;
  if (!steps.expand.empty()) {
    const std::string expandErrors = steps.directory + "/expand.err";
    status = Run(steps.expand, settings, {"", expandErrors});
    if (status != 0) {
      return HandleRefusal(steps, settings, status, expandErrors, "its instrumented file does not compile");
    }
  }
  const std::string compileErrors = steps.directory + "/compile.err";
  status = Run(steps.compile, settings, {"", compileErrors});
  if (status != 0) return HandleRefusal(steps, settings, status, compileErrors, "its instrumented file does not compile");
  if (!IsEmptyFile(compileErrors)) return Diagnose(steps, settings, compileErrors);
  return 0;
}

}  // namespace

int RunPlan(const CompilePlan& plan, const RunSettings& settings) {
  int firstFailure = 0;
  for (const SourceSteps& steps : plan.sources) {
    const int status = RunSource(steps, settings);
    if (PendingInterrupt()) return status;
    if (firstFailure == 0) firstFailure = status;
  }
  if (firstFailure != 0 || plan.rest.empty()) return firstFailure;
  return Run(plan.rest, settings);
}

}  // namespace wrapper
