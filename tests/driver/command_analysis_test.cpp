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
// after "=" is no value. Abbreviated names and keywords, exact names among
// longer ones and the NO forms are what every command-line case and oracle
// run gives.
TEST_F(AnalysisTest, KeywordValues) {
  ASSERT_EQ(Analyse(With({"-BLOCK=decisionXYZ", "-PERFPRO="})), 0) << shown;
  EXPECT_EQ(*OptionValue(QueryOption("BLOCK"), 1), "DECISION");
  const int perfpro = QueryOption("PERFPRO");
  ASSERT_GT(perfpro, 0);
  EXPECT_EQ(OptionValue(perfpro, 1), nullptr);
}

// Repeated lists accumulate (the command-line case ten_thousand_options); an
// escaped comma stays in its value.
TEST_F(AnalysisTest, EscapedCommaStaysInAListValue) {
  ASSERT_EQ(Analyse(With({"-FILE=a.c", "-FILE=b.c,a\\,b.c"})), 0) << shown;
  const int file = QueryOption("FILE");
  ASSERT_EQ(OptionValueCount(file), 3);
  EXPECT_EQ(*OptionValue(file, 3), "a,b.c");
}

// Unknown and ambiguous options, the NO form beside its option and too many
// arguments are the command-line cases version_lookalikes, ambiguous_option,
// french_messages and missing_response_file.
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
      {With({"-BLOCK=xyz"}), "Unknown value of option, xyz"},
      {With({"-MAIN="}), "Mandatory argument for this option, MAIN="},
      {With({"-INSTANTIATIONMODE"}), "Mandatory argument for this option, INSTANTIATIONMODE=USED|ALL"},
      {With({"-TRACE=1"}), "No argument for this option, TRACE=1"},
      {With({"-MAIN=a,b"}), "List forbidden invalid option, MAIN=a,b"},
      {With({"-FILE=a,,b"}), "Arg length too small,"},
      {With({"-FDCNAME=x.fdc", "-FDCDIR"}), "Illegal combination of command elements, FDCNAME and FDCDIR"},
      {{"a,b"}, "List forbidden invalid argument, a,b"},
      {{"a.i"}, "Argument missing, instr"},
  };
  for (const Case& c : cases) {
    InitCommandAnalysis(InstrumentorCommandTable());
    EXPECT_EQ(Analyse(c.arguments), -1) << c.message;
    EXPECT_EQ(shown, AnalysisErrorText(c.message));
  }
}

// The longest values accepted; one byte more is too long (-MAIN above).
TEST_F(AnalysisTest, LengthLimitsAreExact) {
  ASSERT_EQ(Analyse(With({"-MAIN=" + std::string(1024, 'x'), "-FILE=" + std::string(16384, 'f'),
                          "-COMMENT=" + std::string(65535, 'c')})),
            0)
      << shown;
}

// Comments, quotes and continued lines are the command-line case
// response_file_and_variables's. -OPTION=file names one as @file does; the
// words of a response file are not response files themselves.
TEST_F(AnalysisTest, ResponseFilesGiveWordsInPlace) {
  const std::string path = TempPath("quorb_response_1");
  WriteFile(path, "-FILE=a\\,b.c\r\nx#y\n");
  EXPECT_EQ(Expand({"a.i", "@" + path, "b.c"}),
            (std::vector<std::string>{"quorbcc1", "a.i", "-FILE=a\\,b.c", "x#y", "b.c"}));
  EXPECT_EQ(shown, "");
  EXPECT_EQ(Expand({"-option=" + path}).size(), 3u);
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
