#include "support/file_utils.h"

#include "bound_run.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

namespace support {
namespace {

class FileUtilsTest : public ::testing::Test {
 protected:
  BoundRun run_;
};

TEST_F(FileUtilsTest, FileKeyXorsSignedBigEndianWords) {
  // abc\0 = 0x61626300; 0x61626300 ^ 0x4A4A4A4A = 0x2B28294A
  EXPECT_EQ(static_cast<std::uint32_t>(FileKey("abc")), 0x2B28294Au);
  // abcd = 0x61626364, then an all-zero group: 0x61626364 ^ 0x4A4A4A4A = 0x2B28292E
  EXPECT_EQ(static_cast<std::uint32_t>(FileKey("abcd")), 0x2B28292Eu);
  // C3 A9 00 00 as signed bytes: ((-61*256 - 87)*256)*256 = -0x3C570000 -> 0xC3A90000;
  // sign extension turns the top byte into 0xC2, so 0xC2A90000 ^ 0x4A4A4A4A = 0x88E34A4A
  EXPECT_EQ(static_cast<std::uint32_t>(FileKey("\xC3\xA9")), 0x88E34A4Au);
  EXPECT_EXIT(FileKey(""), ::testing::ExitedWithCode(kExitInternal), "Cannot eval file key");
}

TEST_F(FileUtilsTest, StringChecksumInBothModesChainsThroughTheAccumulator) {
  std::uint32_t acc = 0;
  EXPECT_EQ(StringChecksum(acc, "abc", false), 3u);
  EXPECT_EQ(acc, 0x61626300u);

  acc = 0;
  // abcd ^ ('e' << 0) = 0x61626301; then "f\0\0\0" ^ (0 << 8) = 0x66000000
  EXPECT_EQ(StringChecksum(acc, "abcdef", true), 6u);
  EXPECT_EQ(acc, 0x07626301u);

  acc = 0x61626300;
  StringChecksum(acc, "abc", false);  // the same text twice cancels out
  EXPECT_EQ(acc, 0u);
}

TEST_F(FileUtilsTest, JoinPathAddsOneSeparator) {
  EXPECT_EQ(JoinPath("", "ana"), "/ana");
  EXPECT_EQ(JoinPath("/x/", "ana"), "/x/ana");
  EXPECT_EQ(JoinPath("/x", "ana"), "/x/ana");
  EXPECT_EQ(BaseName("/a/b/c.c"), "c.c");
  EXPECT_EQ(BaseName("c.c"), "c.c");
}

TEST_F(FileUtilsTest, SplitPathGivesAbsoluteDirectoryAndLastComponent) {
  const std::string cwd = CurrentDirectory();
  SplitResult relative = SplitPath("a.c");
  ASSERT_NE(relative.name, nullptr);
  EXPECT_EQ(relative.name->text, "a.c");
  EXPECT_EQ(relative.directory->text, cwd);

  SplitResult dotted = SplitPath("./sub/../a.c");
  EXPECT_EQ(dotted.name, relative.name);
  EXPECT_EQ(dotted.directory, relative.directory);
  EXPECT_TRUE(SameFile("a.c", "./a.c"));
  EXPECT_FALSE(SameFile("a.c", "/a.c"));

  SplitResult trailing = SplitPath("/usr/include/");
  EXPECT_EQ(trailing.name, nullptr);
  EXPECT_EQ(trailing.directory->text, "/usr/include/");

  EXPECT_EQ(SplitPath("/a.c").directory->text, "/");
}

TEST_F(FileUtilsTest, NormalizePathCancelsDotsAndEndsComponentsWithSlash) {
  EXPECT_EQ(NormalizePath("a/b/../c"), "a/c/");
  EXPECT_EQ(NormalizePath("/usr/./lib"), "/usr/lib/");
  EXPECT_EQ(NormalizePath("../a"), "../a/");
  EXPECT_EQ(NormalizePath("a/b/../.."), "");
  EXPECT_EQ(NormalizePath("a/b/c/../../d"), "a/d/");
  EXPECT_EQ(NormalizePath("/.."), "");  // the root counts as a previous component
  EXPECT_EQ(NormalizePath("../../a/.."), "../../");
  EXPECT_EQ(NormalizePath(""), "");
}

TEST_F(FileUtilsTest, ChangeExtensionAppendsAndChecksItsArguments) {
  EXPECT_EQ(ChangeExtension("a.c", ".aug"), "a.c.aug");
  EXPECT_EXIT(ChangeExtension("", ".aug"), ::testing::ExitedWithCode(kExitInternal),
              "Source file name empty while changing extension");
  EXPECT_EXIT(ChangeExtension("a.c", ""), ::testing::ExitedWithCode(kExitInternal),
              "Extension empty while changing it to a file");
  EXPECT_EXIT(ChangeExtension("a.c", "aug"), ::testing::ExitedWithCode(kExitInternal),
              "Extension not beginning with period while changing it to a file");
}

TEST_F(FileUtilsTest, LocationTexts) {
  EXPECT_EQ(LocationText("/src/", "a.c", 12), "[/src/a.c,12]");
  EXPECT_EQ(LocationTextShort("a.c", 4294967295u), "[a.c,4294967295]");
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

TEST_F(FileUtilsTest, CopyStreamDoublingAtKeepsCarriageReturns) {
  std::FILE* input = std::tmpfile();
  std::FILE* doubled = std::tmpfile();
  std::fputs("a\r\nb@c\r\n\rd", input);
  std::rewind(input);
  CopyStreamDoublingAt(input, doubled);
  std::rewind(doubled);
  char text[32] = {};
  std::fread(text, 1, sizeof text - 1, doubled);
  EXPECT_STREQ(text, "a\r\nb@@c\r\n\rd");
  for (std::FILE* f : {input, doubled}) std::fclose(f);
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
