#include "wrapper/run_plan.h"

#include "wrapper/cache_files.h"
#include "wrapper/processes.h"
#include "wrapper/shared_runtime.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

bool WriteFile(const std::string& path, const std::string& text, const RunSettings& settings) {
  if (settings.verbose) std::fprintf(stderr, "quorbcc: %s:\n%s", path.c_str(), text.c_str());
  std::FILE* file = std::fopen(path.c_str(), "w");
  const bool written = file && std::fputs(text.c_str(), file) >= 0;
  if (file && std::fclose(file) == 0 && written) return true;
  std::perror(("quorbcc: " + path).c_str());
  return false;
}

// The first kilobytes of a file, where an instrumented file's prologue is.
std::string FileHead(const std::string& path) {
  std::string head(16384, '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "";
  head.resize(std::fread(head.data(), 1, head.size(), file));
  std::fclose(file);
  return head;
}

struct SharedRuntime {
  std::string variant;
  std::string assembly;
};

// Compiles the variant's runtime to assembly made to be shared, into
// `shared`; its text when it assembles ahead of a unit of the variant.
std::optional<std::string> MakeSharedAssembly(const SourceSteps& steps, const std::string& variant,
                                              const RuntimePrologue& prologue, const std::string& source,
                                              const std::string& shared, const RunSettings& settings) {
  const std::string compiled = steps.directory + "/runtime.s";
  const std::string probe = steps.directory + "/probe.c", errors = steps.directory + "/runtime.err";
  Command compile = steps.runtime.compile;
  compile.insert(compile.end(), {"-S", "-x", "c", source, "-o", compiled});
  if (Run(compile, settings, {"", errors}) != 0) return std::nullopt;
  const std::optional<std::string> assembly = ReadOwnFile(compiled);
  if (!assembly) return std::nullopt;
  const std::string text = SharedAssembly(*assembly);
  const std::string unit = VariantDefinition(variant) + steps.runtime.macros + prologue.text;
  if (!WriteFile(shared, text, settings) ||
      !WriteFile(probe, unit + AssemblyProbe() + (steps.runtime.included ? AssemblyInclusion(shared) : ""),
                 settings)) {
    return std::nullopt;
  }
  Command check = steps.runtime.compile;
  check.insert(check.end(), {"-c", "-x", "c", probe, "-o", steps.directory + "/probe.o"});
  if (!steps.runtime.included) check.insert(check.end(), {"-Xassembler", shared});
  if (Run(check, settings, {"", errors}) != 0) return std::nullopt;
  return text;
}

// The cached assembly linked (or copied) into the private directory, so
// that a cache emptied during the build takes nothing from this compile.
bool TakeCachedAssembly(const std::string& cached, const std::string& taken) {
  if (!IsOwnFile(cached)) return false;
  std::error_code error;
  std::filesystem::create_hard_link(cached, taken, error);
  if (!error) return true;
  std::filesystem::copy_file(cached, taken, error);
  return !error;
}

// The runtime's assembly for the instrumented file's variant: from the
// cache, or made and kept there. None when the unit keeps its runtime: its
// prologue does not allow sharing, or the assembly cannot be made.
std::optional<SharedRuntime> PrepareSharedRuntime(const SourceSteps& steps, const RunSettings& settings) {
  if (steps.runtime.compile.empty()) return std::nullopt;
  const std::optional<RuntimePrologue> prologue = FindRuntimePrologue(FileHead(steps.instrumented));
  if (!prologue) return std::nullopt;
  const std::optional<std::string> variant = RuntimeVariant(steps.runtime, *prologue);
  if (!variant) return std::nullopt;
  const std::string cached = CachedRuntimeAssembly(steps.runtime, *variant);
  const std::string taken = steps.directory + "/runtime.shared.s";
  if (steps.runtime.included && AssemblyInclusion(taken).empty()) return std::nullopt;
  if (TakeCachedAssembly(cached, taken)) return SharedRuntime{*variant, taken};

  // Without a cache to keep it, making the assembly for every compile would
  // cost more than it saves.
  std::error_code ignored;
  std::filesystem::create_directories(steps.runtime.cache, ignored);
  if (access(steps.runtime.cache.c_str(), W_OK) != 0) return std::nullopt;
  const std::string source = steps.directory + "/runtime.c";
  if (!WriteFile(source, RuntimeSource(*variant, steps.runtime, *prologue), settings)) return std::nullopt;
  const std::optional<std::string> text = MakeSharedAssembly(steps, *variant, *prologue, source, taken, settings);
  if (!text) return std::nullopt;
  ReplaceCacheFile(cached, *text);
  return SharedRuntime{*variant, taken};
}

// The unit, naming the shared runtime's variant (if any) right after its
// line marker, ahead of the runtime header, and including its assembly
// last when the compiler assembles the unit itself.
bool WriteUnit(const SourceSteps& steps, const RunSettings& settings, const std::optional<SharedRuntime>& runtime) {
  std::string text = steps.unitText;
  if (runtime) {
    text.insert(text.find('\n') + 1, VariantDefinition(runtime->variant));
    if (steps.runtime.included) text += AssemblyInclusion(runtime->assembly);
  }
  return WriteFile(steps.unitFile, text, settings);
}

// The compile of the unit, with the runtime's assembly ahead of its own
// when the compiler runs an assembler. A pipe from the compiler would be an
// assembler input the runtime's file displaces, so the unit's assembly then
// goes through a file.
Command CompileWithRuntime(const SourceSteps& steps, const std::optional<SharedRuntime>& runtime) {
  if (!runtime || steps.runtime.included) return steps.compile;
  Command command;
  for (const std::string& word : steps.compile) {
    if (word != "-pipe" && word != "--pipe") command.push_back(word);
  }
  command.insert(command.end(), {"-Xassembler", runtime->assembly});
  return command;
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

  const std::optional<SharedRuntime> runtime = PrepareSharedRuntime(steps, settings);
  if (!steps.unitFile.empty() && !WriteUnit(steps, settings, runtime)) return 1;
  if (!steps.expand.empty()) {
    const std::string expandErrors = steps.directory + "/expand.err";
    status = Run(steps.expand, settings, {"", expandErrors});
    if (status != 0) {
      return HandleRefusal(steps, settings, status, expandErrors, "its instrumented file does not compile");
    }
  }
  const std::string compileErrors = steps.directory + "/compile.err";
  status = Run(CompileWithRuntime(steps, runtime), settings, {"", compileErrors});
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
