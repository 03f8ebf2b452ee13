#include "wrapper/system_includes.h"

#include <gtest/gtest.h>

namespace wrapper {
namespace {

// As gcc -v prints it (a Debian cross compiler), with the quoted list, a
// non-normal path and the lines around the list.
constexpr const char* kCrossGcc =
    "Using built-in specs.\n"
    "COLLECT_GCC=aarch64-linux-gnu-gcc\n"
    "ignoring nonexistent directory \"/usr/lib/gcc-cross/aarch64-linux-gnu/12/../../../../aarch64-linux-gnu/"
    "include/aarch64-linux-gnu\"\n"
    "#include \"...\" search starts here:\n"
    " /quoted/only\n"
    "#include <...> search starts here:\n"
    " /usr/lib/gcc-cross/aarch64-linux-gnu/12/include\n"
    " /usr/lib/gcc-cross/aarch64-linux-gnu/12/../../../../aarch64-linux-gnu/include\n"
    " /usr/include/\n"
    "End of search list.\n"
    " /after/the/list\n";

TEST(SystemIncludesTest, SearchListOfTheVerboseOutput) {
  EXPECT_EQ(ParseIncludeSearchList(kCrossGcc),
            (std::vector<std::string>{"/usr/lib/gcc-cross/aarch64-linux-gnu/12/include",
                                      "/usr/aarch64-linux-gnu/include", "/usr/include"}));
  EXPECT_EQ(ParseIncludeSearchList("#include <...> search starts here:\n"
                                    " /usr/lib/llvm-14/lib/clang/14.0.6/include\n"
                                    " /Library/Frameworks (framework directory)\n"
                                    "End of search list.\n"),
            (std::vector<std::string>{"/usr/lib/llvm-14/lib/clang/14.0.6/include"}));
  EXPECT_TRUE(ParseIncludeSearchList("gcc: error: unrecognized command-line option\n").empty());
}

TEST(SystemIncludesTest, OnlyTheArgumentsThatChooseTheToolchain) {
  EXPECT_EQ(ToolchainArguments({"clang", "-O2", "-Iinc", "--target=thumbv7m-none-eabi", "-c", "a.c", "-m32",
                                "--sysroot", "/opt/sysroot", "-DX=1", "--specs=nano.specs", "-target", "arm-none-eabi",
                                "-nostdinc", "-isystem", "/third/party"}),
            (std::vector<std::string>{"--target=thumbv7m-none-eabi", "-m32", "--sysroot", "/opt/sysroot",
                                      "--specs=nano.specs", "-target", "arm-none-eabi", "-nostdinc"}));
  EXPECT_EQ(IncludeSearchCommand({"arm-none-eabi-gcc", "-mcpu=cortex-m3", "-specs=nosys.specs", "-c", "a.c"}),
            (Command{"arm-none-eabi-gcc", "-specs=nosys.specs", "-E", "-v", "-x", "c", "/dev/null"}));
}

TEST(SystemIncludesTest, OneOptionForEveryDirectory) {
  EXPECT_EQ(NoInstrumentOption({"/usr/include", "/opt/x/include"}), "-NOINSTRDIR=/usr/include,/opt/x/include");
  EXPECT_EQ(NoInstrumentOption({}), std::nullopt);
  EXPECT_EQ(NoInstrumentOption({"/usr/include", "/odd,name"}), std::nullopt);
}

}  // namespace
}  // namespace wrapper
