// The texts the walk inserts, seen in the file quorbcc1 writes: the
// harmless-operand rule of forced evaluation, loops entered by a jump, and
// the forms never instrumented, on the forms no oracle program or
// command-line case holds. Each source function stands on one line, so a
// function's texts are found on its line. Expectations are worked out by
// hand from the README's rules. Condition slots, switches and the texts of
// each coverage type are the count oracle's and the command-line cases
// walk_texts and walk_keeps_programs's.
#include "built_tool_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace instrument {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

const std::string kNotForced = "Decision not forced, an operand has side effects or may fail";

struct Instrumented {
  int status = -1;
  std::string text;      // the instrumented file
  std::string messages;  // standard error
  std::string fdc;       // the FDC file
};

class WalkTextsTest : public BuiltToolFixture {
 protected:
  Instrumented Run(const std::string& source, const std::string& options) {
    std::ofstream(directory / "a.i", std::ios::binary) << source;
    std::filesystem::remove(directory / "a.i.fdc");
    Instrumented result;
    result.status = RunTool("a.i out.c gcc.def -NOINFO " + options + " >/dev/null 2>messages");
    result.text = ReadText(directory / "out.c");
    result.messages = ReadText(directory / "messages");
    result.fdc = ReadText(directory / "a.i.fdc");
    return result;
  }

  /// gcc accepts the instrumented file.
  void ExpectCompiles() {
    const std::string command = "cd '" + directory.string() + "' && gcc -std=gnu11 -fsyntax-only -I'" + tdp +
                                "/lib' out.c 2>compile";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadText(directory / "compile");
  }

  /// The line of the instrumented file that starts with `start`.
  static std::string LineOf(const std::string& text, const std::string& start) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(start, 0) == 0) return line;
    }
    ADD_FAILURE() << "no line starts with " << start;
    return "";
  }

  /// The source lines that `warning` names, in the order given.
  static std::vector<int> WarnedLines(const std::string& messages, const std::string& warning = kNotForced) {
    std::vector<int> lines;
    const std::regex reference(std::regex_replace(warning, std::regex(R"([.,()])"), R"(\$&)") +
                               R"( : \[a\.i,(\d+)\])");
    for (std::sregex_iterator match(messages.begin(), messages.end(), reference), end; match != end; ++match) {
      lines.push_back(std::stoi((*match)[1]));
    }
    return lines;
  }
};

// README: operands after the first must be free of side effects and unable
// to fault (names, constants, arithmetic without division, comparisons,
// members of objects); any other decision keeps && and gets the warning.
TEST_F(WalkTextsTest, OnlyDecisionsWithHarmlessOperandsAreForced) {
  struct Form {
    const char* operand;
    bool forced;
  };
  // Names, constants, arithmetic, comparisons, calls, increments, array
  // elements and _Generic are the count oracle's and the dialect case
  // forced_hidden_operands's; a dereference is walk_keeps_programs's.
  const std::vector<Form> forms = {
      {"s.m", true},
      {"(char)c", true},
      {"!(b != c)", true},
      {"(b = c)", false},
      {"(b += 1)", false},
      {"b / c", false},
      {"b % c", false},
      {"q->m", false},
      {"({ int t = b; t; })", false},
      {"(b, c)", false},
      // sizeof evaluates a variable-length array type: forcing would change b.
      {"sizeof(char[b++]) > 1", false},
  };
  std::string source = "struct S { int m; };\nint g(int);\n";
  for (std::size_t i = 0; i < forms.size(); ++i) {
    source += "int f" + std::to_string(i) + "(int a, int b, int c, int *p, struct S s, struct S *q) { return a && " +
              forms[i].operand + "; }\n";
  }
  // The first operand may do anything: it is evaluated anyway.
  source += "int first(int a, int b) { return g(a) && b; }\n";
  const Instrumented run = Run(source, "-COND=FORCEEVALUATION");
  ASSERT_EQ(run.status, 0) << run.messages;
  std::vector<int> expectedWarnings;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    const std::string line = LineOf(run.text, "int f" + std::to_string(i) + "(");
    const bool forced = line.find("/*&*/&") != std::string::npos;
    EXPECT_EQ(forced, forms[i].forced) << forms[i].operand << ": " << line;
    EXPECT_EQ(line.find("_QBC_COND_END_1(") != std::string::npos, forms[i].forced) << line;
    // Either way both basic conditions keep their coverage.
    EXPECT_EQ(CountOf(line, "_QBC_COND_ELEM_2("), 2u) << line;
    if (!forms[i].forced) expectedWarnings.push_back(static_cast<int>(i) + 3);
  }
  EXPECT_NE(LineOf(run.text, "int first").find("/*&*/&"), std::string::npos);
  EXPECT_EQ(WarnedLines(run.messages), expectedWarnings) << run.messages;
  ExpectCompiles();
}

// A switch's own break ends the switch, not the if whose part the switch is:
// control always reaches the statement after the if, which therefore gets
// no sequence block; a return in the switch does leave the if.
TEST_F(WalkTextsTest, BreakOfASwitchThatIsAnIfPartDoesNotLeaveTheIf) {
  const Instrumented run = Run(
      "int g;\n"
      "void f(int c, int v) { if (c) switch (v) { case 1: g++; break; } g += 2; }\n"
      "void h(int c, int v) { if (c) switch (v) { case 1: return; } g += 2; }\n",
      "-BLOCK");
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(CountOf(run.fdc, "\"f\" /seq"), 0u) << run.fdc;
  EXPECT_EQ(CountOf(run.fdc, "\"h\" /seq"), 1u) << run.fdc;
}

// The target of a computed goto is an expression like any other: its call
// and its condition are marked.
TEST_F(WalkTextsTest, ComputedGotoTargetIsWalked) {
  const Instrumented run = Run("int f(int);\nvoid g(int i) { static void *t[] = {&&a}; goto *t[f(i) ? 0 : i]; a: ; }\n",
                               "-CALL -COND");
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(CountOf(run.fdc, "AP 0 \"g\" \"f\" 2 2"), 1u) << run.fdc;
  EXPECT_EQ(CountOf(run.fdc, "CE 0 \"g\" \"f (i)\" 2 2"), 1u) << run.fdc;
}

// README: a loop that a jump can enter from outside (a case label of an
// enclosing switch, a goto to a label in it) keeps its blocks, gets no
// iteration branches and the warning; a jump from inside changes nothing.
// A computed goto reaches only labels whose address is taken (l3, l4), and
// a loop it leaves loses its branches too (l5).
TEST_F(WalkTextsTest, LoopsEnteredFromOutsideGetNoIterationBranches) {
  struct Loops {
    const char* function;
    std::size_t withBranches;
    std::size_t enteredFromOutside;
  };
  // Loops that a goto or a case label of their switch enters, Duff's device
  // and loops with switches inside are the count oracle's and the
  // command-line case walk_keeps_programs's.
  const std::vector<Loops> cases = {
      {"void l1(int n) { for (; n; n--) { do { n--; lab: ; } while (n > 3); if (n == 7) goto lab; } }", 1, 1},
      {"void l2(int n) { while (n) { in: n--; if (n == 5) goto in; } }", 1, 0},
      {"void l3(int i) { void *q[] = {&&a}; int w = 0; while (w < 2) { w++; b: ; } goto *q[i]; a: ; }", 1, 0},
      {"void l4(int i) { void *q[] = {&&a}; int w = 0; goto *q[i]; while (w < 2) { w++; a: ; } }", 0, 1},
      {"void l5(int i) { void *q[] = {&&a}; int w = 0; while (w < 2) { w++; goto *q[i]; } a: ; }", 0, 0},
  };
  std::string source;
  std::vector<int> expectedWarnings;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    source += std::string(cases[i].function) + "\n";
    expectedWarnings.insert(expectedWarnings.end(), cases[i].enteredFromOutside, static_cast<int>(i) + 1);
  }
  const Instrumented run = Run(source, "-BLOCK=LOGICAL");
  ASSERT_EQ(run.status, 0) << run.messages;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string line = LineOf(run.text, "void l" + std::to_string(i + 1) + "(");
    EXPECT_EQ(CountOf(line, "_QBC_LOOP_bef"), cases[i].withBranches) << line;
    EXPECT_EQ(CountOf(line, "_QBC_LOOP_in"), cases[i].withBranches) << line;
  }
  EXPECT_EQ(WarnedLines(run.messages, "Loop entered by a jump from outside, no iteration branches"),
            expectedWarnings)
      << run.messages;
  EXPECT_EQ(WarnedLines(run.messages, "Loop left by a computed goto, no iteration branches"), std::vector<int>{5})
      << run.messages;
  ExpectCompiles();
}

// README "What is never instrumented": with blocks, modified conditions and
// calls selected, none of these forms gets a text; the first function shows
// what the same expression gets where it is evaluated.
TEST_F(WalkTextsTest, FormsNeverInstrumented) {
  // sizeof, __builtin_constant_p, __builtin_choose_expr, static
  // initialisers, _Static_assert, enumerators and case labels are the
  // command-line case walk_keeps_programs's; typeof and statement
  // expressions the count oracle's.
  const std::vector<std::string> forms = {
      "int n1(int a, int b) { return _Alignof(char[1 && 1 ? 2 : 3]); }",
      "int n2(int a, int b) { return _Generic(a && b ? g(a) : 1, int: 1, default: 0); }",
      "int n3(int a, int b) { int v[1 && 1 ? 2 : 3]; return sizeof v; }",
      "int n4(int a, int b) { int v[4] = { [1 ? 2 : 3] = 5 }; return v[2]; }",
      "int n5(int a) { int in(int b) { return b && a ? g(b) : 0; } return 0; }",
      "int n6(int a) { do { a++; } while (0); return a; }",
      "struct B { int w : 1 ? 2 : 3; };",
  };
  std::string source = "int g(int);\nint evaluated(int a, int b) { return a && b ? g(a) : 1; }\n";
  for (const std::string& form : forms) source += form + "\n";
  const Instrumented run = Run(source, "-BLOCK -COND=MODIFIED -CALL");
  ASSERT_EQ(run.status, 0) << run.messages;
  const std::string evaluated = LineOf(run.text, "int evaluated");
  for (const char* text : {"_QBC_COND_ELEM_2(", "_QBC_COND_END_1(", "_QBC_BLOC_exp(", "_QBC_CALL("}) {
    EXPECT_NE(evaluated.find(text), std::string::npos) << text << " missing in " << evaluated;
  }
  for (const std::string& form : forms) {
    const std::string line = LineOf(run.text, form.substr(0, form.find('(')));
    for (const char* text : {"_QBC_COND", "_QBC_BLOC_exp(", "_QBC_CALL("}) {
      EXPECT_EQ(line.find(text), std::string::npos) << text << " in " << line;
    }
  }
  EXPECT_NE(LineOf(run.text, "int n6").find("while (0);"), std::string::npos);
  ExpectCompiles();
}

}  // namespace
}  // namespace instrument
