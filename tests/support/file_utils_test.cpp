#include "support/file_utils.h"

#include "bound_run.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace support {
namespace {

class FileUtilsTest : public ::testing::Test {
 protected:
  BoundRun run_;
};

// Relative and dotted paths are the command-line case
// response_file_and_variables's (-FILE=a.c and -FILE=./a.c are one file).
TEST_F(FileUtilsTest, SplitPathOfADirectoryOrAFileAtTheRoot) {
  SplitResult trailing = SplitPath("/usr/include/");
  EXPECT_EQ(trailing.name, nullptr);
  EXPECT_EQ(trailing.directory->text, "/usr/include/");
  EXPECT_EQ(SplitPath("/a.c").directory->text, "/");
}

TEST_F(FileUtilsTest, NormalizePathCancelsDotsAndEndsComponentsWithSlash) {
  EXPECT_EQ(NormalizePath("a/b/../c"), "a/c/");
  EXPECT_EQ(NormalizePath("../a"), "../a/");
  EXPECT_EQ(NormalizePath("a/b/../.."), "");
  EXPECT_EQ(NormalizePath("/.."), "");  // the root counts as a previous component
  EXPECT_EQ(NormalizePath("../../a/.."), "../../");
  EXPECT_EQ(NormalizePath(""), "");
}

TEST_F(FileUtilsTest, MissingFileHasNoTimeAndLeavesNoPendingError) {
  errno = 0;
  EXPECT_EQ(FileTime("/nonexistent/quorb/file"), 0u);
  EXPECT_EQ(errno, 0);
  EXPECT_FALSE(FileExists("/nonexistent/quorb/file"));
  EXPECT_EQ(errno, 0);
}

TEST_F(FileUtilsTest, FailedRemoveAndRenameAreFatal) {
  EXPECT_EXIT(RemoveFile("/nonexistent/quorb/file"), ::testing::ExitedWithCode(kExitFatal),
              "FATAL ERROR: /nonexistent/quorb/file cannot be removed:\n\tNo such file or directory");
  EXPECT_EXIT(RenameFile("/nonexistent/a", "/nonexistent/b"), ::testing::ExitedWithCode(kExitFatal),
              "Cannot rename /nonexistent/a to /nonexistent/b:\n\tNo such file or directory");
}

// Lines longer than a chunk, empty lines, lines cut by every chunk boundary
// and a last line without line feed all come out whole and in order.
TEST_F(FileUtilsTest, ForEachLineGivesEveryLineWhole) {
  std::vector<std::string> written = {std::string(70000, 'a'), "", "b", std::string(150000, 'c'), ""};
  for (std::size_t length = 0; length < 700; ++length) written.push_back(std::string(length, 'd'));
  written.push_back("last\r");
  std::FILE* input = std::tmpfile();
  for (std::size_t i = 0; i < written.size(); ++i) {
    std::fputs(written[i].c_str(), input);
    if (i + 1 < written.size()) std::fputc('\n', input);
  }
  std::rewind(input);
  std::vector<std::string> read;
  ForEachLine(input, [&read](std::string_view line) { read.emplace_back(line); });
  EXPECT_EQ(read, written);
  std::fclose(input);
}

// Lines of every length up to 40 bytes, ending alternately in LF and CR LF,
// with a lone CR now and then: some CR and some CR LF fall on every
// boundary of the copy's chunks.
TEST_F(FileUtilsTest, CopyStreamOfALargeFileDropsEveryCarriageReturn) {
  std::string text;
  std::string expected;
  std::uint32_t lineFeeds = 0;
  for (std::size_t line = 0; text.size() < 300000; ++line) {
    const std::string body(line % 41, static_cast<char>('a' + line % 26));
    const std::string lone = line % 7 == 0 ? "x\ry" : "";
    text += body + lone + (line % 2 ? "\r\n" : "\n");
    expected += body + (lone.empty() ? "" : "xy") + "\n";
    ++lineFeeds;
  }
  std::FILE* input = std::tmpfile();
  std::FILE* output = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), input);
  std::rewind(input);
  EXPECT_EQ(CopyStream(input, output), lineFeeds);
  std::rewind(output);
  std::string copied(expected.size() + 1, '\0');
  copied.resize(std::fread(copied.data(), 1, copied.size(), output));
  EXPECT_EQ(copied, expected);
  for (std::FILE* f : {input, output}) std::fclose(f);
}

}  // namespace
}  // namespace support
