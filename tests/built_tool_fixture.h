// quorbcc1 as this build tree built it, run as a user runs it, in a scratch
// directory of the test's own: for tests that check what the tool writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class BuiltToolFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(binary)) GTEST_SKIP() << "quorbcc1 is not built";
    char pattern[] = "/tmp/quorb_tool_XXXXXX";
    directory = ::mkdtemp(pattern);
  }
  void TearDown() override {
    if (!directory.empty()) std::filesystem::remove_all(directory);
  }

  /// Runs quorbcc1 in the scratch directory with the arguments (and any
  /// redirection); its status as std::system gives it.
  int RunTool(const std::string& arguments) const {
    const std::string command = "cd '" + directory.string() + "' && LANG=C NIVRAKDIR='" + QUORB_BUILD_DIR +
                                "' QBLTGT='" + tdp + "' '" + binary + "' " + arguments;
    return std::system(command.c_str());
  }

  const std::string binary = QUORB_BUILD_DIR "/bin/quorbcc1";
  const std::string tdp = std::getenv("QBLTGT") ? std::getenv("QBLTGT") : QUORB_BUILD_DIR "/tdp/gcc";
  std::filesystem::path directory;
};
