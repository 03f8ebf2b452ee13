// Many instrumentation runs in one process write what one process per run
// writes: several inputs and option sets in sequence, twice over, with runs
// ending on a syntax error and in the listing in between (none may leave a
// file open; a sanitizer build finds the memory they leave behind), each
// compared file by file with the quorbcc1 binary run in a child process on
// the same input and options; runs that cannot write their instrumented file
// or update their FDC file end the same way too; and two runs at once on two
// threads.
#include "driver/instrumentation_run.h"
#include "support/fatal_exit.h"
#include "support/messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace driver {
namespace {

using FileMap = std::map<std::string, QByteArray>;

struct RunResult {
  int status;
  FileMap files;
};

struct Case {
  std::string source;  // below the source tree
  std::vector<std::string> options;
};

// Each input under a different option set, so that every coverage type,
// both counting modes, the listing with and without metrics, and the
// runtime analyses each follow a run of another kind.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"tests/cli/cases/walk_end_to_end/e2e.c", {}},
      {"tests/cli/cases/walk_keeps_programs/fragile.c",
       {"-PROC=RET", "-CALL", "-BLOCK=LOGICAL", "-WHILEONLY", "-COND=MODIFIED", "-METRICS"}},
      {"tests/instrumented/samples/faults_sample.c", {"-BLOCK=DECISION", "-COND=FORCEEVALUATION", "-COUNT", "-NOCVI"}},
      {"tests/listing/macros.c", {"-PROC", "-COND=COMPOUND", "-COMPACT", "-NOTERNARY", "-NOINFO", "-NOWARNINGS"}},
      {"tests/dialect/cases/gnu_statement_forms.c",
       {"-TRACE", "-MEMPRO", "-PERFPRO=PROCESS", "-BEFORE_RETURN_EXPR", "-PROC"}},
      {"tests/dialect/cases/nested_functions.c", {"-BLOCK", "-COND", "-CALL", "-METRICS", "-NODLINE"}},
  };
  return cases;
}

constexpr int kNotStarted = -1;
constexpr int kKilled = -2;

// Runs a command with its output discarded and its errors shown; returns its
// exit status. Not QProcess: after a QProcess child, ThreadSanitizer no longer
// sees this thread's locking, and reports the two runs at once as racing on
// registries they only touch under a lock.
int Spawn(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) return kNotStarted;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return kNotStarted;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kKilled;
}

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class RepeatedRunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The installation of this build tree, whatever a test before set.
    qputenv("NIVRAKDIR", QUORB_BUILD_DIR);
    qputenv("QBLTGT", QUORB_BUILD_DIR "/tdp/gcc");
    ASSERT_TRUE(work_.isValid());
    ASSERT_TRUE(QDir().mkpath(SourceDirectory()));
    ASSERT_TRUE(Copy("tests/listing/macros.h"));
    for (const Case& each : Cases()) {
      ASSERT_TRUE(Copy(each.source));
      Preprocess(BaseName(each.source));
      if (HasFatalFailure() || IsSkipped()) return;
    }
  }

  QString SourceDirectory() const { return work_.filePath(QStringLiteral("src")); }
  // Runs on two threads at once each write into their own lane.
  QString OutputDirectory(int lane = 0) const { return work_.filePath(QStringLiteral("out%1").arg(lane)); }

  static QString BaseName(const std::string& source) { return QFileInfo(QString::fromStdString(source)).fileName(); }

  // The source goes beside its preprocessed form, so that the line
  // directives and the listing name a file of the temporary directory.
  bool Copy(const std::string& source) const {
    return QFile::copy(QStringLiteral(QUORB_SOURCE_DIR "/") + QString::fromStdString(source),
                       SourceDirectory() + "/" + BaseName(source));
  }

  void Preprocess(const QString& name) {
    const std::string path = (SourceDirectory() + "/" + name).toStdString();
    const int status = Spawn({"gcc", "-std=gnu11", "-E", path, "-o", path + ".i"});
    if (status == kNotStarted) GTEST_SKIP() << "gcc is not available";
    ASSERT_EQ(status, 0) << "gcc -E " << path;
  }

  std::vector<std::string> Arguments(const std::string& preprocessed, const std::vector<std::string>& options,
                                     int lane = 0) const {
    const std::string output = OutputDirectory(lane).toStdString();
    std::vector<std::string> arguments{preprocessed, output + "/instrumented.c", "gcc.def"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("-FDCDIR=" + output);
    arguments.push_back("-TSFDIR=" + output);
    return arguments;
  }

  std::vector<std::string> Arguments(const Case& each, int lane = 0) const {
    return Arguments((SourceDirectory() + "/" + BaseName(each.source) + ".i").toStdString(), each.options, lane);
  }

  // Empties the lane's output directory, then puts the previous files there.
  void ClearOutput(int lane = 0, const FileMap& previous = {}) const {
    QDir(OutputDirectory(lane)).removeRecursively();
    QDir().mkpath(OutputDirectory(lane));
    for (const auto& [name, content] : previous) {
      QFile file(OutputDirectory(lane) + "/" + QString::fromStdString(name));
      EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) << name;
    }
  }

  FileMap CollectOutput(int lane = 0) const {
    FileMap files;
    const QDir output(OutputDirectory(lane));
    for (const QString& name : output.entryList(QDir::Files | QDir::Hidden)) {
      QFile file(output.filePath(name));
      if (file.open(QIODevice::ReadOnly)) files[name.toStdString()] = file.readAll();
    }
    return files;
  }

  RunResult RunInProcess(const std::vector<std::string>& arguments, const FileMap& previous = {}) const {
    ClearOutput(0, previous);
    const int status = RunInstrumentation(arguments);
    return {status, CollectOutput()};
  }

  RunResult RunInChild(const std::vector<std::string>& arguments, int lane = 0, const FileMap& previous = {}) const {
    ClearOutput(lane, previous);
    std::vector<std::string> command{QUORB_BUILD_DIR "/bin/quorbcc1"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const int status = Spawn(command);
    EXPECT_NE(status, kNotStarted);
    EXPECT_NE(status, kKilled);
    return {status, CollectOutput(lane)};
  }

  // Writes the text below the source directory; returns the file's path.
  std::string WriteFile(const std::string& name, const std::string& text) const {
    const std::string path = (SourceDirectory() + "/").toStdString() + name;
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.c_str()) == qint64(text.size())) << path;
    return path;
  }

  // Writes <name>.c and <name>.i, whose line directive names the first;
  // returns the arguments that instrument the second.
  std::vector<std::string> WriteSource(const std::string& name, const std::string& source,
                                       const std::string& preprocessed, const std::vector<std::string>& options) const {
    const std::string path = WriteFile(name + ".c", source);
    return Arguments(WriteFile(name + ".i", "# 1 \"" + path + "\"\n" + preprocessed), options);
  }

  QTemporaryDir work_;
};

std::string Names(const FileMap& files) {
  std::string names;
  for (const auto& [name, content] : files) names += name + " ";
  return names;
}

void ExpectSameRun(const RunResult& child, const RunResult& inProcess, const std::string& what) {
  EXPECT_EQ(inProcess.status, child.status) << what;
  ASSERT_EQ(Names(inProcess.files), Names(child.files)) << what;
  for (const auto& [name, content] : child.files) {
    EXPECT_EQ(inProcess.files.at(name).toStdString(), content.toStdString()) << what << ": " << name;
  }
}

TEST_F(RepeatedRunsTest, RunsInOneProcessWriteWhatOneProcessPerRunWrites) {
  const support::UnwindingFatalExits unwinding;
  const Translations translations;
  // Runs that end early, each run again in process after the case `after`.
  struct Interlude {
    std::size_t after;
    std::string what;
    std::vector<std::string> arguments;
    FileMap previous;
    RunResult child;
  };
  std::vector<std::string> unwritable = Arguments(Cases()[1]);
  unwritable[1] = OutputDirectory().toStdString() + "/missing/instrumented.c";
  std::vector<Interlude> interludes = {
      // Ends inside the metrics' scanner: the source its line directive
      // names is a directory.
      {1, "the unreadable source",
       Arguments(WriteFile("unreadable.i",
                           "# 1 \"" + SourceDirectory().toStdString() + "\"\nint f(int x) { return x; }\n"),
                 {"-BLOCK", "-METRICS"}),
       {}, {}},
      {2, "the syntax error",
       Arguments(WriteFile("broken.i", "int first(void) { return 1; }\nint second(void) { return 2 +; }\n"),
                 {"-PROC=RET", "-BLOCK=LOGICAL"}),
       {}, {}},
      // Ends in the listing, while the metrics collect the conditional
      // regions of a source whose #endif has no #if.
      {3, "the stray #endif",
       WriteSource("stray", "int f(int x)\n{\n#if 1\n#endif\n#endif\n  return x;\n}\n",
                   "int f(int x)\n{\n\n\n\n  return x;\n}\n", {"-BLOCK"}),
       {}, {}},
      // Ends while the listing reads the source and the preprocessed file:
      // the source is shorter than its preprocessed text says.
      {3, "the source cut short",
       WriteSource("cut", "int f(int x)\n{\n", "int f(int x)\n{\n  if (x)\n    return 1;\n  return 0;\n}\n",
                   {"-BLOCK"}),
       {}, {}},
      // Ends while the FDC files are being written: the instrumented file's
      // directory is missing.
      {4, "the missing directory", unwritable, {}, {}},
      // Ends in the update of the FDC file, under its lock: the previous
      // file is not an FDC file.
      {5, "the invalid previous FDC file", Arguments(Cases()[0]), {{"e2e.c.fdc", "not an FDC file\n"}}, {}},
  };

  std::vector<RunResult> expected;
  for (const Case& each : Cases()) {
    expected.push_back(RunInChild(Arguments(each)));
    // A child that failed or wrote nothing would make the comparison hollow.
    ASSERT_EQ(expected.back().status, 0) << each.source;
    ASSERT_TRUE(expected.back().files.count("instrumented.c")) << each.source;
    ASSERT_GE(expected.back().files.size(), 2u) << each.source << ": no FDC or TSF file";
  }
  for (Interlude& each : interludes) {
    each.child = RunInChild(each.arguments, 0, each.previous);
    // All end fatally but the rejected previous FDC file, which has an error of its own.
    if (each.previous.empty()) {
      EXPECT_EQ(each.child.status, support::kExitFatal) << each.what;
    } else {
      EXPECT_NE(each.child.status, 0) << each.what;
    }
  }

  const int descriptors = OpenDescriptors();
  for (int round = 1; round <= 2; ++round) {
    for (std::size_t i = 0; i < Cases().size(); ++i) {
      const std::string what = "round " + std::to_string(round) + ", " + Cases()[i].source;
      ExpectSameRun(expected[i], RunInProcess(Arguments(Cases()[i])), what);
      for (const Interlude& each : interludes) {
        if (each.after != i) continue;
        ExpectSameRun(each.child, RunInProcess(each.arguments, each.previous), what + ", then " + each.what);
      }
    }
  }
  // Runs that end early close what they opened, as runs that end well do.
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// A run's names, messages, front end, instrumentation and writers are its
// own: two runs at once on two threads write what each writes alone.
TEST_F(RepeatedRunsTest, RunsOnTwoThreadsAtOnceWriteWhatEachWritesAlone) {
  const support::UnwindingFatalExits unwinding;
  const Translations translations;
  for (std::size_t i = 0; i + 1 < Cases().size(); i += 2) {
    const Case& first = Cases()[i];
    const Case& second = Cases()[i + 1];
    const RunResult firstAlone = RunInChild(Arguments(first, 0), 0);
    const RunResult secondAlone = RunInChild(Arguments(second, 1), 1);
    ASSERT_EQ(firstAlone.status, 0) << first.source;
    ASSERT_EQ(secondAlone.status, 0) << second.source;
    ClearOutput(0);
    ClearOutput(1);
    int secondStatus = -1;
    std::thread other([&] { secondStatus = RunInstrumentation(Arguments(second, 1)); });
    const int firstStatus = RunInstrumentation(Arguments(first, 0));
    other.join();
    ExpectSameRun(firstAlone, {firstStatus, CollectOutput(0)}, first.source + ", beside " + second.source);
    ExpectSameRun(secondAlone, {secondStatus, CollectOutput(1)}, second.source + ", beside " + first.source);
  }
}

}  // namespace
}  // namespace driver
