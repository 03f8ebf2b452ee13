// The runtime analyses' views: the hand-written TSF, trace, performance and
// memory files of fixtures/analyses (two processes, an unknown routine, a
// dropped ring, an unwound frame, a location in another file) and bad input.
#include "report/analysis_data.h"
#include "report/analysis_report.h"
#include "report/analysis_writers.h"
#include "report/tsf_catalog.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

QString Fixture(const std::string& name) { return Q(FixturePath("analyses/" + name)); }

// The fixtures' figures, worked out by hand:
// - prog.c (key 1000 = 0x3E8, checksum 2000 = 0x7D0): main at line 10, work
//   at 3, helper at 20, jumper at 30, text 34 "[/usr/include/inl.h,12]";
//   util.c (0xBB8, 0xFA0): util_fn at 5. Message 9 and 7 are unknown.
// - profile, summed over processes 100 and 101: main 1+1 calls, totals
//   5000+7000, own 1000+2500; work 3+2 calls, totals 1500+1300, own
//   1000+1100, min 100, max 1200; util_fn 4 calls, 100 ns.
// The values of `keys` in `object`, blank-separated.
std::string Fields(const QJsonValue& object, std::initializer_list<const char*> keys) {
  QStringList values;
  for (const char* key : keys) {
    const QJsonValue value = object[key];
    values << (value.isNull() ? "null" : value.isString() ? value.toString() : QString::number(value.toInteger()));
  }
  return values.join(' ').toStdString();
}

std::vector<std::string> LinesAfter(const std::string& text, const std::string& first, std::size_t count) {
  std::vector<std::string> lines;
  std::istringstream in(text.substr(std::min(text.find(first), text.size())));
  for (std::string line; lines.size() < count && std::getline(in, line);) lines.push_back(line);
  return lines;
}

class AnalysesTest : public ReportTest {
 protected:
  // The test's empty directory is the input searched for FDC and TSF files:
  // the analyses come alone.
  RunOutput RunAnalyses(const QStringList& extra = {}) const {
    return Run(QStringList{Q(dir), "--tsf", Fixture("prog.c.tsf"), "--tsf", Fixture("util.c.tsf"), "--trace",
                           Fixture("run.qbt"), "--profile", Fixture("run.qbq"), "--memory", Fixture("run.qbp"),
                           "--analyses"} +
               extra);
  }
};

// The profile sums sections and processes, sorted by own time; the memory
// tables list sites, leaks and bad frees; the call tree indents by depth with
// durations per process; unknown routines are counted in one warning per file.
TEST_F(AnalysesTest, TextViewsOfEveryAnalysis) {
  const RunOutput run = RunAnalyses();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(LinesAfter(run.out, "Performance profile", 6),
            (std::vector<std::string>{
                "Performance profile: 4 routines from 2 sections, clock os",
                "  routine  location     calls  own total    total      min      max  average",
                "  main     prog.c:10        2    3500 ns  12.0 us  5000 ns  7000 ns  6000 ns",
                "  work     prog.c:3         5    2100 ns  2800 ns   100 ns  1200 ns   560 ns",
                "  util_fn  util.c:5         4     100 ns   100 ns    10 ns    40 ns    25 ns",
                "  #9       0x3E8/0x7D0      1      50 ns    50 ns    50 ns    50 ns    50 ns",
            }));
  // No coverage input: no coverage summary.
  EXPECT_EQ(run.out.find("Coverage of"), std::string::npos);
  EXPECT_EQ(LinesAfter(run.out, "Memory profile", 15),
            (std::vector<std::string>{
                "Memory profile: 3 allocating sites from 2 sections",
                "  routine  location        blocks  bytes  freed blocks  freed bytes",
                "  #7       0x3E8/0x7D0 +1       1      8             0            0",
                "  helper   inl.h:12             1     16             0            0",
                "  work     prog.c:7             5    220             3          130",
                "Leaks: 3 blocks, 106 bytes",
                "  routine  location  blocks  bytes",
                "  work     prog.c:7       2     90",
                "  helper   inl.h:12       1     16",
                "Bad frees: 6",
                "  kind             routine          location   count",
                "  freed again      main             prog.c:12      2",
                "  never allocated  (untraced code)                 1",
                "  3 more not listed by the runtime",
                "",
            }));
  EXPECT_EQ(LinesAfter(run.out, "Trace of process 100", 12),
            (std::vector<std::string>{
                "Trace of process 100, thread 1: 15 events in 2 sections, 5 dropped, 2 lost",
                "  main (prog.c:10), no exit seen",
                "    work (prog.c:3) 400 ns",
                "      helper (prog.c:20) 250 ns",
                "    jumper (prog.c:30) 500 ns",
                "      helper (prog.c:20) 300 ns, unwound",
                "    -- trace dump --",
                "    #9 (0x3E8/0x7D0) 50 ns",
                "  ... 5 earlier events dropped",
                "      exit of helper (prog.c:20)",
                "    exit of work (prog.c:3)",
                "  exit of main (prog.c:10)",
            }));
  // The second process's calls pair across its two sections.
  EXPECT_EQ(LinesAfter(run.out, "Trace of process 101", 4),
            (std::vector<std::string>{
                "Trace of process 101, thread 1: 4 events in 2 sections, 0 dropped, 0 lost",
                "  main (prog.c:10) 11.0 us",
                "    util_fn (util.c:5) 300 ns",
            }));
  const std::string tail = " a routine that no TSF block resolves; shown by number\n";
  EXPECT_NE(run.err.find(FixturePath("analyses/run.qbq") + ": 1 record names" + tail), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(FixturePath("analyses/run.qbt") + ": 2 records name" + tail), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(FixturePath("analyses/run.qbp") + ": 1 record names" + tail), std::string::npos) << run.err;
}

TEST_F(AnalysesTest, CallTreeStopsAfterTheEventLimitButKeepsDurations) {
  const RunOutput run = RunAnalyses({"--trace-events", "3"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(LinesAfter(run.out, "Trace of process 100", 5),
            (std::vector<std::string>{
                "Trace of process 100, thread 1: 15 events in 2 sections, 5 dropped, 2 lost",
                "  main (prog.c:10), no exit seen",
                "    work (prog.c:3) 400 ns",
                "      helper (prog.c:20) 250 ns",
                "  (the first 3 of 15 events shown)",
            }));
}

TEST_F(AnalysesTest, WithoutAnalysesSwitchOnlyANoteAfterTheSummary) {
  const RunOutput run = RunFixtures({"--profile", Fixture("run.qbq"), "--memory", Fixture("run.qbp"), "--trace",
                                     Fixture("run.qbt"), "--tsf", Fixture("prog.c.tsf")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find("Coverage of 3 files"), 0u) << run.out;
  EXPECT_NE(run.out.find("\nRuntime analyses: 4 routines profiled, 3 leaks, 19 trace events (--analyses shows them)\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("Performance profile"), std::string::npos);
}

// The figures are those of the text views; here the keys they go under.
TEST_F(AnalysesTest, JsonHoldsEveryFigureUnderAnalyses) {
  const RunOutput run = RunAnalyses({"--json", Q(dir + "a.json")});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject analyses = ReadJson(dir + "a.json")["analyses"].toObject();
  EXPECT_EQ(analyses["unresolved"].toInt(), 4);
  const QJsonArray routines = analyses["profile"]["routines"].toArray();
  ASSERT_EQ(routines.size(), 4);
  EXPECT_EQ(Fields(routines[0]["routine"], {"name", "source", "line"}), "main /src/prog.c 10");
  EXPECT_EQ(Fields(routines[0], {"calls", "own_total_ns", "total_ns", "own_min_ns", "own_max_ns", "average_ns"}),
            "2 3500 12000 1000 2500 6000");
  EXPECT_EQ(Fields(routines[3]["routine"], {"name", "message", "key", "checksum"}), "null 9 0x3E8 0x7D0");
  const QJsonObject memory = analyses["memory"].toObject();
  EXPECT_EQ(Fields(memory["leaks"][0], {"line", "recorded_line", "blocks", "bytes"}), "7 4 2 90");
  EXPECT_EQ(Fields(memory["bad_frees"][1], {"kind", "line"}), "never_allocated null");
  EXPECT_EQ(memory["bad_frees_not_listed"].toInt(), 3);
  const QJsonObject trace = analyses["trace"].toObject();
  EXPECT_EQ(trace["event_limit"].toInt(), 200);
  const QJsonValue first = trace["threads"][0];
  EXPECT_EQ(Fields(first, {"pid", "events", "dropped", "lost"}), "100 15 5 2");
  const QJsonArray lines = first["lines"].toArray();
  ASSERT_EQ(lines.size(), 11);
  EXPECT_EQ(Fields(lines[0], {"end", "duration_ns"}), "open null");
  EXPECT_EQ(Fields(lines[4], {"kind", "depth", "duration_ns", "end"}), "call 2 300 unwound");
  EXPECT_EQ(Fields(lines[5], {"kind"}) + Fields(lines[7], {"kind", "dropped"}) + Fields(lines[8], {"kind"}),
            "dumpdropped 5exit");
}

TEST_F(AnalysesTest, BadInputStopsWithFileAndLine) {
  const QString empty = Q(dir + "empty");
  std::filesystem::create_directory(dir + "empty");
  std::ofstream(dir + "cut.qbt") << "T 1 1 5 0 0\nE 100 1 0x3E8 0x7D0 1\nX 200 1 0x3E";
  const RunOutput run = Run({empty, "--tsf", Fixture("prog.c.tsf"), "--trace", Q(dir + "cut.qbt")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorbreport: error: " + dir + "cut.qbt:3: truncated line\n");
  EXPECT_EQ(Run({empty, "--tsf", Fixture("prog.c.tsf"), "--trace-events", "many"}).status, 1);
}

TEST(AnalysesFiles, RejectMalformedLinesWithTheirNumber) {
  const TsfCatalog catalog;
  const struct {
    std::string (*parse)(const std::string&, const std::string&, const TsfCatalog&, AnalysisData&);
    std::string text, error;
  } cases[] = {
      {ParseTraceFile, "E 1 1 0x1 0x2 3\n", "f:1: event before any T line"},
      {ParseTraceFile, "T 1 1 5 0\n", "f:1: bad T line"},
      {ParseTraceFile, "T 1 1 5 0 0\nE 1 0 0x1 0x2 3\n", "f:2: bad E line"},        // depth 0
      {ParseTraceFile, "T 1 1 5 0 0\nX 1 1 0x1 0x2\n", "f:2: bad X line"},          // no message
      {ParseTraceFile, "T 1 1 5 0 0\nD 1 1 0x1\n", "f:2: bad D line"},              // a dump names no routine
      {ParseTraceFile, "T 1 1 5 0 0\nZ 1 1\n", "f:2: unknown line"},
      {ParseTraceFile, "T 1 1 5 0 0\nE 99999999999999999999 1 0x1 0x2 3\n", "f:2: bad E line"},  // beyond 64 bits
      {ParseProfileFile, "F 0x1 0x2 os\n", "f:1: F line before any Q line"},
      {ParseProfileFile, "Q 1 2\nS 1 1 1 1 1 1 1 1\n", "f:2: S line outside an F group"},
      {ParseProfileFile, "Q 1 2\nF 0x1 0x2 wall\n", "f:2: bad F line"},
      {ParseProfileFile, "Q 1 2\nF 0x1 0x2 os\nS 1 1 1 1 1 1 1\n", "f:3: bad S line"},
      {ParseProfileFile, "Q 1 2\nF 0x1 0x2 os\nS 1 1 1 1 1 1 1 1", "f:3: truncated line"},
      {ParseMemoryFile, "A 0x1 0x2 3 4 1 1 0 0\n", "f:1: A line before any H line"},
      {ParseMemoryFile, "H 1 2\nL 0x1 0x2 3 4 40\n", "f:2: bad L line"},
      {ParseMemoryFile, "H 1 2\nD 0x1 0x2 3 4 12\n", "f:2: bad D line"},  // address without 0x
      {ParseMemoryFile, "H 1 2\nB x\n", "f:2: bad B line"},
  };
  for (const auto& c : cases) {
    AnalysisData data;
    EXPECT_EQ(c.parse("f", c.text, catalog, data), c.error) << c.text;
  }
}

TEST(AnalysesFiles, HostileDepthsAndFiguresStayBounded) {
  const TsfCatalog catalog;
  AnalysisData data;
  ASSERT_EQ(ParseTraceFile("f",
                           "T 1 1 5 18446744073709551615 0\nE 9 4294967295 0x1 0x2 3\n"
                           "X 4 4294967295 0x1 0x2 3\n",
                           catalog, data),
            "");
  ASSERT_EQ(ParseProfileFile("f",
                             "Q 1 2\nF 0x1 0x2 os\nS 3 1 1 1 18446744073709551615 1 1 18446744073709551615\n"
                             "S 3 1 1 1 2 1 1 2\n",
                             catalog, data),
            "");
  data.traceFiles.push_back("f");
  const AnalysisReport built = BuildAnalysisReport(data, catalog, 200);
  EXPECT_EQ(built.profile.at(0).stats.total, UINT64_MAX);  // saturated, not wrapped to 1
  std::ostringstream out;
  WriteAnalyses(built, out);
  // At most a hundred levels of indentation; an exit before its entry lasts 0 ns.
  EXPECT_NE(out.str().find("\n  ... 18446744073709551615 earlier events dropped\n" + std::string(202, ' ') +
                           "[depth 4294967294] #3 (0x1/0x2) 0 ns\n"),
            std::string::npos)
      << out.str();
}

// Resolving routines by block identity past other tools' lines is seen in
// the views of the fixtures (prog.c.tsf holds an older block and foreign text).
TEST(AnalysesTsfCatalog, BrokenBlocksAreRefusedWithTheirLine) {
  TsfCatalog catalog;
  const std::string cut = "DB \"Grendam-Tracer\"\nUS QBT 8 3.0e\nSO \"/d/a.c\" 5 \"txt\"\nLK 1\n"
                          "IN \"File\" 33 \"a.c\"\nLK 7\nMS 1 \"f\"\nLK 0\nTX 34 \"[/d/h.h,3]\"\n";
  EXPECT_EQ(ParseTsf("t.tsf", cut, catalog), "t.tsf:1: block without ID and ED lines");
  EXPECT_EQ(ParseTsf("t.tsf", "hello\n", catalog), "t.tsf:1: not a TSF block");
  EXPECT_EQ(ParseTsf("t.tsf", cut + "MS x \"g\"\n", catalog), "t.tsf:10: bad MS line");
  EXPECT_EQ(ParseTsf("t.tsf", cut + "ED\n", catalog), "t.tsf:10: ED line without ID line");
}

TEST(AnalysesDurations, DurationsKeepFourDigitsInTheirUnit) {
  EXPECT_EQ(FormatDuration(9999), "9999 ns");
  EXPECT_EQ(FormatDuration(10000), "10.0 us");
  EXPECT_EQ(FormatDuration(69599), "69.5 us");
  EXPECT_EQ(FormatDuration(9999999), "9999.9 us");
  EXPECT_EQ(FormatDuration(10000000), "10.0 ms");
  EXPECT_EQ(FormatDuration(UINT64_MAX), "18446744073.7 s");
}

}  // namespace
}  // namespace report::testing_support
