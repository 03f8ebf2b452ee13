#include "wrapper/shared_runtime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace wrapper {
namespace {

void WriteTextFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A runtime header directory of its own: TP.h that may share its runtime,
// a sibling it includes, and an older header that cannot.
class SharedRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = ::testing::TempDir() + "/shared_runtime_" + std::to_string(::getpid());
    std::filesystem::create_directories(directory_);
    WriteTextFile(header(), "#ifdef _QBCRT_SHARED_RUNTIME\n#endif\n#include \"TP_marks.h\"\n");
    WriteTextFile(directory_ + "/TP_marks.h", "/* marks */\n");
    WriteTextFile(directory_ + "/old.h", "/* the whole runtime in every unit */\n");
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::string header() const { return directory_ + "/TP.h"; }
  std::string Head(const std::string& defines, const std::string& header) const {
    return "/* Nivrak Runtime Analysis C Instrumentor */\n/*     OS : Linux x86_64 */\n\n" + defines +
           "\n#include \"" + header + "\"\n\n#define _QBC_INIT_CONST_COMPOUND_STUFF\n_QBC_DECLARE_PROC(1,1)\n";
  }

  std::string directory_;
};

// The defines up to the runtime header's include, and that include; none
// when the unit traces or profiles, when code comes first, when nothing is
// included, or when the header cannot share.
TEST_F(SharedRuntimeTest, PrologueOfAnInstrumentedFile) {
  const std::string defines = "#define QBL_C_INSTRUMENTOR\n\n#define USE_QBC 1\n#define QBC_INFORMATION 2\n#undef X";
  const std::optional<RuntimePrologue> prologue = FindRuntimePrologue(Head(defines, header()));
  ASSERT_TRUE(prologue);
  EXPECT_EQ(prologue->text, "#define QBL_C_INSTRUMENTOR\n#define USE_QBC 1\n#define QBC_INFORMATION 2\n#undef X\n"
                            "#include \"" + header() + "\"\n");
  EXPECT_EQ(prologue->header, header());

  EXPECT_TRUE(FindRuntimePrologue(Head("#define USE_QBTX 1", header())));
  for (const char* analysis : {"#define USE_QBT", "#define USE_QBQ 1", "#define USE_QBP 1"}) {
    EXPECT_FALSE(FindRuntimePrologue(Head(analysis, header()))) << analysis;
  }
  EXPECT_FALSE(FindRuntimePrologue("# 1 \"a.c\"\nint x;\n" + Head("#define USE_QBC 1", header())));
  EXPECT_FALSE(FindRuntimePrologue("/* a comment */\n#define USE_QBC 1\n"));
  EXPECT_FALSE(FindRuntimePrologue(Head("#define USE_QBC 1", directory_ + "/old.h")));
  EXPECT_FALSE(FindRuntimePrologue(Head("#define USE_QBC 1", directory_ + "/missing.h")));
}

// A cached runtime object is found again for the same unit and options,
// and never for another header text, prologue, macro or option.
TEST_F(SharedRuntimeTest, VariantFollowsWhatTheRuntimeDependsOn) {
  const RuntimePrologue prologue{"#define USE_QBC 1\n#include \"" + header() + "\"\n", header()};
  const SharedRuntimeSteps steps{{"sh", "-O2", "-w"}, "#define QBC_RESULTS_DEFAULT \"/b/q.qbr\"\n", "/k"};
  const std::optional<std::string> variant = RuntimeVariant(steps, prologue);
  ASSERT_TRUE(variant);
  EXPECT_EQ(RuntimeVariant(steps, prologue), variant);

  SharedRuntimeSteps otherOptions = steps;
  otherOptions.compile = {"sh", "-O2", "-fPIC", "-w"};
  SharedRuntimeSteps otherMacros = steps;
  otherMacros.macros = "#define QBC_RESULTS_DEFAULT \"/c/q.qbr\"\n";
  RuntimePrologue otherPrologue = prologue;
  otherPrologue.text = "#define USE_QBC 1\n#define QBC_INFORMATION 1\n#include \"" + header() + "\"\n";
  EXPECT_NE(RuntimeVariant(otherOptions, prologue), variant);
  EXPECT_NE(RuntimeVariant(otherMacros, prologue), variant);
  EXPECT_NE(RuntimeVariant(steps, otherPrologue), variant);
  WriteTextFile(directory_ + "/TP_marks.h", "/* marks, changed */\n");
  EXPECT_NE(RuntimeVariant(steps, prologue), variant);

  SharedRuntimeSteps tracing = steps;
  tracing.macros = "#define USE_QBT 1\n";
  EXPECT_FALSE(RuntimeVariant(tracing, prologue));
  tracing.compile = {"no-such-compiler-anywhere", "-w"};
  EXPECT_FALSE(RuntimeVariant(tracing, prologue));

  EXPECT_EQ(RuntimeSource("vab", steps, prologue),
            "#define _QBCRT_SHARED vab\n#define _QBCRT_SHARED_RUNTIME 1\n"
            "#define QBC_RESULTS_DEFAULT \"/b/q.qbr\"\n#define USE_QBC 1\n#include \"" + header() + "\"\n");
}

// An excerpt of GCC's assembly of the runtime (x86-64, -fcf-protection)
// with Clang's address-significance table: the .file directive, the table
// and the property note go, every local label is renamed where it is
// defined and used, and nothing else changes; a unit includes the result
// by a path a C and an assembler string can hold.
TEST(SharedAssemblyTest, RuntimeAssemblyMadeToPrecedeAUnits) {
  const std::string assembly =
      "\t.file\t\"runtime.c\"\n"
      "\t.text\n"
      "\t.section\t.rodata.str1.8,\"aMS\",@progbits,1\n"
      ".LC0:\n"
      "\t.string\t\"quorb runtime: cannot open .Lx\"\n"
      "\t.section\t.text.unlikely,\"ax\",@progbits\n"
      "_qbc_lock:\n"
      ".LFB0:\n"
      "\tleaq\t.LC0(%rip), %rdi\n"
      "\tjne\t.L3\n"
      ".L3:\n"
      "\tmovq\t_qbc_x.Ly+8(%rip), %rax\n"
      ".LFE0:\n"
      "\t.ident\t\"GCC: (Debian 12.2.0-14+deb12u1) 12.2.0\"\n"
      "\t.section\t.note.GNU-stack,\"\",@progbits\n"
      "\t.addrsig\n"
      "\t.addrsig_sym _qbc_fork_child\n"
      "\t.section\t.note.gnu.property,\"a\"\n"
      "\t.align 8\n"
      "\t.long\t1f - 0f\n"
      "0:\n"
      "\t.string\t\"GNU\"\n"
      "1:\n"
      "\t.text\n"
      "\tret\n";
  EXPECT_EQ(SharedAssembly(assembly),
            "\t.text\n"
            "\t.section\t.rodata.str1.8,\"aMS\",@progbits,1\n"
            ".Lqbrt_C0:\n"
            "\t.string\t\"quorb runtime: cannot open .Lqbrt_x\"\n"
            "\t.section\t.text.unlikely,\"ax\",@progbits\n"
            "_qbc_lock:\n"
            ".Lqbrt_FB0:\n"
            "\tleaq\t.Lqbrt_C0(%rip), %rdi\n"
            "\tjne\t.Lqbrt_3\n"
            ".Lqbrt_3:\n"
            "\tmovq\t_qbc_x.Ly+8(%rip), %rax\n"
            ".Lqbrt_FE0:\n"
            "\t.ident\t\"GCC: (Debian 12.2.0-14+deb12u1) 12.2.0\"\n"
            "\t.section\t.note.GNU-stack,\"\",@progbits\n"
            "\t.text\n"
            "\tret\n");
  EXPECT_EQ(AssemblyInclusion("/t/q 1/runtime.shared.s"), "__asm__(\".include \\\"/t/q 1/runtime.shared.s\\\"\");\n");
  EXPECT_EQ(AssemblyInclusion("/t/q\"1/runtime.shared.s"), "");
  EXPECT_EQ(AssemblyInclusion("/t/q\\1/runtime.shared.s"), "");
}

}  // namespace
}  // namespace wrapper
