#include "wrapper/predefined_macros.h"

#include <gtest/gtest.h>

namespace wrapper {
namespace {

// Excerpts of what `gcc -dM -E` and `clang -dM -E` list.
const char* const kGccListing =
    "#define __SIZEOF_POINTER__ 8\n"
    "#define unix 1\n"
    "#define __GNUC__ 12\n"
    "#define _LP64 1\n"
    "#define __has_include(STR) __has_include__(STR)\n"
    "#define _lower 1\n"
    "#define linux 1\n";
const char* const kClangListing = "#define __clang__ 1\n#define __GNUC__ 4\n#define i386 1\n";

// Reserved names only (two underscores, or one and a capital), each kept
// when already defined, in a system header.
TEST(PredefinedMacrosTest, ReservedNamesOnly) {
  EXPECT_EQ(ReservedMacrosHeader(kGccListing),
            "/* the compiler's predefined macros of reserved names (quorbcc) */\n"
            "#pragma GCC system_header\n"
            "#ifndef __SIZEOF_POINTER__\n#define __SIZEOF_POINTER__ 8\n#endif\n"
            "#ifndef __GNUC__\n#define __GNUC__ 12\n#endif\n"
            "#ifndef _LP64\n#define _LP64 1\n#endif\n"
            "#ifndef __has_include\n#define __has_include(STR) __has_include__(STR)\n#endif\n");
  EXPECT_EQ(ReservedMacrosHeader("#define unix 1\nnot a definition\n"), "");
}

// Clang defines __GNUC__ too.
TEST(PredefinedMacrosTest, GccTellsItselfFromClang) {
  EXPECT_TRUE(IsGccHeader(ReservedMacrosHeader(kGccListing)));
  EXPECT_FALSE(IsGccHeader(ReservedMacrosHeader(kClangListing)));
  EXPECT_FALSE(IsGccHeader(""));
}

}  // namespace
}  // namespace wrapper
