// The cost of instrumenting against the cost of compiling, side by side in one
// run. For each large preprocessed input (5 and 10 MB of header-program
// copies, and lz4's sources preprocessed into one file) it runs
// `gcc -fsyntax-only` and quorbcc1 with every coverage type and the listing,
// takes the best wall time of a few interleaved runs and the peak resident
// size, and prints the time ratio (goal 0.3), the memory ratio to the input
// (goal 10), the time of twice the input against the input (goal 2.1), and
// the -O1 compile time of the instrumented file, with every coverage type and
// with the default coverage, against the original's (goals 1.6 and 1.2),
// then where that compile's extra goes: each family of marks alone, and every
// family with marks that store nothing.
//
//   instrument_bench <build dir> <source dir> <lz4 dir> <work dir> [runs]
#include "generated_source.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kCoverage = {"-PROC=RET", "-CALL", "-BLOCK=LOGICAL", "-COND=MODIFIED"};
constexpr double kTimeGoal = 0.3;
constexpr double kMemoryGoal = 10.0;
constexpr double kScalingGoal = 2.1;
constexpr double kEveryCompileGoal = 1.6;
constexpr double kDefaultCompileGoal = 1.2;

struct Paths {
  fs::path build;
  fs::path source;
  fs::path lz4;
  fs::path work;
};

struct Measure {
  double seconds = 0;     // best wall time
  double cpuSeconds = 0;  // best user and system time
  double peakBytes = 0;   // largest peak resident size
  bool failed = false;
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// One run of the command, its output and errors into the log; the peak
// resident size comes from wait4's resource usage of that child alone.
Measure RunOnce(const std::vector<std::string>& command, const fs::path& log) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  Measure measure;
  if (child < 0 || wait4(child, &status, 0, &usage) != child) {
    measure.failed = true;
    return measure;
  }
  measure.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measure.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  measure.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
  measure.failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  return measure;
}

void KeepBest(Measure& best, const Measure& run) {
  best.seconds = best.seconds == 0 ? run.seconds : std::min(best.seconds, run.seconds);
  best.cpuSeconds = best.cpuSeconds == 0 ? run.cpuSeconds : std::min(best.cpuSeconds, run.cpuSeconds);
  best.peakBytes = std::max(best.peakBytes, run.peakBytes);
  best.failed = best.failed || run.failed;
}

double FileSize(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? 0.0 : static_cast<double>(size);
}

bool WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

// An input: the preprocessed file, and where quorbcc1 writes its output.
struct Input {
  std::string name;
  fs::path preprocessed;
  fs::path instrumented;
};

std::vector<std::string> InstrumentCommand(const Paths& paths, const Input& input) {
  std::vector<std::string> command = {(paths.build / "bin" / "quorbcc1").string(), input.preprocessed.string(),
                                      input.instrumented.string(), "gcc.def", "-FDCDIR=" + paths.work.string()};
  command.insert(command.end(), kCoverage.begin(), kCoverage.end());
  return command;
}

std::vector<std::string> SyntaxCommand(const Input& input) {
  return {"gcc", "-w", "-fsyntax-only", input.preprocessed.string()};
}

std::vector<std::string> CompileCommand(const fs::path& file, const fs::path& object) {
  return {"gcc", "-w", "-O1", "-c", file.string(), "-o", object.string()};
}

// FDC files of earlier runs are removed, so every run writes them anew.
void RemoveFdcFiles(const fs::path& work) {
  for (const auto& entry : fs::directory_iterator(work)) {
    if (entry.path().extension() == ".fdc") fs::remove(entry.path());
  }
}

// Best of the runs for each command, the commands interleaved so that a
// passing load on the machine weighs on all of them alike.
std::vector<Measure> MeasureSideBySide(const Paths& paths, const std::vector<std::vector<std::string>>& commands,
                                       int runs) {
  std::vector<Measure> best(commands.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < commands.size(); ++i) {
      RemoveFdcFiles(paths.work);
      KeepBest(best[i], RunOnce(commands[i], paths.work / ("run" + std::to_string(i) + ".log")));
    }
  }
  return best;
}

const char* Verdict(double value, double goal) { return value <= goal ? "ok" : "OVER GOAL"; }

void PrintRatio(const std::string& what, double value, double goal) {
  std::printf("  %-46s x%6.3f  (goal <= %.2f) %s\n", what.c_str(), value, goal, Verdict(value, goal));
}

// Wall time is what the goals name; CPU time is printed beside it because on
// a loaded machine it is the steadier of the two.
void PrintTimeRatios(const std::string& what, const Measure& part, const Measure& whole, double goal) {
  PrintRatio(what + ", wall", part.seconds / whole.seconds, goal);
  PrintRatio(what + ", CPU", part.cpuSeconds / whole.cpuSeconds, goal);
}

void PrintMeasure(const char* what, const Measure& measure) {
  std::printf("  %-26s %8.3f s wall %8.3f s CPU %8.1f MB peak\n", what, measure.seconds, measure.cpuSeconds,
              measure.peakBytes / 1e6);
}

struct InputResult {
  Measure syntax;
  Measure instrument;
  bool ok = false;
};

InputResult MeasureInput(const Paths& paths, const Input& input, int runs) {
  const std::vector<Measure> best = MeasureSideBySide(paths, {SyntaxCommand(input), InstrumentCommand(paths, input)}, runs);
  InputResult result{best[0], best[1], !best[0].failed && !best[1].failed};
  const double size = FileSize(input.preprocessed);
  std::printf("%s: %.2f MB\n", input.name.c_str(), size / 1e6);
  if (!result.ok) {
    std::printf("  a run failed: see %s\n", (paths.work / "run1.log").c_str());
    return result;
  }
  PrintMeasure("gcc -fsyntax-only", result.syntax);
  PrintMeasure("quorbcc1", result.instrument);
  PrintTimeRatios("quorbcc1 / gcc -fsyntax-only", result.instrument, result.syntax, kTimeGoal);
  PrintRatio("peak memory, quorbcc1 / input size", result.instrument.peakBytes / size, kMemoryGoal);
  return result;
}

// The -O1 compile of the original against that of the file instrumented with
// every coverage type and of one instrumented with the default coverage.
void MeasureCompile(const Paths& paths, const Input& input, int runs) {
  const fs::path object = paths.work / "compiled.o";
  const fs::path defaultCoverage = paths.work / (input.instrumented.stem().string() + "_default.c");
  const std::vector<std::string> instrument = {(paths.build / "bin" / "quorbcc1").string(),
                                               input.preprocessed.string(), defaultCoverage.string(), "gcc.def",
                                               "-FDCDIR=" + paths.work.string()};
  const std::vector<Measure> best =
      RunOnce(instrument, paths.work / "default.log").failed
          ? std::vector<Measure>(3, Measure{0, 0, 0, true})
          : MeasureSideBySide(paths,
                              {CompileCommand(input.preprocessed, object), CompileCommand(input.instrumented, object),
                               CompileCommand(defaultCoverage, object)},
                              runs);
  if (best[0].failed || best[1].failed || best[2].failed) {
    std::printf("  instrumenting or compiling at -O1 failed: see the logs in %s\n", paths.work.c_str());
    return;
  }
  PrintMeasure("gcc -O1, original", best[0]);
  PrintMeasure("gcc -O1, every coverage", best[1]);
  PrintMeasure("gcc -O1, default coverage", best[2]);
  PrintTimeRatios("-O1 compile, every coverage / original", best[1], best[0], kEveryCompileGoal);
  PrintTimeRatios("-O1 compile, default / original", best[2], best[0], kDefaultCompileGoal);
}

// Where the extra compile time goes: each family of marks alone, and every
// family with marks that store nothing (what the compiler pays for reading
// and folding the marks' text, without the stores), against the original.
struct Variant {
  std::string name;
  std::vector<std::string> options;
};

const std::vector<Variant> kFamilies = {
    {"function entries and exits", {"-PROC=RET", "-NOCALL", "-NOBLOCK", "-NOCOND"}},
    {"calls", {"-NOPROC", "-CALL", "-NOBLOCK", "-NOCOND"}},
    {"blocks", {"-NOPROC", "-NOCALL", "-BLOCK=LOGICAL", "-NOCOND"}},
    {"MC/DC conditions", {"-NOPROC", "-NOCALL", "-NOBLOCK", "-COND=MODIFIED"}},
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) return false;
  text.replace(at, from.size(), to);
  return true;
}

// A copy of the file instrumented with every family that includes a copy of
// the port whose marks expand to nothing; empty when the port's text is not
// the one expected.
fs::path WriteWithoutStores(const Paths& paths, const fs::path& instrumented) {
  const fs::path port = paths.build / "tdp" / "gcc" / "lib";
  const fs::path copy = paths.work / "port_without_stores";
  fs::create_directories(copy);
  fs::copy(port, copy, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  std::string header = ReadFile(copy / "TP.h");
  std::string unit = ReadFile(instrumented);
  const fs::path result = paths.work / (instrumented.stem().string() + "_without_stores.c");
  if (!ReplaceOnce(header, "#define _QBCRT_MARK(tab, n) _QBCRT_MARK_CELL(tab, n)",
                   "#define _QBCRT_MARK(tab, n) ((void)0)") ||
      !ReplaceOnce(unit, "#include \"" + (port / "TP.h").string() + "\"",
                   "#include \"" + (copy / "TP.h").string() + "\"") ||
      !WriteFile(copy / "TP.h", header) || !WriteFile(result, unit)) {
    return {};
  }
  return result;
}

void MeasureFamilies(const Paths& paths, const Input& input, int runs) {
  const fs::path object = paths.work / "compiled.o";
  std::vector<std::vector<std::string>> commands = {CompileCommand(input.preprocessed, object)};
  std::vector<std::string> names;
  for (const Variant& family : kFamilies) {
    const fs::path unit = paths.work / ("family_" + std::to_string(names.size()) + ".c");
    std::vector<std::string> instrument = {(paths.build / "bin" / "quorbcc1").string(), input.preprocessed.string(),
                                           unit.string(), "gcc.def", "-FDCDIR=" + paths.work.string()};
    instrument.insert(instrument.end(), family.options.begin(), family.options.end());
    if (RunOnce(instrument, paths.work / "family.log").failed) {
      std::printf("  instrumenting with %s alone failed: see %s\n", family.name.c_str(),
                  (paths.work / "family.log").c_str());
      return;
    }
    commands.push_back(CompileCommand(unit, object));
    names.push_back(family.name + " alone");
  }
  const fs::path withoutStores = WriteWithoutStores(paths, input.instrumented);
  if (!withoutStores.empty()) {
    commands.push_back(CompileCommand(withoutStores, object));
    names.push_back("every family, marks store nothing");
  }
  const std::vector<Measure> best = MeasureSideBySide(paths, commands, runs);
  std::printf("where the -O1 compile's extra goes (CPU, against the original)\n");
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (best[i + 1].failed || best[0].failed) {
      std::printf("  %s: the compile failed: see the logs in %s\n", names[i].c_str(), paths.work.c_str());
      continue;
    }
    std::printf("  %-46s x%6.3f\n", names[i].c_str(), best[i + 1].cpuSeconds / best[0].cpuSeconds);
  }
}

// lz4's library and programs in one translation unit; the statics that two
// of its files both define are renamed in the second.
Input PrepareLz4(const Paths& paths) {
  std::ostringstream unity;
  for (const char* file : {"lib/lz4.c", "lib/lz4frame.c", "lib/lz4hc.c", "lib/xxhash.c", "programs/bench.c",
                           "programs/datagen.c", "programs/lz4cli.c"}) {
    unity << "#include \"" << (paths.lz4 / file).string() << "\"\n";
  }
  unity << "#define g_displayLevel io_displayLevel\n#define refreshRate io_refreshRate\n#define g_time io_time\n"
        << "#include \"" << (paths.lz4 / "programs/lz4io.c").string() << "\"\n";
  Input input{"lz4 (lib and programs in one file)", paths.work / "lz4_all.i", paths.work / "lz4_all_instr.c"};
  WriteFile(paths.work / "lz4_all.c", unity.str());
  const std::vector<std::string> preprocess = {
      "gcc", "-w", "-E", "-I", (paths.lz4 / "lib").string(), (paths.work / "lz4_all.c").string(),
      "-o", input.preprocessed.string()};
  if (RunOnce(preprocess, paths.work / "preprocess.log").failed) input.preprocessed.clear();
  return input;
}

Input PrepareCopies(const Paths& paths, std::size_t size) {
  const fs::path program = paths.work / "headers_program.c";
  fs::copy_file(paths.source / "tests/parse/headers_program.c", program, fs::copy_options::overwrite_existing);
  const std::string name = "copies_" + std::to_string(size / 1000000) + "mb";
  Input input{"header-program copies, " + std::to_string(size / 1000000) + " MB", paths.work / (name + ".i"),
              paths.work / (name + "_instr.c")};
  if (!WriteFile(input.preprocessed, bench::GenerateHeaderCopies(program.string(), size,
                                                                 bench::CopyLayout::kHeadersOnce))) {
    input.preprocessed.clear();
  }
  return input;
}

void SetEnvironment(const Paths& paths) {
  setenv("NIVRAKDIR", paths.build.c_str(), 1);
  setenv("QBLTGT", (paths.build / "tdp" / "gcc").c_str(), 1);
  setenv("QUORB_SUPPRESS_COPYRIGHT", "1", 1);
  setenv("QBC_RESULTS", "/dev/null", 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: instrument_bench <build dir> <source dir> <lz4 dir> <work dir> [runs]\n");
    return 2;
  }
  const Paths paths{fs::absolute(argv[1]), fs::absolute(argv[2]), fs::absolute(argv[3]), fs::absolute(argv[4])};
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 3;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure shows as soon as it is measured
  fs::remove_all(paths.work);
  fs::create_directories(paths.work);
  SetEnvironment(paths);
  std::printf("quorbcc1 %s with the listing; best wall time of %d runs\n", "-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED",
              runs);

  const Input half = PrepareCopies(paths, 5000000);
  const Input full = PrepareCopies(paths, 10000000);
  const Input lz4 = fs::exists(paths.lz4 / "lib" / "lz4.c") ? PrepareLz4(paths) : Input{};
  if (half.preprocessed.empty() || full.preprocessed.empty()) {
    std::fprintf(stderr, "the header program could not be preprocessed\n");
    return 1;
  }
  const InputResult halfResult = MeasureInput(paths, half, runs);
  const InputResult fullResult = MeasureInput(paths, full, runs);
  if (halfResult.ok && fullResult.ok) {
    const double sizeRatio = FileSize(full.preprocessed) / FileSize(half.preprocessed);
    std::printf("twice the input (%.2fx the bytes)\n", sizeRatio);
    PrintTimeRatios("quorbcc1, 10 MB / 5 MB", fullResult.instrument, halfResult.instrument, kScalingGoal);
  }
  if (lz4.preprocessed.empty()) {
    std::printf("lz4: no sources in %s (the launcher tests fetch them)\n", paths.lz4.c_str());
    return 0;
  }
  if (!MeasureInput(paths, lz4, runs).ok) return 0;
  MeasureCompile(paths, lz4, runs);
  MeasureFamilies(paths, lz4, runs);
  return 0;
}
