// The texts the walk inserts, seen in the file quorbcc1 writes: condition
// slot packing, the harmless-operand rule of forced evaluation, switches,
// loops entered by a jump, and the forms never instrumented. Each source
// function stands on one line, so a function's texts are found on its line.
// Expectations are worked out by hand from the README's rules; the texts
// of forced decisions are the command-line case walk_texts's.
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

// Slot bases: a decision of w modified conditions takes w slots rounded up
// to 8; the link text before the body declares the function's total.
TEST_F(WalkTextsTest, ModifiedConditionSlotsArePackedByEights) {
  const Instrumented run = Run(
      "int g(int);\n"
      "int f(int a, int b, int c) { if (a && b) return 1; if (a || b || c) return 2; return 0; }\n"
      "int h(int a, int b) { return a && b && a && b && a && b && a && b && a; }\n"
      "int k(int a, int b, int c) { return a && g(b || c); }\n",
      "-COND=MODIFIED");
  ASSERT_EQ(run.status, 0) << run.messages;
  // f: a && b at slot 0 (2 slots, rounded to 8), a || b || c at slot 8
  // (3 slots, total 16).
  const std::string f = LineOf(run.text, "int f");
  EXPECT_NE(f.find("_QBC_DECLARE_COND_ELT(1,16);_QBC_LINK(1);"), std::string::npos) << f;
  EXPECT_EQ(CountOf(f, "_QBC_COND_SYNC_2(1,0+"), 2u) << f;
  EXPECT_EQ(CountOf(f, "_QBC_COND_SYNC_2(1,8+"), 3u) << f;
  // Condition numbers: a 0, b 2, the table of a && b (TT TF FX) 4..6; then
  // a 7, b 9, c 11 and the table of a || b || c (TXX FTX FFT FFF, 3 true
  // rows) from 13. Arguments: file, first row, slot base, width, table
  // index, true rows.
  EXPECT_NE(f.find("(_QBC_COND_END_1(1,4,0,2,0,1)("), std::string::npos) << f;
  EXPECT_NE(f.find(")_QBC_COND_END_2(1,4,0,2,0,1))"), std::string::npos) << f;
  EXPECT_NE(f.find("(_QBC_COND_END_1(1,13,8,3,1,3)("), std::string::npos) << f;
  EXPECT_NE(f.find("_QBC_COND_SYNC_2(1,8+2)"), std::string::npos) << f;
  // h starts again at slot 0; nine conditions take 16 slots.
  const std::string h = LineOf(run.text, "int h");
  EXPECT_NE(h.find("_QBC_DECLARE_COND_ELT(1,16);_QBC_LINK(1);"), std::string::npos) << h;
  EXPECT_NE(h.find("_QBC_COND_SYNC_2(1,0+8)"), std::string::npos) << h;
  // k: b || c inside the call is a decision of its own, finished while the
  // outer operand is walked, so it takes slot 0 and the outer one slot 8.
  // Numbers go on through the file: h took 17..33 for its conditions and
  // 35..44 for its ten rows; k's a 45, b 47, c 49, the inner table (TX FT
  // FF, two true rows) 51..53, the call 54, the outer table 56. Table
  // indexes: f 0 and 1, h 2, k 3 (inner) and 4 (outer).
  EXPECT_NE(h.find("(_QBC_COND_END_1(1,35,0,9,2,1)("), std::string::npos) << h;
  const std::string k = LineOf(run.text, "int k");
  EXPECT_NE(k.find("_QBC_DECLARE_COND_ELT(1,16);_QBC_LINK(1);"), std::string::npos) << k;
  EXPECT_NE(k.find("(_QBC_COND_END_1(1,51,0,2,3,2)("), std::string::npos) << k;
  EXPECT_NE(k.find("(_QBC_COND_END_1(1,56,8,2,4,1)("), std::string::npos) << k;
  EXPECT_LT(k.find("(_QBC_COND_END_1(1,56"), k.find("(_QBC_COND_END_1(1,51")) << "the outer decision encloses the inner";
  EXPECT_NE(k.find("_QBC_COND_ELEM_2(1,54)))_QBC_COND_SYNC_2(1,8+1)"), std::string::npos) << k;
  ExpectCompiles();
}

// README: operands after the first must be free of side effects and unable
// to fault (names, constants, arithmetic without division, comparisons,
// members of objects); any other decision keeps && and gets the warning.
TEST_F(WalkTextsTest, OnlyDecisionsWithHarmlessOperandsAreForced) {
  struct Form {
    const char* operand;
    bool forced;
  };
  const std::vector<Form> forms = {
      {"b", true},
      {"s.m", true},
      {"b + c * 2 - -b", true},
      {"b < c", true},
      {"(b == 3)", true},
      {"(char)c", true},
      {"3 > b", true},
      {"!(b != c)", true},
      {"(b = c)", false},
      {"b++", false},
      {"--b", false},
      {"(b += 1)", false},
      {"g(b)", false},
      {"b / c", false},
      {"b % c", false},
      {"*p", false},
      {"q->m", false},
      {"p[1]", false},
      {"({ int t = b; t; })", false},
      {"_Generic(b, int: 1, default: 0)", false},
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

// Switches with -BLOCK=IMPLICIT and -COND: case conditions and blocks after
// each label's colon (the condition first), "break;default:" with the
// implicit block and case condition before the closing brace of a switch
// without default, and the switch enclosed in "{_QBC_SWITCH;" and "}".
TEST_F(WalkTextsTest, SwitchCasesAndImplicitDefault) {
  const Instrumented run = Run(
      "int g(void);\n"
      "void s2(int x) { switch (x) { case 1: g(); break; default: break; } }\n"
      "void s3(int x) { switch (x) { case 1: case 2: g(); break; case 3: break; } }\n"
      "void s4(int x) { switch (x) case 1: g(); }\n",
      "-BLOCK=IMPLICIT -COND");
  ASSERT_EQ(run.status, 0) << run.messages;
  // s2 has its own default: no implicit one.
  const std::string s2 = LineOf(run.text, "void s2");
  EXPECT_EQ(s2.find("break;default:"), std::string::npos) << s2;
  EXPECT_NE(s2.find("default:{_QBC_COND_CASE("), std::string::npos) << s2;
  // s3: two labels before one statement, a block for the second only.
  const std::string s3 = LineOf(run.text, "void s3");
  const std::size_t first = s3.find("case 1:"), second = s3.find("case 2:");
  ASSERT_LT(first, second) << s3;
  const std::string between = s3.substr(first, second - first);
  EXPECT_NE(between.find("_QBC_COND_CASE("), std::string::npos) << between;
  EXPECT_EQ(between.find("_QBC_BLOC("), std::string::npos) << between;
  EXPECT_EQ(s3.find("case 2:{_QBC_COND_CASE("), second) << s3;
  EXPECT_NE(s3.find("{_QBC_BLOC(", second), std::string::npos) << s3;
  EXPECT_EQ(CountOf(s3, "_QBC_COND_CASE("), 4u) << s3;  // three labels and the implicit default
  // s4: a body that is no compound statement gets braces, and the implicit
  // default after it.
  const std::string s4 = LineOf(run.text, "void s4");
  EXPECT_NE(s4.find("{_QBC_SWITCH;switch (x){ case 1:"), std::string::npos) << s4;
  EXPECT_NE(s4.find("break;default:_QBC_BLOC("), std::string::npos) << s4;
  ExpectCompiles();
}

// README: a loop that a jump can enter from outside (a case label of an
// enclosing switch, a goto to a label in it) keeps its blocks, gets no
// iteration branches and the warning; a jump from inside changes nothing.
// A computed goto reaches only labels whose address is taken (l10, l11), and
// a loop it leaves loses its branches too (l12).
TEST_F(WalkTextsTest, LoopsEnteredFromOutsideGetNoIterationBranches) {
  struct Loops {
    const char* function;
    std::size_t withBranches;
    std::size_t enteredFromOutside;
  };
  const std::vector<Loops> cases = {
      {"void l1(int n, int *to, int *from) { switch (n % 2) { case 0: do { *to = *from++; case 1: *to = *from++; } "
       "while (--n > 0); } }",
       0, 1},
      {"void l2(int n) { goto in; while (n) { in: n--; } }", 0, 1},
      {"void l3(int n, int a, int b) { switch (n) { case 0: while (a) { while (b) { case 1: b--; } a--; } } }", 0, 2},
      {"void l4(int n) { for (; n; n--) { do { n--; lab: ; } while (n > 3); if (n == 7) goto lab; } }", 1, 1},
      {"void l5(int a) { for (; a; a--) { lab: a--; } if (a) goto lab; }", 0, 1},
      {"void l6(int n) { while (n) { in: n--; if (n == 5) goto in; } }", 1, 0},
      {"void l7(int x, int y, int a) { switch (x) { case 0: while (a) { switch (y) { case 1: a--; } a--; } } }", 1, 0},
      {"void l8(int a, int b) { while (a) { lab: while (b) { b--; goto lab; } a--; } }", 2, 0},
      {"void l9(int n) { do { n--; } while (n); }", 1, 0},
      {"void l10(int i) { void *q[] = {&&a}; int w = 0; while (w < 2) { w++; b: ; } goto *q[i]; a: ; }", 1, 0},
      {"void l11(int i) { void *q[] = {&&a}; int w = 0; goto *q[i]; while (w < 2) { w++; a: ; } }", 0, 1},
      {"void l12(int i) { void *q[] = {&&a}; int w = 0; while (w < 2) { w++; goto *q[i]; } a: ; }", 0, 0},
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
  // The loops without branches keep their body blocks.
  EXPECT_NE(LineOf(run.text, "void l2").find("while (n) {_QBC_BLOC("), std::string::npos);
  EXPECT_NE(LineOf(run.text, "void l1").find("do {_QBC_BLOC("), std::string::npos);
  EXPECT_NE(LineOf(run.text, "void l9").find("{_QBC_LOOP_bef1("), std::string::npos);
  EXPECT_EQ(WarnedLines(run.messages, "Loop entered by a jump from outside, no iteration branches"),
            expectedWarnings)
      << run.messages;
  EXPECT_EQ(WarnedLines(run.messages, "Loop left by a computed goto, no iteration branches"), std::vector<int>{12})
      << run.messages;
  ExpectCompiles();
}

// README "What is never instrumented": with blocks, modified conditions and
// calls selected, none of these forms gets a text; the first function shows
// what the same expression gets where it is evaluated.
TEST_F(WalkTextsTest, FormsNeverInstrumented) {
  const std::vector<std::string> forms = {
      "int n01(int a, int b) { return sizeof(a && b ? g(a) : 1); }",
      "int n02(int a, int b) { return _Alignof(char[1 && 1 ? 2 : 3]); }",
      "int n03(int a, int b) { typeof(a && b ? g(a) : 1) t = 0; return t; }",
      "int n04(int a, int b) { return _Generic(a && b ? g(a) : 1, int: 1, default: 0); }",
      "int n05(int a, int b) { return __builtin_constant_p(a && b ? g(a) : 1); }",
      "int n06(int a, int b) { return __builtin_choose_expr(1 && 1 ? 1 : 0, 4, 5); }",
      "int n07(int a, int b) { static int s = 1 && 2 ? 3 : 4; return s; }",
      "int n08(int a, int b) { int v[1 && 1 ? 2 : 3]; return sizeof v; }",
      "int n09(int a, int b) { _Static_assert(1 && 1 ? 1 : 0, \"x\"); return 0; }",
      "int n10(int a, int b) { return ({ int t = a && b ? g(a) : 1; t; }); }",
      "int n11(int a, int b) { int v[4] = { [1 ? 2 : 3] = 5 }; return v[2]; }",
      "int n12(int a) { int in(int b) { return b && a ? g(b) : 0; } return 0; }",
      "int n13(int a) { do { a++; } while (0); return a; }",
      "enum E { E1 = 1 || 0, E2 = 1 ? 2 : 3 };",
      "struct B { int w : 1 ? 2 : 3; };",
  };
  std::string source = "int g(int);\nint evaluated(int a, int b) { return a && b ? g(a) : 1; }\n";
  for (const std::string& form : forms) source += form + "\n";
  source += "int n14(int a) { switch (a) { case 1 && 1 ? 2 : 3: return 1; } return 0; }\n";
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
  EXPECT_NE(LineOf(run.text, "int n13").find("while (0);"), std::string::npos);
  // A case label keeps its text; the case gets its condition after the colon.
  EXPECT_NE(LineOf(run.text, "int n14").find("case 1 && 1 ? 2 : 3:{_QBC_COND_CASE("), std::string::npos);
  ExpectCompiles();
}

}  // namespace
}  // namespace instrument
