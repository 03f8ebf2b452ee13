// Shared set-up of the command-line tests: fresh process-wide state before
// each case, and the expected usage text written out by hand.
#pragma once

#include "bound_run.h"
#include "driver/command_analysis.h"
#include "driver/option_table.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace driver {

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

/// The line an analysis error writes: prefix, message, offending text, usage.
inline std::string AnalysisErrorText(const std::string& message) {
  return "Quorb Nivrak Command analysis : " + message + "\n" + ReadText(QUORB_SOURCE_DIR "/tests/cli/usage.txt");
}

class AnalysisTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"));
    InitCommandAnalysis(InstrumentorCommandTable());
  }

  /// Analyses "quorbcc1" followed by the arguments; stderr is kept in `shown`.
  int Analyse(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"quorbcc1"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    ::testing::internal::CaptureStderr();
    const int result = AnalyseCommandLine(all);
    shown = ::testing::internal::GetCapturedStderr();
    return result;
  }

  std::vector<std::string> Expand(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{"quorbcc1"};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    ::testing::internal::CaptureStderr();
    std::vector<std::string> expanded = ExpandArguments(static_cast<int>(argv.size()), argv.data());
    shown = ::testing::internal::GetCapturedStderr();
    return expanded;
  }

  std::string TempPath(const std::string& name) { return ::testing::TempDir() + name; }

  void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  CommandAnalysisState analysis;
  const CommandAnalysisScope binding{analysis};
  std::string shown;
};

}  // namespace driver
