#include "instrument/insert_pragmas.h"

#include "bound_front_end.h"
#include "bound_run.h"
#include "frontend/insert_records.h"
#include "instrument/instrumented_output.h"
#include "instrument/modification_buffer.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <unistd.h>

namespace instrument {
namespace {

/// What `write` writes into a temporary stream.
std::string Written(const std::function<void(std::FILE*)>& write) {
  std::FILE* output = std::tmpfile();
  write(output);
  std::rewind(output);
  std::string text;
  for (int c; (c = std::getc(output)) != EOF;) text += static_cast<char>(c);
  std::fclose(output);
  return text;
}

class InsertPragmasTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    frontEnd.emplace();
    path = ::testing::TempDir() + "quorb_insert_" + std::to_string(getpid()) + ".i";
  }
  void TearDown() override {
    FreeModifications(buffer);
    frontEnd.reset();
    std::remove(path.c_str());
  }

  std::string Apply(const std::string& source) {
    std::ofstream(path, std::ios::binary) << source;
    return Written([&](std::FILE* output) { ApplyModifications(path, output, buffer); });
  }

  std::optional<BoundFrontEnd> frontEnd;
  std::string path;
  ModificationBuffer buffer;
};

TEST_F(InsertPragmasTest, PragmasInsideTheBodyOfEnabledKindsBecomeCode) {
  support::NameEntry* file = support::InternName("a.c");
  support::NameEntry* directory = support::InternName("/src/");
  // Line 1 lies before the body; lines 3 and 4 inside it; line 6 after it.
  const std::string source =
      "#pragma quorb insert x = 0;\n"
      "void f(void) {\n"
      "#pragma quorb qbp_insert probe(@RELFLINE);\n"
      "#pragma quorb qbc_insert hit(@RELFLINE);\n"
      "}\n"
      "#pragma quorb insert y = 1;\n";
  // "#pragma quorb insert": the keyword ends at column 20; "qbp_insert" at 24.
  frontend::AddInsertRecord(1, 20, frontend::kInsertAll, 0, 8, directory, file, 1);
  frontend::AddInsertRecord(3, 24, frontend::kInsertMemoryProfiling, 32, 40, directory, file, 13);
  frontend::AddInsertRecord(4, 24, frontend::kInsertCoverage, 30, 38, directory, file, 14);
  frontend::AddInsertRecord(6, 20, frontend::kInsertAll, 0, 8, directory, file, 16);

  const FunctionBody body{{2, 14}, {5, 1}, file, directory, 12};
  ApplyInsertRecords((*frontEnd)->insertRecords, buffer, body, 2);  // coverage only
  EXPECT_EQ(Apply(source),
            "#pragma quorb insert x = 0;\n"
            "void f(void) {\n"
            "#pragma quorb qbp_insert probe(/*@RELFLINE*/1);\n"
            "/*#pragma quorb qbc_insert*/ hit(/*@RELFLINE*/2);\n"
            "}\n"
            "#pragma quorb insert y = 1;\n");
  EXPECT_EQ((*frontEnd)->insertRecords.cursor->sourceLine, 16u);  // the one after the body
}

TEST_F(InsertPragmasTest, PragmaFromAnotherFileGetsRelativeLineZero) {
  frontend::AddInsertRecord(2, 20, frontend::kInsertAll, 21, 29, support::InternName("/h/"),
                            support::InternName("h.h"), 40);
  const FunctionBody body{{1, 1}, {3, 1}, support::InternName("a.c"), support::InternName("/src/"), 5};
  ApplyInsertRecords((*frontEnd)->insertRecords, buffer, body, 8);
  EXPECT_EQ(Apply("{\n#pragma quorb insert@RELFLINE;\n}\n"), "{\n/*#pragma quorb insert*//*@RELFLINE*/0;\n}\n");
}

std::string Trailer(const ParseGlobalsTrailer& trailer) {
  return Written([&](std::FILE* output) { WriteParseGlobalsTrailer(output, trailer); });
}

// Without a line directive it is the command-line case memory_profiling_texts's.
TEST_F(InsertPragmasTest, ParseGlobalsTrailer) {
  const support::NameEntry* a = support::InternName("counter");
  EXPECT_EQ(Trailer({true, false, 41, "C:\\build\\x.c", {a}, 2}),
            "\n#line 41 \"C:/build/x.c\"\n_QBP_START_PARSE_GLOBALS\n  _QBP_PARSE_GLOBAL(counter)\n"
            "  _QBP_PARSE_DEEP_GLOBALS(2)\n_QBP_END_PARSE_GLOBALS\n");
  // With the inline-assembler extension, line numbers above 65535 are left out.
  EXPECT_EQ(Trailer({true, true, 65536, "x.c", {}, 0}), "_QBP_START_PARSE_GLOBALS\n_QBP_END_PARSE_GLOBALS\n");
  EXPECT_EQ(Trailer({true, true, 65535, "x.c", {}, 0}).substr(0, 19), "\n#line 65535 \"x.c\"\n");
}

}  // namespace
}  // namespace instrument
