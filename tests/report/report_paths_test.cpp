// --root: the root chosen by default, and source paths relative to it in
// every output. Sources a.c under proj/src and b.c under proj/lib of the
// test's directory; a.c's one function ran, b.c's did not.
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

class RootTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    project = dir + "proj";
    std::filesystem::create_directories(project + "/src");
    std::filesystem::create_directories(project + "/lib");
    std::ofstream(dir + "a.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"a.c\" \"" << project
                                    << "/src/\"\nFD 1\nTC PR\nPR 0 proc \"f\" 1 2\nDC 1 10\n";
    std::ofstream(dir + "b.c.fdc") << "VE 3.0e CCOV #i6 8.2.0.1\nFC \"b.c\" \"" << project
                                    << "/lib/\"\nFD 1\nTC PR\nPR 0 proc \"g\" 1 2\nDC 2 20\n";
    std::ofstream(dir + "run.qbr") << "R 1 1\nF 0xA 0x1\nP 0 1\n";
  }

  // Runs in `cwd` on both FDC files, writing every output into the test's directory.
  RunOutput RunAll(const std::string& cwd, const QStringList& extra = {}) {
    return RunIn(cwd, QStringList{Q(dir + "a.c.fdc"), Q(dir + "b.c.fdc"), "-r", Q(dir + "run.qbr"), "--json",
                                  Q(dir + "r.json"), "--lcov", Q(dir + "r.info"), "--cobertura", Q(dir + "r.xml"),
                                  "--html", Q(dir + "html")} +
                          extra);
  }

  QJsonObject Json() { return ReadJson(dir + "r.json"); }

  std::string project;
};

TEST_F(RootTest, TheDefaultRootIsTheCurrentDirectoryWhenItHoldsEverySource) {
  const std::string top = dir.substr(0, dir.size() - 1);  // the test's directory, without its "/"
  RunOutput run = RunAll(dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Json()["root"].toString().toStdString(), top);
  EXPECT_EQ(Sources(Json()), "proj/lib/b.c proj/src/a.c ");
  // From proj/src, b.c lies outside: the root is proj, where both lie.
  run = RunAll(project + "/src");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Json()["root"].toString().toStdString(), project);
  EXPECT_EQ(Sources(Json()), "lib/b.c src/a.c ");
  EXPECT_EQ(run.out.rfind("Coverage of 2 files under " + project + " from 1 results section\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\nlib/b.c  "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nsrc/a.c  "), std::string::npos) << run.out;
}

TEST_F(RootTest, RootMakesPathsRelativeInEveryOutputAndLeavesOutsidersAbsolute) {
  // --root relative to the current directory; b.c lies outside it.
  const RunOutput run = RunAll(dir, {"--root", "proj/src"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string b = project + "/lib/b.c";
  // Summary: sorted by shown path, "/" before letters.
  EXPECT_NE(run.out.find("\nfile" + std::string(b.size() - 4, ' ') + "  functions\n" + b +
                         "       0.0%\na.c" + std::string(b.size() - 3, ' ') + "     100.0%\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Json()["root"].toString().toStdString(), project + "/src");
  EXPECT_EQ(Sources(Json()), b + " a.c ");
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
  const std::string index = ReadAll(dir + "html/index.html");
  EXPECT_NE(index.find(">a.c</a>"), std::string::npos) << index;
  EXPECT_NE(index.find("2 files under <span class=\"root\">" + project + "/src</span>"), std::string::npos) << index;
  EXPECT_NE(ReadAll(dir + "html/file-2.html").find("<h1>a.c</h1>"), std::string::npos);
}

TEST_F(RootTest, PackagesAreRootRelativeDirectories) {
  const RunOutput run = RunAll(dir, {"--root", Q(project)});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string xml = ReadAll(dir + "r.xml");
  EXPECT_NE(xml.find("<package name=\"lib\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<package name=\"src\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("filename=\"src/a.c\""), std::string::npos) << xml;
  EXPECT_NE(ReadAll(dir + "r.info").find("SF:lib/b.c\n"), std::string::npos);
}

}  // namespace
}  // namespace report::testing_support
