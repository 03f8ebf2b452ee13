#include "instrument/modification_buffer.h"

#include "bound_run.h"
#include "support/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <list>
#include <unistd.h>

namespace instrument {
namespace {

class ModificationBufferTest : public ::testing::Test {
 protected:
  BoundRun run_;

  void SetUp() override {
    support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("quorbcc1"));
    sourcePath = ::testing::TempDir() + "quorb_mod_" + std::to_string(getpid()) + ".i";
  }
  void TearDown() override {
    FreeModifications(buffer);
    std::remove(sourcePath.c_str());
  }

  void Add(std::uint32_t line, std::uint32_t column, std::uint32_t priority, Where where, const char* text) {
    positions.push_back({line, column});
    AddModification(buffer, &positions.back(), priority, where, text);
  }

  /// Applies the buffer to the source text; returns the copy, `lines` the count.
  std::string Apply(const std::string& source) {
    std::ofstream(sourcePath, std::ios::binary) << source;
    std::FILE* output = std::tmpfile();
    lines = ApplyModifications(sourcePath, output, buffer);
    std::rewind(output);
    std::string copied;
    for (int c; (c = std::getc(output)) != EOF;) copied += static_cast<char>(c);
    std::fclose(output);
    return copied;
  }

  std::string sourcePath;
  std::list<SourcePosition> positions;
  ModificationBuffer buffer;
  std::uint32_t lines = 0;
};

TEST_F(ModificationBufferTest, OrderOfTextsAtOneAnchor) {
  Add(1, 3, 5, Where::Before, "[b5]");
  Add(1, 3, 9, Where::Before, "[b9]");
  Add(1, 3, 5, Where::Before, "[b5 later]");
  Add(1, 3, 9, Where::After, "[a9]");
  Add(1, 3, 5, Where::After, "[a5]");
  Add(1, 3, 5, Where::After, "[a5 later]");
  // After column 4 and before column 5 are adjacent.
  Add(1, 5, 1, Where::Before, "<");
  Add(1, 4, 1, Where::After, ">");
  // Larger before priority first, last added first among equals; smaller
  // after priority first, first added first among equals.
  EXPECT_EQ(Apply("abcde\n"), "ab[b9][b5 later][b5]c[a5][a5 later][a9]d><e\n");
  EXPECT_EQ(lines, 2u);
}

TEST_F(ModificationBufferTest, OutOfOrderAdditionsAreSortedAndEndTextsFollowTheFile) {
  AddModification(buffer, nullptr, 7, Where::After, "/*end7*/\n");
  AddModification(buffer, nullptr, 3, Where::After, "/*end3*/");
  AddModification(buffer, nullptr, 3, Where::After, "/*end3 later*/\n");
  Add(3, 1, kNestingPriority, Where::Before, "{");
  Add(1, 2, kNestingPriority, Where::After, "}");
  Add(2, 1, 1, Where::Before, "\n");  // not counted: anchored
  EXPECT_EQ(Apply("ab\ncd\r\nef\r\n"), "ab}\n\ncd\r\n{ef\n/*end3*//*end3 later*/\n/*end7*/\n");
  // 1 + three newlines of the source + two of the end texts
  EXPECT_EQ(lines, 6u);
}

// Many texts at one anchor, added in an order the sort must undo: the ties
// of equal priorities are broken by the order of addition alone.
TEST_F(ModificationBufferTest, LongRunsOfEqualAnchorsKeepTheOrderOfAddition) {
  std::string before;
  std::string after;
  for (int i = 0; i < 60; ++i) {
    const std::string tag = std::to_string(i) + ";";
    Add(1, 2, 4, i % 2 ? Where::Before : Where::After, tag.c_str());
    if (i % 2) {
      before.insert(0, tag);  // last added first
    } else {
      after += tag;  // first added first
    }
    Add(1, 1, 1, Where::Before, "");  // empty texts elsewhere, interleaved
  }
  EXPECT_EQ(Apply("(;\n"), "(" + before + ";" + after + "\n");
}

// The source is copied in large chunks: texts anchored on both sides of
// every chunk end, in lines longer than a chunk and in short CR LF lines,
// land where they belong; carriage returns stay before the last anchor and
// go after it.
TEST_F(ModificationBufferTest, AnchorsAcrossLargeLinesAndManyLines) {
  std::string source;
  std::string expected;
  std::uint32_t line = 1;
  const std::string longLine(150000, 'x');
  for (std::uint32_t column : {1u, 65535u, 65536u, 65537u, 131072u, 150000u}) {
    Add(line, column, 1, Where::Before, "<");
    Add(line, column, 1, Where::After, ">");
  }
  expected += "<x>" + longLine.substr(1, 65533) + "<x><x><x>" + longLine.substr(65537, 131071 - 65537) + "<x>" +
              longLine.substr(131072, 149999 - 131072) + "<x>\n";
  source += longLine + "\n";
  ++line;
  const std::uint32_t lastAnchored = 19982;  // the last multiple of 97 below 20000
  for (; line < 20000; ++line) {
    source += "ab\r\n";
    if (line % 97 == 0) Add(line, 2, 1, Where::After, "!");
    const std::string lineEnd = line < lastAnchored ? "\r\n" : "\n";
    expected += (line % 97 == 0 ? "ab!" : "ab") + lineEnd;
  }
  source += "tail\r\nend";
  expected += "tail\nend";
  const std::string copied = Apply(source);
  const auto differs = std::mismatch(copied.begin(), copied.end(), expected.begin(), expected.end());
  EXPECT_EQ(copied.size(), expected.size());
  EXPECT_EQ(differs.first - copied.begin(), static_cast<std::ptrdiff_t>(std::min(copied.size(), expected.size())))
      << "first difference";
  EXPECT_EQ(lines, line + 1);
}

TEST_F(ModificationBufferTest, EmptyBufferCopiesWithoutCarriageReturns) {
  EXPECT_EQ(Apply("a\r\nb\r\n\r\nc"), "a\nb\n\nc");
  EXPECT_EQ(lines, 4u);
}

TEST_F(ModificationBufferTest, InconsistentPositionsAreInternalErrors) {
  Add(3, 1, 1, Where::Before, "x");
  EXPECT_EXIT(Apply("one line\n"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Attempt to modify text after last line\n\\[modification_buffer.cpp:[0-9]+\\]");
  FreeModifications(buffer);

  Add(1, 9, 1, Where::After, "x");
  EXPECT_EXIT(Apply("short\nline\n"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Bad line count during analyzis : 1:9\n");
  FreeModifications(buffer);

  Add(1, 9, 1, Where::Before, "x");
  EXPECT_EXIT(Apply("short\nline\n"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Bad line count during analyzis\n");
}

// Line 0 never precedes nor follows anything and key 0 sits between the
// before and after texts of no anchor: either would leave the list unsorted
// for later additions, so both are refused when added.
TEST_F(ModificationBufferTest, LineZeroOrPriorityZeroIsRefusedWhenAdded) {
  Add(2, 1, 5, Where::Before, "a");
  EXPECT_EXIT(Add(0, 1, 1, Where::Before, "x"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Cannot add modification\n");
  EXPECT_EXIT(Add(1, 1, 0, Where::After, "x"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Cannot add modification\n");
  EXPECT_EXIT(AddModification(buffer, nullptr, 0, Where::Before, "x"),
              ::testing::ExitedWithCode(support::kExitInternal), "INTERNAL ERROR: Cannot add modification\n");
  EXPECT_EXIT(Add(1, 1, kMaxPriority + 1, Where::Before, "x"), ::testing::ExitedWithCode(support::kExitInternal),
              "INTERNAL ERROR: Cannot add modification\n");
  Add(1, 1, kMaxPriority, Where::Before, "b");
  EXPECT_EQ(Apply("(\n)\n"), "b(\na)\n");
}

// An inserted text stays a token of its own: where it meets a word byte
// (letter, digit, underscore) of the source or of another text with one of
// its own, a blank keeps them apart, and nowhere else; the source's own
// bytes are never split. A prefix joins the word after it.
TEST_F(ModificationBufferTest, TextsNeverJoinTheWordsAroundThem) {
  Add(1, 7, 1, Where::After, "_QBC_CASE_FALLTHROUGH");  // after "case 3:"
  Add(1, 14, 1, Where::After, "{m;");                    // after "case 4:"
  Add(1, 15, 1, Where::Before, "x1");                    // before "y"
  Add(1, 15, 2, Where::Before, "(");                     // outside x1
  Add(2, 2, 1, Where::After, "2");                       // after "ab"
  Add(2, 2, 2, Where::After, "e");                       // then "e"
  Add(2, 4, 1, Where::Prefix, "p_");                     // joins "cd"
  EXPECT_EQ(Apply("case 3:case 4:yz;\nab+cd\n"), "case 3:_QBC_CASE_FALLTHROUGH case 4:{m;(x1 yz;\nab 2 e+p_cd\n");
}

TEST_F(ModificationBufferTest, MissingOrUnreadableSourceIsFatal) {
  EXPECT_EXIT(ApplyModifications("/nonexistent/src.i", stdout, buffer),
              ::testing::ExitedWithCode(support::kExitFatal), "FATAL ERROR: Cannot open src file /nonexistent/src.i\n");
  // A directory opens but cannot be read: a user's failure, not a fault of
  // the positions, with or without anchored texts.
  const std::string directory = ::testing::TempDir();
  EXPECT_EXIT(ApplyModifications(directory, stdout, buffer), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Cannot read .*: Is a directory\n");
  Add(1, 1, 1, Where::Before, "x");
  EXPECT_EXIT(ApplyModifications(directory, stdout, buffer), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: Cannot read .*: Is a directory\n");
}

}  // namespace
}  // namespace instrument
