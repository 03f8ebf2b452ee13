// Shared fixture of the TSF writer and merge tests: a scratch directory with
// source files and a writer per run.
#pragma once

#include "bound_run.h"
#include "fdc_test_support.h"
#include "output/tsf_file.h"
#include "output/tsf_merge.h"

namespace output::testing_support {

class TsfTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "fast");
    char pattern[] = "/tmp/tsf_test_XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += '/';
    settings.placement.directory = std::nullopt;
    settings.providerFlags = kTsfTrace;
  }

  void TearDown() override {
    writer.reset();
    support::CloseMoxtelLog();
    std::filesystem::remove_all(dir);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }

  Source MakeSource(const std::string& name) {
    if (!Exists(dir + name)) WriteAll(dir + name, "int x;\n");
    return {support::InternName(name), support::InternName(dir)};
  }

  /// One run that traces one routine of the source, completed as the file
  /// driver does.
  void RunWithRoutine(const Source& source, const std::string& routine) {
    TsfFile& file = Writer().Select(source.name, source.directory);
    WriteTsfMessage(&file, routine, 4);
    CompleteRun();
  }

  /// The writer of the current run, created with `settings` on first use.
  TsfWriter& Writer() {
    if (!writer) writer.emplace(settings);
    return *writer;
  }

  /// Ends the current run without finishing it.
  void NewRun() { writer.reset(); }

  void CompleteRun() {
    Writer().WriteTrailers();
    Writer().CloseEmpty();
    FinishTsfFiles(Writer());
    writer.reset();
  }

  std::string dir;  // ends with "/"
  TsfSettings settings;
  std::optional<TsfWriter> writer;
};

/// A block as this writer lays it out, with a routine "old" at line 2.
inline std::string TsfBlockText(const std::string& sourcePath, std::uint32_t date, unsigned flags,
                                std::uint32_t checksum, const std::string& eol = "\n") {
  const std::string name = sourcePath.substr(sourcePath.rfind('/') + 1);
  return "DB \"Grendam-Tracer\"" + eol + "US QBT " + std::to_string(flags) + " 3.0e" + eol + "SO \"" + sourcePath +
         "\" " + std::to_string(date) + " \"txt\"" + eol + "LK 1" + eol + "IN \"File\" 33 \"" + name + "\"" + eol +
         "LK 2" + eol + "MS 1 \"old\"" + eol + "ID 5 " + std::to_string(checksum) + eol + "ED" + eol;
}

}  // namespace output::testing_support
