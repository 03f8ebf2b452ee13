#include "driver/options.h"

#include "analysis_fixture.h"
#include "support/moxtel_log.h"

#include <cstdlib>

namespace driver {
namespace {

class OptionsTest : public AnalysisTest {
 protected:
  void SetUp() override {
    AnalysisTest::SetUp();
    setenv("QBLTGT", "/opt/tdp", 1);
  }
  void TearDown() override {
    ReleaseOptions(options);
    support::CloseMoxtelLog();
    AnalysisTest::TearDown();
  }

  /// AnalyseOptions on "a.i b.c gcc.def" followed by the options; stderr is kept in `shown`.
  bool Run(const std::vector<std::string>& extra) {
    std::vector<const char*> argv{"quorbcc1", "a.i", "b.c", "gcc.def"};
    for (const std::string& w : extra) argv.push_back(w.c_str());
    ::testing::internal::CaptureStderr();
    const bool ok = AnalyseOptions(static_cast<int>(argv.size()), argv.data(), options);
    shown = ::testing::internal::GetCapturedStderr();
    return ok;
  }

  /// Fresh options and command analysis for another run in the same test.
  void Reset() {
    ReleaseOptions(options);
    options = Options{};
    SetUp();
  }

  static std::string Warning(const std::string& text) { return "Nivrak quorbcc1 - WARNING: " + text + "\n"; }

  Options options;
};

// The coverage levels themselves show in what every command-line case and
// oracle run instruments; these selections show nowhere else.
TEST_F(OptionsTest, CoverageSelectionsWithoutAVisibleText) {
  struct Case {
    std::vector<std::string> options;
    bool ternary;  // blocks of conditional operators
    bool anyCoverage;
  };
  const Case cases[] = {
      {{"-BLOCK=IMPLICIT"}, true, true},
      {{"-BLOCK=IMPLICIT", "-NOTERNARY"}, false, true},
      {{"-NOTERNARY"}, false, true},  // the default blocks lose them too
      {{"-RENAME=f"}, false, false},  // renaming alone selects no coverage
  };
  for (const Case& c : cases) {
    Reset();
    ASSERT_TRUE(Run(c.options)) << shown;
    EXPECT_EQ((options.coverage & instrument::kCoverTernary) != 0, c.ternary) << c.options.back();
    EXPECT_EQ(options.coverage != 0, c.anyCoverage) << c.options.back();
  }
}

TEST_F(OptionsTest, IgnoredCombinationsOnlyWarn) {
  ASSERT_TRUE(Run({"-BEFORE_RETURN_EXPR", "-NOBLOCK", "-NOTERNARY", "-CALLMAYTERMINATE=exit", "-WHILEONLY",
                   "-EXCALL=/nonexistent/excall"}))
      << shown;
  EXPECT_EQ(shown, Warning("If Trace option is not selected, -BEFORE_RETURN_EXPR will be ignored") +
                       Warning("If block coverage is not selected, -NOTERNARY will be ignored") +
                       Warning("If block coverage is not selected, -CALLMAYTERMINATE will be ignored") +
                       Warning("If logical block coverage is not selected, -WHILEONLY will be ignored") +
                       Warning("If call coverage is not selected, -EXCALL will be ignored"));
  EXPECT_FALSE(options.beforeReturnExpr);
  EXPECT_EQ(support::InternName("exit")->flags, 0u);
}

TEST_F(OptionsTest, DeprecatedSpellingsWarnAndActAsTheirSuccessors) {
  ASSERT_TRUE(Run({"-SCRUBRALT", "-TALLAROLT=PROCESS", "-SERVICE=f"}));
  EXPECT_EQ(shown, Warning("Command-line:\n -scrubralt option is deprecated; please use -mempro option instead") +
                       Warning("Command-line:\n -tallarolt option is deprecated; please use -perfpro option instead") +
                       Warning("Command-line:\n  -service option is deprecated; please use -unit option instead"));
  EXPECT_TRUE(options.memPro && options.perfProProcessClock);
  EXPECT_EQ(support::InternName("f")->flags, support::kSelectedUnit);

  Reset();
  ASSERT_TRUE(Run({"-EXSERVICE=g", "-EXUNIT=g"}));
  // -EXUNIT is processed first, so the deprecated spelling brings the repeat.
  EXPECT_EQ(shown, Warning("Command-line:\n  -exservice option is deprecated; please use -exunit option instead") +
                       Warning("A unit appears twice in -EXUNIT list : g"));
  EXPECT_EQ(options.exUnitList.nodes.size(), 1u);
}

// Renaming, removing and -CALLMAYTERMINATE show in the command-line cases.
TEST_F(OptionsTest, NameFlagsFromServiceOptions) {
  ASSERT_TRUE(Run({"-DUMPCALLING=d,e", "-DUMPINCOMING=d", "-DUMPRETURNING=e", "-NOINSPECT=v", "-MAIN=start"}));
  EXPECT_EQ(support::InternName("d")->flags, support::kDumpCalling | support::kDumpIncoming);
  EXPECT_EQ(support::InternName("e")->flags, support::kDumpCalling | support::kDumpReturning);
  EXPECT_EQ(support::InternName("v")->flags, support::kNoInspectVariable);
  EXPECT_FALSE(options.noInspectAll);
  EXPECT_EQ(options.mainService, support::InternName("start"));

  // -NOINSPECT without names inspects nothing.
  Reset();
  ASSERT_TRUE(Run({"-NOINSPECT"}));
  EXPECT_TRUE(options.noInspectAll);
}

TEST_F(OptionsTest, DirectoryListsHaveNoTrailingSlash) {
  const std::string cwd = support::CurrentDirectory();
  ASSERT_TRUE(Run({"-NOINSTRDIR=/usr/include/,/usr/include/.,/usr/include", "-NOINSPECTDIR=sub,sub/..,."}));
  EXPECT_EQ(shown, Warning("A directory appears twice in -NOINSPECTDIR list : .") +
                       Warning("A directory appears twice in -NOINSTRDIR list : /usr/include/.") +
                       Warning("A directory appears twice in -NOINSTRDIR list : /usr/include"));
  ASSERT_EQ(options.noInstrDirList.nodes.size(), 1u);
  EXPECT_EQ(options.noInstrDirList.nodes[0].entry->text, "/usr/include");
  EXPECT_EQ(options.noInstrDirList.nodes[0].entry->flags, support::kExcludedUnitOrDirectory);
  ASSERT_EQ(options.noInspectDirList.nodes.size(), 2u);
  EXPECT_EQ(options.noInspectDirList.nodes[0].entry->text, cwd + "sub");
  EXPECT_EQ(options.noInspectDirList.nodes[1].entry->text, cwd.substr(0, cwd.size() - 1));
}

TEST_F(OptionsTest, SetNamesAreLowerCasedBeforeTheRepeatTest) {
  ASSERT_TRUE(Run({"-SET=Foo,foo,Bar"}));
  EXPECT_EQ(shown, Warning("A name appears twice in -SET list : foo"));
  ASSERT_EQ(options.setList.nodes.size(), 2u);
  EXPECT_EQ(options.setList.nodes[0].entry->text, "foo");
  EXPECT_EQ(options.setList.nodes[1].entry->text, "bar");
}

TEST_F(OptionsTest, OutputDirectoryDistinguishesAbsentFromValueless) {
  ASSERT_TRUE(Run({"-FDCDIR"}));
  EXPECT_EQ(options.fdcDir, std::nullopt);
  EXPECT_EQ(options.tsfDir, std::string());
}

TEST_F(OptionsTest, UnitSelectionNeedsSomethingSelected) {
  for (const std::string option : {"-UNIT=u", "-NOINCLUDE"}) {
    Reset();
    EXPECT_FALSE(Run({"-RENAME=f", option}));
    EXPECT_EQ(shown, "Nivrak quorbcc1 - ERROR: No Code Coverage nor Runtime Tracing, Memory Profiling or Performance "
                     "Profiling are selected, use of " + option.substr(0, option.find('=')) + " option is forbidden\n");
  }

  Reset();
  ASSERT_TRUE(Run({"-UNIT=f,g,f", "-NOINCLUDE"}));
  EXPECT_EQ(shown, Warning("A unit appears twice in -UNIT list : f"));
  EXPECT_TRUE(options.noInclude);
}

TEST_F(OptionsTest, DefinitionPathIsFatal) {
  std::vector<const char*> argv{"quorbcc1", "a.i", "b.c", "sub/gcc.def"};
  EXPECT_EXIT(AnalyseOptions(4, argv.data(), options), ::testing::ExitedWithCode(support::kExitFatal),
              "FATAL ERROR: path is forbidden for parameter <def> sub/gcc.def\n");
}

TEST_F(OptionsTest, MoxtelLogWithoutValueWarnsWithEmptyName) {
  ASSERT_TRUE(Run({"-MOXTEL_LOG"}));
  EXPECT_EQ(shown, Warning("Cannot append to Moxtel Log File:  No such file or directory"));
}

}  // namespace
}  // namespace driver
