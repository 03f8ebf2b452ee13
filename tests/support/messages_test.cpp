#include "support/messages.h"

#include "bound_run.h"
#include "support/moxtel_log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace support {
namespace {

class MessagesTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override { SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1")); }
  void TearDown() override { CloseMoxtelLog(); }
};

// The framing of each kind of message is in every command-line case.
TEST_F(MessagesTest, QuietModeHidesWarningsAndInfos) {
  SetQuietMode();
  ::testing::internal::CaptureStderr();
  DisplayWarning(QStringLiteral("hidden"));
  DisplayInfo(QStringLiteral("hidden too"));
  DisplayError(QStringLiteral("shown"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - ERROR: shown\n");
}

TEST_F(MessagesTest, MessageHoldingPlaceholdersIsShownAsItStands) {
  ::testing::internal::CaptureStderr();
  DisplayError(QStringLiteral("file %1%2 %3.c"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - ERROR: file %1%2 %3.c\n");
}

// A fatal error's status 7 is the command-line case nothing_selected's.
TEST_F(MessagesTest, PanicEndsWithStatusSeven) {
  EXPECT_EXIT(DisplayPanic(), ::testing::ExitedWithCode(kExitFatal),
              "^Nivrak quorbcc1: Cannot recover from earlier errors \\.\\.\\.\n$");
}

TEST_F(MessagesTest, InternalErrorEndsWithLocationLineOrEmptyLine) {
  EXPECT_EXIT(DisplayInternalError(QStringLiteral("broken")), ::testing::ExitedWithCode(kExitInternal),
              "^Nivrak quorbcc1 - INTERNAL ERROR: broken\n\n$");
  EXPECT_EXIT(DisplayInternalError(QStringLiteral("broken"), support::CodeLocation::Current()),
              ::testing::ExitedWithCode(kExitInternal),
              "^Nivrak quorbcc1 - INTERNAL ERROR: broken\n\\[messages_test\\.cpp:[0-9]+\\]\n$");
}

TEST_F(MessagesTest, InvalidMemoryAccessIsAnInternalError) {
  EXPECT_EXIT(std::raise(SIGSEGV), ::testing::ExitedWithCode(kExitInternal),
              "^Nivrak quorbcc1 - INTERNAL ERROR: Please, contact your support\n\n$");
}

// Recurses until the stack runs out; the bound is never reached.
int RecurseDeeply(long depth) {
  volatile char frame[512];
  frame[depth % 512] = static_cast<char>(depth);
  if (depth == (1L << 40)) return frame[0];
  return RecurseDeeply(depth + 1) + frame[0];
}

TEST_F(MessagesTest, StackOverflowIsReportedAsAnInternalError) {
  EXPECT_EXIT(RecurseDeeply(0), ::testing::ExitedWithCode(kExitInternal),
              "INTERNAL ERROR: Please, contact your support\n");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// An unwritable log only warns: the command-line case moxtel_log_unwritable.
TEST_F(MessagesTest, MoxtelLogAppends) {
  const std::string path = ::testing::TempDir() + "moxtel_" + std::to_string(getpid()) + ".log";
  { std::ofstream(path) << "FDC /earlier.fdc\n"; }
  OpenMoxtelLog(path);
  WriteMoxtelLog("FDC", "/src/a.c.fdc");
  WriteMoxtelLog("TSF", "/src/a.tsf");
  CloseMoxtelLog();
  EXPECT_EQ(ReadFile(path), "FDC /earlier.fdc\nFDC /src/a.c.fdc\nTSF /src/a.tsf\n");
  std::remove(path.c_str());
}

}  // namespace
}  // namespace support
