#include "support/messages.h"

#include "bound_run.h"
#include "support/moxtel_log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
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

TEST_F(MessagesTest, ErrorsAndWarningsAreFramedAndCounted) {
  ::testing::internal::CaptureStderr();
  DisplayError(QStringLiteral("bad thing"));
  DisplayWarning(QStringLiteral("odd thing"));
  DisplayInfo(QStringLiteral("note"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Nivrak quorbcc1 - ERROR: bad thing\n"
            "Nivrak quorbcc1 - WARNING: odd thing\n"
            "Nivrak quorbcc1 - INFO: note\n");
  const MessageCounts counts = GetMessageCounts();
  EXPECT_EQ(counts.errors, 1u);
  EXPECT_EQ(counts.warnings, 1u);
}

TEST_F(MessagesTest, QuietModeHidesWarningsAndInfosButStillCountsWarnings) {
  SetQuietMode();
  ::testing::internal::CaptureStderr();
  DisplayWarning(QStringLiteral("hidden"));
  DisplayInfo(QStringLiteral("hidden too"));
  DisplayError(QStringLiteral("shown"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - ERROR: shown\n");
  EXPECT_EQ(GetMessageCounts().warnings, 1u);
}

TEST_F(MessagesTest, MessageHoldingPlaceholdersIsShownAsItStands) {
  ::testing::internal::CaptureStderr();
  DisplayError(QStringLiteral("file %1%2 %3.c"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Nivrak quorbcc1 - ERROR: file %1%2 %3.c\n");
}

TEST_F(MessagesTest, FatalAndPanicEndWithStatusSeven) {
  EXPECT_EXIT(DisplayFatalError(QStringLiteral("gone")), ::testing::ExitedWithCode(kExitFatal),
              "^Nivrak quorbcc1 - FATAL ERROR: gone\n$");
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

// An undefined mandatory variable is fatal: the command-line case target_undefined.
TEST_F(MessagesTest, MandatoryEnvironmentVariable) {
  setenv("QUORB_TEST_VARIABLE", "", 1);
  EXPECT_EQ(GetEnvironment("QUORB_TEST_VARIABLE", true), std::string());
  unsetenv("QUORB_TEST_VARIABLE");
  EXPECT_EQ(GetEnvironment("QUORB_TEST_VARIABLE", false), std::nullopt);
}

TEST_F(MessagesTest, CheckedAllocZeroFillsAndReallocKeepsContents) {
  auto* block = static_cast<unsigned char*>(CheckedAlloc(64));
  for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], 0);
  block[63] = 7;
  block = static_cast<unsigned char*>(CheckedRealloc(block, 1 << 20));
  EXPECT_EQ(block[63], 7);
  std::free(block);
  void* fresh = CheckedRealloc(nullptr, 16);
  EXPECT_EQ(static_cast<unsigned char*>(fresh)[15], 0);
  std::free(fresh);
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
