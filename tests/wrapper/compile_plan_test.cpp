#include "wrapper/compile_plan.h"
#include "wrapper/response_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace wrapper {
namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

PlanSettings Settings() {
  PlanSettings settings;
  settings.privateDirectory = "/q";
  settings.quorbcc1 = "/i/bin/quorbcc1";
  settings.definitionFile = "gcc.def";
  settings.instrumentOptions = {"-PROC=RET", "-BLOCK"};
  return settings;
}

const std::string kInstrument1 = "/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -PROC=RET -BLOCK";

struct PlanCase {
  const char* name;
  std::string command;
  Lines expected;  // one line: the command passes through unchanged
};

// Each compiler command line with the commands the launcher runs for it,
// worked out from what the compiler would do with the original. Plain
// compiles, compiles and links, make's and CMake's dependency options,
// -save-temps, "-o -", -E and --version are the launcher's real builds
// (make_build, cmake_project, configure_checks).
const PlanCase kCases[] = {
    {"compile and link with an object and a library keeps their order",
     "gcc util.o a.c -L. -lz -o app",
     {"gcc -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o /q/1/a.o", "gcc util.o /q/1/a.o -L. -lz -o app"}},
    {"-MD -MF: dependencies come from the preprocessing of the original source",
     "gcc -MD -MF dep/a.d -c a.c -o obj/a.o",
     {"gcc -MD -MF dep/a.d -MQ obj/a.o -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o obj/a.o"}},
    {"-MD without -o: the file and target are named after the source",
     "gcc -MD -c sub/a.c",
     {"gcc -MD -MF a.d -MQ a.o -E sub/a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o a.o"}},
    {"-Wp, options reach only the preprocessor",
     "gcc -Wp,-MMD,.a.o.d -c a.c -o a.o",
     {"gcc -Wp,-MMD,.a.o.d -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o a.o"}},
    {"-include and -imacros apply once, in preprocessing",
     "gcc -include config.h -imacrosm.h -DY -c a.c -o a.o",
     {"gcc -include config.h -imacrosm.h -DY -E a.c -o /q/1/a.i", kInstrument1, "gcc -DY -c /q/1/a.c -o a.o"}},
    {"-o elsewhere, joined",
     "gcc -c a.c -o../out/x.obj",
     {"gcc -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o ../out/x.obj"}},
    {"-x c on a source with another suffix",
     "gcc -x c -c a.src -o a.o",
     {"gcc -E -x c a.src -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o a.o"}},
    {"-x c then -x none in compile and link: the object is not read as C",
     "gcc -xc a.txt -x none b.o -o app",
     {"gcc -E -x c a.txt -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o /q/1/a.o", "gcc /q/1/a.o b.o -o app"}},
    {"link-only options stay out of the compile steps",
     "gcc -c a.c -Wl,-z,now -lm -Xlinker -s",
     {"gcc -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o a.o"}},
    {"option values are not taken for inputs; -undef and -emit-llvm take none",
     "clang -undef -emit-llvm -isystem sys -MT t.c -target x86_64-linux-gnu -c a.c",
     {"clang -undef -emit-llvm -isystem sys -MT t.c -target x86_64-linux-gnu -E a.c -o /q/1/a.i", kInstrument1,
      "clang -undef -emit-llvm -isystem sys -target x86_64-linux-gnu -c /q/1/a.c -o a.o"}},
    {"a C source among assembler sources: the others compile as before",
     "gcc -c a.c start.S -x assembler vec.asm",
     {"gcc -E a.c -o /q/1/a.i", kInstrument1, "gcc -c /q/1/a.c -o a.o", "gcc -c start.S -x assembler vec.asm"}},
    {"C++", "gcc -c a.cpp -o a.o", {"gcc -c a.cpp -o a.o"}},
    {"a C++ driver compiles .c files as C++", "g++ -c a.c", {"g++ -c a.c"}},
    {"-x c++ on a .c file", "gcc -x c++ -c a.c", {"gcc -x c++ -c a.c"}},
    {"-S", "gcc -S a.c", {"gcc -S a.c"}},
    {"-v with a source", "gcc -v -c a.c", {"gcc -v -c a.c"}},
    {"-print-prog-name=", "gcc -print-prog-name=cc1", {"gcc -print-prog-name=cc1"}},
    {"standard input", "gcc -x c -c - -o a.o", {"gcc -x c -c - -o a.o"}},
    {"-o with -c and two sources is the compiler's error to report", "gcc -c a.c b.c -o x.o",
     {"gcc -c a.c b.c -o x.o"}},
    {"an already preprocessed file", "gcc -c a.i", {"gcc -c a.i"}},
};

TEST(CompilePlanTest, CommandLinesBecomeTheExpectedCommands) {
  for (const PlanCase& c : kCases) {
    const std::vector<std::string> argv = Words(c.command);
    const CompilePlan plan = PlanCompile(argv, Settings());
    EXPECT_EQ(DescribePlan(plan, argv), c.expected) << c.name;
    EXPECT_EQ(plan.passThrough, c.expected.size() == 1) << c.name;
  }
}

// The commands that compile the original source (for the compiler's own
// messages, and as the fallback; the launcher's failing_compile runs both
// on plain commands) do so as the original command would,
// -include and -x included, dependencies excepted; the one for messages
// writes its object in the private directory and saves no temporaries.
TEST(CompilePlanTest, OriginalCompilesOfASource) {
  const CompilePlan compile =
      PlanCompile(Words("gcc -MD -include c.h -save-temps -x c -c a.src -o obj/a.o"), Settings());
  ASSERT_EQ(compile.sources.size(), 1u);
  EXPECT_EQ(compile.sources[0].original, Words("gcc -include c.h -save-temps -c -x c a.src -o obj/a.o"));
  EXPECT_EQ(compile.sources[0].diagnose, Words("gcc -include c.h -c -x c a.src -o /q/1/a.diagnose.o"));
  EXPECT_EQ(compile.sources[0].directory, "/q/1");
}

TEST(CompilePlanTest, ResponseFilesAreReadBeforePlanning) {
  const std::map<std::string, std::string> files = {
      {"opts", "-O2 '-DNAME=\"a b\"'\n  -I\\ dir @more"},
      {"more", "-c\ta.c"},
      {"self", "-Wall @self"},
  };
  const FileReader read = [&](const std::string& path) -> std::optional<std::string> {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
  const std::vector<std::string> expanded = ExpandResponseFiles({"gcc", "@opts", "@missing"}, read);
  EXPECT_EQ(expanded, (std::vector<std::string>{"gcc", "-O2", "-DNAME=\"a b\"", "-I dir", "-c", "a.c", "@missing"}));
  // "@missing" stays an input, left to the compiler to complain about.
  const CompilePlan plan = PlanCompile(expanded, Settings());
  ASSERT_EQ(plan.sources.size(), 1u);
  EXPECT_EQ(plan.sources[0].compile, (Command{"gcc", "-O2", "-DNAME=\"a b\"", "-I dir", "-c", "/q/1/a.c", "-o", "a.o"}));
  EXPECT_EQ(plan.rest, (Command{"gcc", "-O2", "-DNAME=\"a b\"", "-I dir", "-c", "@missing"}));

  const std::vector<std::string> looping = ExpandResponseFiles({"gcc", "@self"}, read);
  EXPECT_EQ(looping.size(), 66u);  // 64 levels of -Wall, then "@self" kept
  EXPECT_EQ(looping.back(), "@self");
}

TEST(CompilePlanTest, ResponseTextQuotingAndEscapes) {
  EXPECT_EQ(SplitResponseText("  a\\ b 'c d'\"e'f\" \"\" g\\\\ \n"),
            (std::vector<std::string>{"a b", "c de'f", "", "g\\"}));
  EXPECT_TRUE(SplitResponseText(" \t\n").empty());
}


// Settings the launcher uses in a build: a compiler cache before the
// compiler, the build's results file and FDC files beside the objects.
PlanSettings BuildSettings() {
  PlanSettings settings = Settings();
  settings.compilerPrefix = {"ccache"};
  settings.resultsFile = "/b/quorb.qbr";
  settings.definitionsBesideObjectsFrom = "/b/sub";
  return settings;
}

// FDC files beside the objects of a CMake build and a cache before the
// compile are the launcher's cmake_project and compiler_wrappers builds.
const PlanCase kBuildCases[] = {
    {"object in the current directory, absolute object elsewhere",
     "gcc -c a.c -o /out/a.o",
     {"gcc -E a.c -o /q/1/a.i",
      "/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -FDCDIR=/out -TSFDIR=/out -PROC=RET -BLOCK",
      "ccache gcc -DQBC_RESULTS_DEFAULT=\"/b/quorb.qbr\" -c /q/1/a.c -o /out/a.o"}},
    {"compile and link: beside the program; the link through the cache too",
     "gcc a.c -o bin/prog",
     {"gcc -E a.c -o /q/1/a.i",
      "/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -FDCDIR=/b/sub/bin -TSFDIR=/b/sub/bin -PROC=RET -BLOCK",
      "ccache gcc -DQBC_RESULTS_DEFAULT=\"/b/quorb.qbr\" -c /q/1/a.c -o /q/1/a.o", "ccache gcc /q/1/a.o -o bin/prog"}},
    {"pedantic: expanded without the pedantic and error options, then compiled with all",
     "gcc -std=c99 -pedantic-errors -Werror -Werror=vla -Wall -DX -c a.c",
     {"gcc -std=c99 -pedantic-errors -Werror -Werror=vla -Wall -DX -E a.c -o /q/1/a.i",
      "/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -FDCDIR=/b/sub -TSFDIR=/b/sub -PROC=RET -BLOCK",
      "gcc -std=c99 -Wall -DX -DQBC_RESULTS_DEFAULT=\"/b/quorb.qbr\" -E /q/1/a.c -o /q/1/a.expanded.i",
      "ccache gcc -std=c99 -pedantic-errors -Werror -Werror=vla -Wall -DX -c /q/1/a.expanded.i -o a.o"}},
    {"fall-through warnings: comments kept through both preprocessings",
     "gcc -Wextra -Wpedantic -c a.c",
     {"gcc -Wextra -Wpedantic -C -E a.c -o /q/1/a.i",
      "/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -FDCDIR=/b/sub -TSFDIR=/b/sub -PROC=RET -BLOCK",
      "gcc -Wextra -DQBC_RESULTS_DEFAULT=\"/b/quorb.qbr\" -C -E /q/1/a.c -o /q/1/a.expanded.i",
      "ccache gcc -Wextra -Wpedantic -c /q/1/a.expanded.i -o a.o"}},
};

TEST(CompilePlanTest, CommandsOfABuild) {
  for (const PlanCase& c : kBuildCases) {
    const std::vector<std::string> argv = Words(c.command);
    EXPECT_EQ(DescribePlan(PlanCompile(argv, BuildSettings()), argv), c.expected) << c.name;
  }
}

TEST(CompilePlanTest, PlacesNamedInTheOptionsWin) {
  PlanSettings settings = BuildSettings();
  settings.instrumentOptions = {"-fdcn=all.fdc", "-TSFDIR=/t"};
  const CompilePlan plan = PlanCompile(Words("gcc -c a.c"), settings);
  ASSERT_EQ(plan.sources.size(), 1u);
  EXPECT_EQ(plan.sources[0].instrument, Words("/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -fdcn=all.fdc -TSFDIR=/t"));
  settings.instrumentOptions = {"-TSFNAME=x.tsf"};
  EXPECT_EQ(PlanCompile(Words("gcc -c a.c"), settings).sources[0].instrument,
            Words("/i/bin/quorbcc1 /q/1/a.i /q/1/a.c gcc.def -FDCDIR=/b/sub -TSFNAME=x.tsf"));
}

// A path with a quote or a backslash stays one C string literal.
TEST(CompilePlanTest, ResultsFileAsACString) {
  PlanSettings settings = Settings();
  settings.resultsFile = "/b \"q\"\\r/quorb.qbr";
  const CompilePlan plan = PlanCompile(Words("gcc -c a.c"), settings);
  ASSERT_EQ(plan.sources.size(), 1u);
  EXPECT_EQ(plan.sources[0].compile,
            (Command{"gcc", "-DQBC_RESULTS_DEFAULT=\"/b \\\"q\\\"\\\\r/quorb.qbr\"", "-c", "/q/1/a.c", "-o", "a.o"}));
}

// With the compiler's predefined macros known, the compile reads a unit of
// the launcher's that includes the instrumented file.
PlanSettings UnitSettings(bool gcc, const Command& prefix) {
  PlanSettings settings = Settings();
  settings.predefinedMacros = "/c/macros.h";
  settings.gcc = gcc;
  settings.compilerPrefix = prefix;
  settings.resultsFile = "/b/quorb.qbr";
  return settings;
}

const std::string kInstrumentThroughUnit =
    "/i/bin/quorbcc1 /q/1/a.i /q/1/a.instrumented.c gcc.def -PROC=RET -BLOCK";

struct UnitCase {
  const char* name;
  bool gcc;
  Command prefix;
  std::string command;
  Lines expected;
};

// No macro of the command reaches the compile; GCC reads the unit in one
// pass; an expansion for a cache. GCC's and Clang's compiles, pedantic or
// not, are the launcher's make_build (a program reusing the names of
// macros, -pedantic builds); these are the forms it has not.
const UnitCase kUnitCases[] = {
    {"GCC: what preprocessing applied (macros, included files, the source's character set) is not applied again",
     true, {}, "gcc -O2 -DX=1 -UY -I inc -include cfg.h -finput-charset=latin1 -c src/a.c -o a.o",
     {"gcc -O2 -DX=1 -UY -I inc -include cfg.h -finput-charset=latin1 -E src/a.c -o /q/1/a.i", kInstrumentThroughUnit,
      "gcc -O2 -I inc -fpreprocessed -fdirectives-only -c -x c /q/1/a.c -o a.o"}},
    {"GCC through a cache: expanded, comments kept for fall-through warnings", true, {"ccache"},
     "gcc -Wextra -DX -c a.c",
     {"gcc -Wextra -DX -C -E a.c -o /q/1/a.i", kInstrumentThroughUnit,
      "gcc -Wextra -C -fpreprocessed -fdirectives-only -E -x c /q/1/a.c -o /q/1/a.expanded.i",
      "ccache gcc -Wextra -c /q/1/a.expanded.i -o a.o"}},
};

TEST(CompilePlanTest, CommandsThroughAUnit) {
  for (const UnitCase& c : kUnitCases) {
    const std::vector<std::string> argv = Words(c.command);
    EXPECT_EQ(DescribePlan(PlanCompile(argv, UnitSettings(c.gcc, c.prefix)), argv), c.expected) << c.name;
  }
}

// Comments cost every later step the headers' comments too: they are kept
// only where GCC may read one as "fall through" (its manual's patterns at
// levels 2 to 4 all say "fall" in some case; level 1 takes any comment), or
// where a header's comment missed could fail the compile (-Werror).
TEST(CompilePlanTest, CommentsKeptWhereAFallThroughCommentMayCount) {
  struct Case {
    const char* command;
    bool gcc;
    bool sourceSaysFall;
    bool kept;
  };
  const Case cases[] = {
      {"gcc -Wextra -c a.c", true, false, false},
      {"gcc -Wextra -c a.c", true, true, true},
      {"gcc -W -Werror -c a.c", true, false, true},
      {"gcc -Wimplicit-fallthrough=1 -c a.c", true, false, true},
      {"gcc -Wall -c a.c", true, true, false},
      {"clang -Wextra -Wimplicit-fallthrough -c a.c", false, true, false},
  };
  for (const Case& c : cases) {
    PlanSettings settings = UnitSettings(c.gcc, {});
    settings.mayHoldFallthroughComment = [&c](const std::string& source) { return source == "a.c" && c.sourceSaysFall; };
    const Command preprocess = PlanCompile(Words(c.command), settings).sources.at(0).preprocess;
    EXPECT_EQ(std::count(preprocess.begin(), preprocess.end(), "-C"), c.kept ? 1 : 0) << c.command;
  }
  // A compiler whose macros are unknown keeps them, as GCC would need.
  PlanSettings unknown = Settings();
  unknown.mayHoldFallthroughComment = [](const std::string&) { return true; };
  const Command preprocess = PlanCompile(Words("cc -Wextra -c a.c"), unknown).sources.at(0).preprocess;
  EXPECT_EQ(std::count(preprocess.begin(), preprocess.end(), "-C"), 1);

  for (const char* text : {"/* FALLTHRU */", "// Falls through.", "/* @fallthrough@ */", "/* lint -fallthrough */",
                           "  /* Else, fall-thru */", "/* Intentionally fall through */"}) {
    EXPECT_TRUE(MayHoldFallthroughComment(std::string("case 1: x();\n") + text + "\ncase 2:")) << text;
  }
  for (const char* text : {"/* next case */", "/* F A L L */", "/* fal l */", ""}) {
    EXPECT_FALSE(MayHoldFallthroughComment(text)) << text;
  }
}

// A compile straight from the unit takes the runtime from a shared
// assembly, compiled with the options that shape code, without warnings,
// debug information or a pipe; GCC's assembler reads it, Clang's unit
// includes it. Not under link-time optimisation, through a cache, with
// kept intermediate files, or for Clang's expansion under -pedantic.
TEST(CompilePlanTest, SharedRuntimeSteps) {
  struct Case {
    const char* name;
    bool gcc;
    Command prefix;
    std::string command;
    std::string runtimeCompile;
  };
  const Case cases[] = {
      {"GCC", true, {},
       "gcc -O2 -g3 -gdwarf-4 -fPIC -m32 -DX -I inc -Wall -Werror -pedantic-errors -MD -c a.c -o a.o",
       "gcc -O2 -fPIC -m32 -w"},
      {"through a pipe, object on standard output", true, {}, "gcc -pipe -c a.c -o -", "gcc -w"},
      {"link-time optimisation", true, {}, "gcc -O2 -flto=auto -c a.c", ""},
      {"link-time optimisation turned off again", true, {}, "gcc -flto -fno-lto -c a.c", "gcc -flto -fno-lto -w"},
      {"through a cache", true, {"ccache"}, "gcc -c a.c", ""},
      {"intermediate files kept", true, {}, "gcc -save-temps=obj -c a.c", ""},
      {"Clang", false, {}, "clang -O1 -g -c a.c", "clang -O1 -w"},
      {"Clang, pedantic", false, {}, "clang -pedantic -c a.c", ""},
  };
  for (const Case& c : cases) {
    PlanSettings settings = UnitSettings(c.gcc, c.prefix);
    settings.cacheDirectory = "/k";
    const CompilePlan plan = PlanCompile(Words(c.command), settings);
    ASSERT_EQ(plan.sources.size(), 1u) << c.name;
    const SharedRuntimeSteps& runtime = plan.sources[0].runtime;
    EXPECT_EQ(runtime.compile, Words(c.runtimeCompile)) << c.name;
    if (runtime.compile.empty()) continue;
    EXPECT_EQ(runtime.included, !c.gcc) << c.name;
    EXPECT_EQ(runtime.cache, "/k") << c.name;
    EXPECT_EQ(runtime.macros, "#ifndef QBC_RESULTS_DEFAULT\n#define QBC_RESULTS_DEFAULT \"/b/quorb.qbr\"\n#endif\n")
        << c.name;
  }
}

// The unit names the source (escaped as in a string literal), includes the
// macros header, gives the runtime's own macros of the command in their
// order and the launcher's results file unless the command named one, and
// includes the instrumented file beside it.
TEST(CompilePlanTest, TextOfTheUnit) {
  const CompilePlan plan = PlanCompile(
      Words("gcc -DQBC_RESULTS_SEMIHOSTING -D_QBCRT_EXCLUSIVE=2 -DUSE_QBT -DQBT_F(a)=a -UQBX -DOTHER=1 -c sub/x\"y.c"),
      UnitSettings(true, {}));
  ASSERT_EQ(plan.sources.size(), 1u);
  EXPECT_EQ(plan.sources[0].unitFile, "/q/1/x_y.c");
  EXPECT_EQ(plan.sources[0].unitText,
            "# 1 \"sub/x\\\"y.c\"\n"
            "#include \"/c/macros.h\"\n"
            "#define QBC_RESULTS_SEMIHOSTING 1\n"
            "#define _QBCRT_EXCLUSIVE 2\n"
            "#define USE_QBT 1\n"
            "#define QBT_F(a) a\n"
            "#undef QBX\n"
            "#ifndef QBC_RESULTS_DEFAULT\n#define QBC_RESULTS_DEFAULT \"/b/quorb.qbr\"\n#endif\n"
            "#include \"x_y.instrumented.c\"\n");
  EXPECT_EQ(plan.sources[0].object, "x\"y.o");
}

TEST(CompilePlanTest, OptionsThatShapePredefinedMacros) {
  EXPECT_EQ(MacroShapingOptions(Words("gcc -O2 -std=c99 -m32 -fPIC -DX -UY -I inc -isystem s -Wall -MD -MF d "
                                      "-include h.h -c a.c -o a.o -lm")),
            Words("-O2 -std=c99 -m32 -fPIC"));
}

TEST(CompilePlanTest, SourcesOfACommand) {
  // -x c holds for every input after it, up to -x none.
  EXPECT_EQ(CSources(Words("gcc -c a.c c.S -x c b.txt -x none d.cpp -o x")), (std::vector<std::string>{"a.c", "b.txt"}));
  EXPECT_TRUE(CSources(Words("gcc -E a.c -I c.c")).size() == 1u);
}

}  // namespace
}  // namespace wrapper
