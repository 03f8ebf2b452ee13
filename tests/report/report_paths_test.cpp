// --root: the root chosen by default, and source paths relative to it in
// every output.
#include "report/source_paths.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

TEST(SourcePaths, DefaultRootIsTheCurrentDirectoryOrTheDeepestCommonOne) {
  // Every source under the current directory, at any depth.
  EXPECT_EQ(DefaultRoot({"/w/p/src/a.c", "/w/p/lib/b.c"}, "/w"), "/w");
  EXPECT_EQ(DefaultRoot({"/w/p/src/a.c", "/w/p/lib/b.c"}, "/w/p/"), "/w/p");
  // Not all under it: their deepest common directory, by whole components.
  EXPECT_EQ(DefaultRoot({"/w/p/src/a.c", "/w/p/lib/b.c"}, "/w/p/src"), "/w/p");
  EXPECT_EQ(DefaultRoot({"/a/b/c.c", "/a/bx/d.c"}, "/z"), "/a");
  EXPECT_EQ(DefaultRoot({"/a/b/c.c", "/a/b/d/e.c"}, "/z"), "/a/b");
  EXPECT_EQ(DefaultRoot({"/x.c", "/y/z.c"}, "/q"), "/");
  EXPECT_EQ(DefaultRoot({"/a/./b/../c/d.c"}, "/q"), "/a/c");
  // Relative sources take no part; without absolute ones, the current directory.
  EXPECT_EQ(DefaultRoot({"rel.c", "/a/b/c.c"}, "/q"), "/a/b");
  EXPECT_EQ(DefaultRoot({}, "/q"), "/q");
}

TEST(SourcePaths, ShownPathIsRelativeOnlyUnderTheRoot) {
  EXPECT_EQ(ShownPath("/a/b", "/a/b/c/d.c"), "c/d.c");
  EXPECT_EQ(ShownPath("/a/b", "/a/bc/d.c"), "/a/bc/d.c");
  EXPECT_EQ(ShownPath("/a/b", "/a/d.c"), "/a/d.c");
  EXPECT_EQ(ShownPath("/", "/x/y.c"), "x/y.c");
  EXPECT_EQ(ShownPath("/a", "/a/./b//c.c"), "b/c.c");
  EXPECT_EQ(ShownPath("", "/a/b.c"), "/a/b.c");
  EXPECT_EQ(ShownPath("/a", "b.c"), "b.c");
}

// README: paths relative to the root in every output, a source outside it
// absolute; Cobertura's packages root-relative, "." for the root itself.
// a.c (its function ran) lies under proj/src, b.c (not run) under proj/lib;
// --root is relative to the current directory. (A root holding every source is seen by genhtml and
// xmllint in root_consumers.sh.)
TEST_F(ReportTest, RootMakesPathsRelativeInEveryOutputAndLeavesOutsidersAbsolute) {
  const std::string project = dir + "proj";
  std::filesystem::create_directories(project + "/src");
  std::filesystem::create_directories(project + "/lib");
  std::ofstream(dir + "a.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"a.c\" \"" << project
                                  << "/src/\"\nFD 1\nTC PR\nPR 0 proc \"f\" 1 2\nDC 1 10\n";
  std::ofstream(dir + "b.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"b.c\" \"" << project
                                  << "/lib/\"\nFD 1\nTC PR\nPR 0 proc \"g\" 1 2\nDC 2 20\n";
  std::ofstream(dir + "run.qbr") << "R 1 1\nF 0xA 0x1\nP 0 1\n";
  const RunOutput run = RunIn(dir, {"a.c.fdc", "b.c.fdc", "-r", "run.qbr", "--root", "proj/src", "--lcov", "r.info",
                                    "--cobertura", "r.xml", "--html", "html"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string b = project + "/lib/b.c";
  // Summary: sorted by shown path, "/" before letters.
  EXPECT_NE(run.out.find("\nfile" + std::string(b.size() - 4, ' ') + "  functions\n" + b +
                         "       0.0%\na.c" + std::string(b.size() - 3, ' ') + "     100.0%\n"),
            std::string::npos)
      << run.out;
  const std::string lcov = ReadAll(dir + "r.info");
  EXPECT_NE(lcov.find("\nSF:a.c\n"), std::string::npos) << lcov;
  EXPECT_NE(lcov.find("SF:" + b + "\n"), std::string::npos) << lcov;
  const std::string xml = ReadAll(dir + "r.xml");
  EXPECT_NE(xml.find("<sources>\n        <source>" + project + "/src</source>\n    </sources>"), std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<package name=\".\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<class name=\"a.c\" filename=\"a.c\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<package name=\"" + project + "/lib\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<class name=\"b.c\" filename=\"" + b + "\""), std::string::npos) << xml;
  EXPECT_NE(ReadAll(dir + "html/index.html").find("2 files under <span class=\"root\">" + project + "/src</span>"),
            std::string::npos);
}

}  // namespace
}  // namespace report::testing_support
