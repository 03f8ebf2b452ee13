#include "analysis_fixture.h"

#include <cstdlib>

namespace driver {
namespace {

const std::vector<std::string> kPositionals{"a.i", "b.c", "gcc.def"};

std::vector<std::string> With(std::vector<std::string> options) {
  std::vector<std::string> all = kPositionals;
  all.insert(all.end(), options.begin(), options.end());
  return all;
}

// A keyword that the value begins with is selected at once; an empty value
// after "=" is no value.
TEST_F(AnalysisTest, AbbreviationsKeywordsAndExactMatches) {
  ASSERT_EQ(Analyse(With({"-cond=force", "-count", "-BLOCK=", "-PERFPRO=p"})), 0) << shown;
  const int cond = QueryOption("COND");
  EXPECT_EQ(cond, 9);
  EXPECT_EQ(*OptionValue(cond, 1), "FORCEEVALUATION");
  EXPECT_EQ(QueryOption("COUNT"), 12);
  EXPECT_EQ(QueryOption("COMPACT"), 0);
  EXPECT_EQ(*PositionalValue(3, 1), "gcc.def");
  EXPECT_EQ(QueryOption("BLOCK"), 4);
  EXPECT_EQ(OptionValue(4, 1), nullptr);
  EXPECT_EQ(*OptionValue(QueryOption("PERFPRO"), 1), "PROCESS");

  InitCommandAnalysis(InstrumentorCommandTable());
  ASSERT_EQ(Analyse(With({"-BLOCK=decisionXYZ"})), 0) << shown;
  EXPECT_EQ(*OptionValue(QueryOption("BLOCK"), 1), "DECISION");
}

TEST_F(AnalysisTest, ExactNameWinsOverLongerNamesAndNoFormsNegate) {
  ASSERT_EQ(Analyse(With({"-CALL", "-nometrics"})), 0) << shown;
  EXPECT_EQ(QueryOption("CALL"), 3);
  EXPECT_EQ(QueryOption("CALLMAYTERMINATE"), 0);
  EXPECT_EQ(QueryOption("METRICS"), -20);
  EXPECT_EQ(QueryOption("TRACE"), -38);  // negatable and absent ends negative

  InitCommandAnalysis(InstrumentorCommandTable());
  ASSERT_EQ(Analyse(With({"-NOCALL"})), 0) << shown;
  EXPECT_EQ(QueryOption("CALL"), -3);
  EXPECT_EQ(QueryOption("NOPROC"), 0);
}

TEST_F(AnalysisTest, ListsAccumulate) {
  ASSERT_EQ(Analyse(With({"-FILE=a.c", "-FILE=b.c,c.c", "-FILE=a\\,b.c"})), 0) << shown;
  const int file = QueryOption("FILE");
  ASSERT_EQ(OptionValueCount(file), 4);
  EXPECT_EQ(*OptionValue(file, 1), "a.c");
  EXPECT_EQ(*OptionValue(file, 3), "c.c");
  EXPECT_EQ(*OptionValue(file, 4), "a,b.c");
  EXPECT_EQ(OptionValue(file, 5), nullptr);
}

TEST_F(AnalysisTest, ErrorsShowTheirMessageWithTheUsage) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::string tooLong(1025, 'y');
  const Case cases[] = {
      {With({"-MAIN=f", "-MAIN=g"}), "An option can't be used twice, MAIN=g"},
      {With({"-TRACE", "-NOTRACE"}), "An option can't be used twice, NOTRACE"},
      {With({"-MAIN=" + tooLong}), "Arg length too large, " + tooLong},
      {{tooLong, "b", "c"}, "Arg length too large, " + tooLong},
      {With({"-BLOCK=xyz"}), "Unknown value of option, xyz"},
      {With({"-MAIN"}), "Mandatory argument for this option, MAIN"},
      {With({"-MAIN="}), "Mandatory argument for this option, MAIN="},
      {With({"-INSTANTIATIONMODE"}), "Mandatory argument for this option, INSTANTIATIONMODE=USED|ALL"},
      {With({"-TRACE=1"}), "No argument for this option, TRACE=1"},
      {With({"-CALL="}), "No argument for this option, CALL="},
      {With({"-MAIN=a,b"}), "List forbidden invalid option, MAIN=a,b"},
      {With({"-FILE=a,,b"}), "Arg length too small,"},
      {With({"-UNKNOWN"}), "Unknown option, UNKNOWN"},
      {With({"--version"}), "Unknown option, -version"},
      {With({"-PROC", "-NOPROC"}), "Illegal combination of command elements, PROC and NOPROC"},
      {With({"-FDCNAME=x.fdc", "-FDCDIR"}), "Illegal combination of command elements, FDCNAME and FDCDIR"},
      {With({"d"}), "Too many arguments invalid argument, d"},
      {{"a,b"}, "List forbidden invalid argument, a,b"},
      {{"a.i"}, "Argument missing, instr"},
      {{}, "Argument missing, src"},
  };
  for (const Case& c : cases) {
    InitCommandAnalysis(InstrumentorCommandTable());
    EXPECT_EQ(Analyse(c.arguments), -1) << c.message;
    EXPECT_EQ(shown, AnalysisErrorText(c.message));
  }
}

// One byte below each limit of the table above is accepted.
TEST_F(AnalysisTest, LengthLimitsAreExact) {
  ASSERT_EQ(Analyse(With({"-MAIN=" + std::string(1024, 'x'), "-FILE=" + std::string(16384, 'f'),
                          "-COMMENT=" + std::string(65535, 'c')})),
            0)
      << shown;
}

TEST_F(AnalysisTest, UnknownQueryNameIsReportedWithoutUsage) {
  ASSERT_EQ(Analyse(kPositionals), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(QueryOption("proc"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Quorb Nivrak Command analysis : Internal error, bad option name proc\n");
}

// The words of a response file are not response files themselves.
TEST_F(AnalysisTest, ResponseFilesGiveWordsInPlace) {
  const std::string path = TempPath("quorb_response_1");
  WriteFile(path,
            "  # a comment line contributes nothing\n"
            "-FILE=\"my file.c\" \t-MAIN=m\\\n"
            "ain\n"
            "-FILE=a\\,b.c\r\n"
            "x#y\n");
  EXPECT_EQ(Expand({"a.i", "@" + path, "b.c"}),
            (std::vector<std::string>{"quorbcc1", "a.i", "-FILE=my file.c", "-MAIN=main", "-FILE=a\\,b.c",
                                      "x#y", "b.c"}));
  EXPECT_EQ(shown, "");
  EXPECT_EQ(Expand({"-option=" + path}).size(), 5u);
  const std::string outer = TempPath("quorb_response_outer");
  WriteFile(outer, "@" + path + "\n");
  EXPECT_EQ(Expand({"@" + outer}), (std::vector<std::string>{"quorbcc1", "@" + path}));
  std::remove(path.c_str());
  std::remove(outer.c_str());
}

// A missing response file is the command-line case missing_response_file.
TEST_F(AnalysisTest, HostileResponseFilesNeverBreakTheAnalysis) {
  const std::string path = TempPath("quorb_response_hostile");
  WriteFile(path, "");
  EXPECT_EQ(Expand({"@" + path}).size(), 1u);

  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  WriteFile(path, binary);
  const std::vector<std::string> words = Expand({"@" + path});
  for (const std::string& word : words) EXPECT_EQ(word.find('\0'), std::string::npos);

  const std::string longWord(100000, 'w');
  WriteFile(path, "a.i b.c gcc.def -MAIN=" + longWord + "\n");
  const std::vector<std::string> expanded = Expand({"@" + path});
  ASSERT_EQ(expanded.size(), 5u);
  EXPECT_EQ(expanded[4].size(), 100000u + 6);
  EXPECT_EQ(Analyse({"b.c", "c", "gcc.def", expanded[4]}), -1);
  EXPECT_EQ(shown, AnalysisErrorText("Arg length too large, " + longWord));

  std::string many;
  for (int i = 0; i < 300000; ++i) many += "-FILE=f" + std::to_string(i) + ".c\n";  // a few megabytes
  WriteFile(path, many);
  EXPECT_EQ(Expand({"@" + path}).size(), 300001u);
  std::remove(path.c_str());
}

TEST_F(AnalysisTest, EnvironmentExpansion) {
  setenv("QUORB_TEST_A", "alpha", 1);
  setenv("QUORB_TEST_B", "$QUORB_TEST_A", 1);
  unsetenv("QUORB_TEST_UNDEFINED");
  EXPECT_EQ(Expand({"$QUORB_TEST_A/x", "$QUORB_TEST_UNDEFINED/x", "end$", "$QUORB_TEST_B", "$QUORB_TEST_A$QUORB_TEST_A",
                    "$$QUORB_TEST_A"}),
            (std::vector<std::string>{"quorbcc1", "alpha/x", "$QUORB_TEST_UNDEFINED/x", "end$", "$QUORB_TEST_A",
                                      "alphaalpha", "$alpha"}));
}

}  // namespace
}  // namespace driver
