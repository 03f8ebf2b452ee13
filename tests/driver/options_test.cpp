#include "driver/options.h"

#include "analysis_fixture.h"
#include "support/moxtel_log.h"

#include <cstdlib>
#include <tuple>

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

  /// cvi, info, source, metrics, runtimeAnalysis, trace.
  std::tuple<bool, bool, bool, bool, bool, bool> Flags() const {
    return {options.cvi, options.info, options.source, options.metrics, options.runtimeAnalysis, options.trace};
  }

  Options options;
};

TEST_F(OptionsTest, DefaultsWithoutAnyOption) {
  ASSERT_TRUE(Run({})) << shown;
  EXPECT_EQ(options.srcPath, "a.i");
  EXPECT_EQ(options.instrPath, "b.c");
  EXPECT_EQ(options.defPath, "/opt/tdp/ana/gcc.def");
  EXPECT_EQ(options.coverage, 0x0039);
  EXPECT_EQ(Flags(), std::tuple(true, true, true, false, false, false));
  EXPECT_EQ(options.selection, 3);
  EXPECT_EQ(options.fdcDir, std::string());
  EXPECT_EQ(options.tsfDir, std::string());
  EXPECT_EQ(options.fdcName, std::nullopt);
  EXPECT_EQ(shown, "");
}

TEST_F(OptionsTest, CoverageWordOfEachLevel) {
  struct Case {
    std::vector<std::string> options;
    std::uint16_t coverage;
  };
  const Case cases[] = {
      {{"-BLOCK=dec"}, 0x0038},
      {{"-BLOCK"}, 0x0018},
      {{"-BLOCK=IMPLICIT", "-NOTERNARY"}, 0x0028},
      {{"-BLOCK=LOGICAL", "-WHILEONLY"}, 0x8078},
      {{"-PROC=RET", "-CALL"}, 0x0007},
      {{"-COND"}, 0x0100},
      {{"-COND=MODIFIED"}, 0x0700},
      {{"-COND=comp"}, 0x0700},
      {{"-COND=FORCEEVALUATION", "-PROC"}, 0x0F01},
      {{"-NOPROC"}, 0x0038},
      {{"-NOBLOCK"}, 0x0001},
      {{"-NOTERNARY"}, 0x0029},
      {{"-NOCALL"}, 0x0039},
      {{"-TRACE"}, 0x0000},
      {{"-TRACE", "-PROC"}, 0x0001},
      {{"-RENAME"}, 0x0000},
  };
  for (const Case& c : cases) {
    Reset();
    ASSERT_TRUE(Run(c.options)) << shown;
    EXPECT_EQ(options.coverage, c.coverage) << c.options.front();
  }
}

TEST_F(OptionsTest, TraceAloneHasNoCoverage) {
  ASSERT_TRUE(Run({"-TRACE"})) << shown;
  EXPECT_EQ(Flags(), std::tuple(false, true, false, false, true, true));
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

TEST_F(OptionsTest, NoWarningsCountsButHides) {
  ASSERT_TRUE(Run({"-NOWARNINGS", "-SCRUBRALT"}));
  EXPECT_EQ(shown, "");
  EXPECT_TRUE(options.noWarnings);
  EXPECT_TRUE(options.memPro);
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
}

TEST_F(OptionsTest, DeprecatedSpellingsWarnAndActAsTheirSuccessors) {
  ASSERT_TRUE(Run({"-SCRUBRALT", "-TALLAROLT=PROCESS", "-SERVICE=f"}));
  EXPECT_EQ(shown, Warning("Command-line:\n -scrubralt option is deprecated; please use -mempro option instead") +
                       Warning("Command-line:\n -tallarolt option is deprecated; please use -perfpro option instead") +
                       Warning("Command-line:\n  -service option is deprecated; please use -unit option instead"));
  EXPECT_TRUE(options.memPro);
  EXPECT_TRUE(options.perfPro);
  EXPECT_TRUE(options.perfProProcessClock);
  EXPECT_EQ(options.selection, kSelectAllFiles);
  ASSERT_EQ(options.unitList.nodes.size(), 1u);
  EXPECT_EQ(options.unitList.nodes[0].entry->flags, support::kSelectedUnit);

  Reset();
  ASSERT_TRUE(Run({"-EXSERVICE=g", "-EXUNIT=g"}));
  // -EXUNIT is processed first, so the deprecated spelling brings the repeat.
  EXPECT_EQ(shown, Warning("Command-line:\n  -exservice option is deprecated; please use -exunit option instead") +
                       Warning("A unit appears twice in -EXUNIT list : g"));
  ASSERT_EQ(options.exUnitList.nodes.size(), 1u);
  EXPECT_EQ(options.exUnitList.nodes[0].entry->flags, support::kExcludedUnitOrDirectory);
  EXPECT_EQ(options.selection, 3);
}

TEST_F(OptionsTest, NameFlagsFromServiceOptions) {
  ASSERT_TRUE(Run({"-BLOCK", "-CALLMAYTERMINATE=fail", "-RENAME=r", "-REMOVE=q", "-DUMPCALLING=d,e", "-DUMPINCOMING=d",
                   "-DUMPRETURNING=e", "-NOINSPECT=v", "-MAIN=start", "-COMMENT=build 7"}));
  EXPECT_EQ(support::InternName("fail")->flags, 0x08u);
  EXPECT_EQ(support::InternName("r")->flags, 0x40u);
  EXPECT_EQ(support::InternName("q")->flags, 0xC0u);
  EXPECT_EQ(support::InternName("d")->flags, 0x03000000u);
  EXPECT_EQ(support::InternName("e")->flags, 0x05000000u);
  EXPECT_EQ(support::InternName("v")->flags, 0x20000000u);
  EXPECT_FALSE(options.noInspectAll);
  EXPECT_EQ(options.mainService, support::InternName("start"));
  EXPECT_EQ(options.comment, support::InternName("build 7"));

  // -NOINSPECT without names inspects nothing.
  Reset();
  ASSERT_TRUE(Run({"-NOINSPECT"}));
  EXPECT_TRUE(options.noInspectAll);
}

TEST_F(OptionsTest, FileListsHoldCanonicalPathsAndWarnOnRepeats) {
  const std::string cwd = support::CurrentDirectory();
  ASSERT_TRUE(Run({"-FILE=a.c", "-FILE=./a.c", "-FILE=/x/b.c"}));
  EXPECT_EQ(shown, Warning("A file appears twice in -FILE list : " + cwd + "a.c"));
  EXPECT_EQ(options.selection, kSelectAllUnits);
  ASSERT_EQ(options.fileList.nodes.size(), 2u);
  EXPECT_EQ(options.fileList.nodes[0].entry->text, cwd + "a.c");
  EXPECT_EQ(options.fileList.nodes[0].entry->flags, support::kSelectedFile);
  EXPECT_EQ(options.fileList.nodes[1].entry->text, "/x/b.c");

  Reset();
  ASSERT_TRUE(Run({"-EXFILE=/x/b.c,/x/b.c"}));
  EXPECT_EQ(shown, Warning("A file appears twice in -EXFILE list : /x/b.c"));
  EXPECT_EQ(options.selection, 3);
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

TEST_F(OptionsTest, OutputDirectoriesDistinguishAbsentFromValueless) {
  ASSERT_TRUE(Run({"-FDCDIR", "-TSFDIR=traces", "-NODLINE"}));
  EXPECT_EQ(options.fdcDir, std::nullopt);
  EXPECT_EQ(options.tsfDir, "traces");
  EXPECT_TRUE(options.noDLine);

  Reset();
  ASSERT_TRUE(Run({"-FDCNAME=all.fdc", "-TSFNAME=all.tsf"}));
  EXPECT_EQ(options.fdcName, "all.fdc");
  EXPECT_EQ(options.fdcDir, std::string());
  EXPECT_EQ(options.tsfName, "all.tsf");
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
  EXPECT_EQ(options.selection, kSelectAllFiles);
}

TEST_F(OptionsTest, PlainFlags) {
  ASSERT_TRUE(Run({"-NOPATH", "-NOFULLPATHKEY", "-ALTCHECKSUM", "-KEEP", "-NOCVI", "-NOSOURCE", "-METRICS",
                   "-NOINFO", "-COUNT", "-INSTANTIATIONMODE=all", "-NO_DATA_TRACE"}));
  EXPECT_TRUE(options.noPath && options.noFullPathKey && options.altChecksum && options.keep && options.count);
  EXPECT_FALSE(options.cvi || options.source || options.info || options.compact);
  EXPECT_TRUE(options.metrics);

  Reset();
  ASSERT_TRUE(Run({"-NOMETRICS", "-TRACE", "-BEFORE_RETURN_EXPR"}));
  EXPECT_FALSE(options.metrics);
  EXPECT_TRUE(options.beforeReturnExpr);
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
