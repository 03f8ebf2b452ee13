#include "fdc_test_support.h"

#include "output/output_update.h"

#include <cerrno>

namespace output {
namespace {

using namespace testing_support;

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

}  // namespace
}  // namespace output
