// Shared fixture of the FDC writer and merge tests: a scratch directory with
// source files, a clean writer state per case, and small file helpers.
#pragma once

#include "bound_run.h"
#include "output/fdc_file.h"
#include "output/fdc_merge.h"
#include "output/fdc_records.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/moxtel_log.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace output::testing_support {

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteAll(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

/// Modification time as the writer reads it (low 32 bits of st_mtime).
inline std::uint32_t MTime(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return static_cast<std::uint32_t>(status.st_mtime);
}

struct Source {
  const support::NameEntry* name;
  const support::NameEntry* directory;
};

class FdcTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    // Fork without re-running the test body, so a child sees the files the
    // parent prepared and the parent sees what the child left.
    GTEST_FLAG_SET(death_test_style, "fast");
    char pattern[] = "/tmp/fdc_test_XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += '/';
    settings.formatMark = "#i6";
    settings.productVersion = "8.2.0.1";
  }

  void TearDown() override {
    writer.reset();
    support::CloseMoxtelLog();
    std::filesystem::remove_all(dir);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }

  /// A source file that exists (so its date is known) in the scratch
  /// directory or a subdirectory of it.
  Source MakeSource(const std::string& name, const std::string& subdirectory = "") {
    const std::string directory = dir + subdirectory;
    std::filesystem::create_directories(directory);
    if (!Exists(directory + name)) WriteAll(directory + name, "int x;\n");
    return {support::InternName(name), support::InternName(directory)};
  }

  /// The writer of the current run, created with `settings` on first use.
  FdcWriter& Writer() {
    if (!writer) writer.emplace(settings);
    return *writer;
  }

  /// Ends the current run without finishing it; the next one takes the
  /// settings as they are then.
  void NewRun() { writer.reset(); }

  /// One instrumentation run of one source with one PR record named
  /// `function`, completed as the file driver does.
  void RunWithProc(const Source& source, const std::string& function, std::uint16_t coverage = 0x0001) {
    FdcFile& file = Writer().Select(source.name, source.directory, coverage, nullptr);
    WriteFdcProc(&file, FdcProcKind::kProc, function, 1, 2);
    CompleteRun();
  }

  /// The end of a run: trailers, empty files removed, a minimal RIK section
  /// standing in for the listing, merge, release.
  void CompleteRun() {
    FdcWriter& current = Writer();
    current.WriteTrailers();
    current.CloseEmpty();
    for (FdcFile& file : current.Files()) {
      if (file.stage != FdcStage::kWriting) continue;
      std::fputs("@RIK\n  SRC=\nNODE TYPE=FILE@\n@/NODE /RIK@\n", current.Open(file));
      current.Streams().Close(file);
    }
    FinishFdcFiles(current);
    writer.reset();
  }

  std::string dir;  // ends with "/"
  FdcSettings settings;
  std::optional<FdcWriter> writer;
};

}  // namespace output::testing_support
