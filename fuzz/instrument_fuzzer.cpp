// libFuzzer harness of a whole instrumentation run: the input after its
// first byte is a preprocessed C file, instrumented with the coverage types,
// counting mode, listing and runtime analyses that the first byte selects.
// A run may end on any fatal condition (a syntax error, most often): those
// unwind back here; only a crash, a hang, a leak or a sanitizer report is a
// finding.
#include "driver/instrumentation_run.h"
#include "support/fatal_exit.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the runs of the process share, made once by LLVMFuzzerInitialize.
struct Host {
  int argc = 1;
  char* argv[2] = {const_cast<char*>("instrument_fuzzer"), nullptr};
  std::unique_ptr<QCoreApplication> application;
  std::unique_ptr<driver::Translations> translations;
  std::unique_ptr<support::UnwindingFatalExits> unwinding;
  std::filesystem::path directory;
};

Host* host = nullptr;

// Every bit of the first byte picks an option group, and pairs of bits the
// options that only make sense with others, so that the corpus reaches every
// coverage type, both counting modes, the listing with and without metrics
// and the runtime analyses. -KEEP and -MOXTEL_LOG are left out: they write
// beside the files that the input's line directives name.
std::vector<std::string> OptionsOf(std::uint8_t selector) {
  static const char* const kBlocks[] = {nullptr, "-BLOCK", "-BLOCK=DECISION", "-BLOCK=LOGICAL"};
  static const char* const kConditions[] = {nullptr, "-COND", "-COND=MODIFIED", "-COND=FORCEEVALUATION"};
  std::vector<std::string> options;
  const unsigned block = selector & 3;
  const unsigned condition = (selector >> 2) & 3;
  if (kBlocks[block]) options.push_back(kBlocks[block]);
  if (condition == 2 && (selector & 0x40)) {
    options.push_back("-COND=COMPOUND");
  } else if (kConditions[condition]) {
    options.push_back(kConditions[condition]);
  }
  options.push_back(selector & 0x10 ? "-PROC=RET" : "-PROC");
  if (selector & 0x20) options.push_back("-CALL");
  switch (selector >> 6) {
    case 1: options.push_back("-COUNT"); break;
    case 2: options.push_back("-COMPACT"); break;
    case 3: options.insert(options.end(), {"-TRACE", "-MEMPRO", "-PERFPRO=PROCESS", "-BEFORE_RETURN_EXPR"}); break;
    default: break;
  }
  if (block == 3 && (selector & 0x20)) options.push_back("-WHILEONLY");
  if ((selector ^ (selector >> 4)) & 1) options.push_back("-METRICS");
  if ((selector ^ (selector >> 5)) & 2) options.push_back("-NOCVI");
  if ((selector ^ (selector >> 3)) & 4) options.push_back("-NOTERNARY");
  if ((selector ^ (selector >> 1)) & 0x40) options.push_back("-NOINFO");
  if ((selector ^ (selector >> 2)) & 0x20) options.push_back("-NODLINE");
  options.push_back("-NOWARNINGS");
  return options;
}

void WriteInput(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

// The installation is the build tree unless the environment names another.
void SetDefaultEnvironment() {
  setenv("NIVRAKDIR", QUORB_BUILD_DIR, 0);
  setenv("QBLTGT", QUORB_BUILD_DIR "/tdp/gcc", 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetDefaultEnvironment();
  host = new Host;
  host->application = std::make_unique<QCoreApplication>(host->argc, host->argv);
  host->unwinding = std::make_unique<support::UnwindingFatalExits>();
  host->translations = std::make_unique<driver::Translations>(driver::CrashHandlers::kLeaveToHost);
  // TMPDIR on a memory file system saves most of a run's time: creating
  // and removing files on a disk file system costs more than the run.
  std::string pattern = (std::filesystem::temp_directory_path() / "instrument_fuzzer.XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  host->directory = pattern;
  std::atexit([] { std::filesystem::remove_all(host->directory); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::filesystem::path& directory = host->directory;
  const std::filesystem::path source = directory / "input.i";
  WriteInput(source, data + 1, size - 1);
  std::vector<std::string> arguments{source.string(), (directory / "instrumented.c").string(), "gcc.def"};
  for (std::string& option : OptionsOf(data[0])) arguments.push_back(std::move(option));
  arguments.push_back("-FDCDIR=" + directory.string());
  arguments.push_back("-TSFDIR=" + directory.string());
  driver::RunInstrumentation(arguments);
  // Outputs of this input must not merge into those of the next one.
  for (const auto& entry : std::filesystem::directory_iterator(directory)) std::filesystem::remove_all(entry);
  return 0;
}
