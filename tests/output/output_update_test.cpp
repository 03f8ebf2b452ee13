#include "fdc_test_support.h"

#include "output/fdc_blocks.h"
#include "output/fdc_temp_files.h"
#include "output/output_update.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace output {
namespace {

using testing_support::Exists;
using testing_support::FdcTest;
using testing_support::ReadAll;
using testing_support::Source;
using testing_support::WriteAll;

bool NextDigit(std::string& name) {
  if (name.back() == '3') return false;
  ++name.back();
  return true;
}

using OutputUpdateTest = FdcTest;

TEST_F(OutputUpdateTest, ClaimsSkipTakenNamesAndNeverShareOne) {
  WriteAll(dir + "t0", "someone else's");
  std::string first = dir + "t0";
  std::string second = dir + "t0";
  ClaimedFile a = ClaimTemporaryFile(first, NextDigit);
  ClaimedFile b = ClaimTemporaryFile(second, NextDigit);
  ASSERT_EQ(a.status, ClaimStatus::kClaimed);
  ASSERT_EQ(b.status, ClaimStatus::kClaimed);
  EXPECT_EQ(first, dir + "t1");
  EXPECT_EQ(second, dir + "t2");
  EXPECT_EQ(ReadAll(dir + "t0"), "someone else's");

  std::string third = dir + "t0";
  EXPECT_EQ(ClaimTemporaryFile(third, NextDigit).status, ClaimStatus::kClaimed);
  std::string none = dir + "t0";
  EXPECT_EQ(ClaimTemporaryFile(none, NextDigit).status, ClaimStatus::kExhausted);
  std::string nowhere = dir + "missing/t0";
  EXPECT_EQ(ClaimTemporaryFile(nowhere, NextDigit).status, ClaimStatus::kFailed);
  EXPECT_EQ(errno, ENOENT);
}

// A lock file left by a killed run blocks nothing: the kernel dropped its
// lock. While the merge runs, the lock is held against everyone else.
TEST_F(OutputUpdateTest, MergeRunsUnderTheLockAndTheResultReplacesTheTarget) {
  const std::string target = dir + "out.fdc";
  WriteAll(target, "old");
  WriteAll(UpdateLockPath(target), "");
  WriteAll(dir + "new", "new");
  bool lockedDuringMerge = false;
  ReplaceUnderLock(target, dir + "new", [&] {
    const int fd = open(UpdateLockPath(target).c_str(), O_RDWR);
    lockedDuringMerge = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (fd >= 0) close(fd);
    EXPECT_EQ(ReadAll(target), "old");
  });
  EXPECT_TRUE(lockedDuringMerge);
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_FALSE(Exists(dir + "new"));
  EXPECT_FALSE(Exists(UpdateLockPath(target)));
}

// The first free candidate is taken by this run even when an earlier
// temporary file of another run sits at ".fdd".
TEST_F(OutputUpdateTest, TemporaryFdcFilesOfParallelRunsAreDistinct) {
  WriteAll(dir + "x.c.fdc.fdd", "another run's block");
  std::string mine;
  support::UniqueFile stream = ClaimTemporaryFor(dir + "x.c.fdc", kFdcNaming, mine).stream;
  ASSERT_TRUE(stream);
  EXPECT_EQ(mine, dir + "x.c.fdc.fde");
  EXPECT_EQ(ReadAll(dir + "x.c.fdc.fdd"), "another run's block");
}

TEST_F(OutputUpdateTest, UnreadablePreviousFdcFileIsFatalWithTheSystemsReason) {
  std::filesystem::create_directory(dir + "all.fdc");
  EXPECT_EXIT(ReadFdcBlocks(dir + "all.fdc", kFdcFormatMark), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Cannot read .*all.fdc: Is a directory\n");

  settings.placement.name = dir + "all.fdc";
  const Source source = MakeSource("x.c");
  EXPECT_EXIT(
      {
        FdcFile& file = Writer().Select(source.name, source.directory, 1, nullptr);
        WriteFdcProc(&file, FdcProcKind::kProc, "main", 1, 9);
        Writer().WriteTrailers();
        FinishFdcFiles(Writer());
      },
      ::testing::ExitedWithCode(support::kExitFatal), "FATAL ERROR: Cannot read .*all.fdc: Is a directory\n");
  EXPECT_FALSE(Exists(dir + "all.fdc.fdd")) << "the temporary file goes";
  EXPECT_FALSE(Exists(UpdateLockPath(dir + "all.fdc"))) << "so does the lock file";
}

}  // namespace
}  // namespace output
