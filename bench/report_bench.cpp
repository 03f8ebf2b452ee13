// Reading FDC files and results and building the report, for generated FDC
// text of 1, 4 and 16 MB with annotated listings: "ms_per_MB" (processor
// time per MB of FDC text) stays flat when the work is linear. The second
// benchmark also lays out every listing as the HTML pages show it. The third
// reads traces of 250 000 and 1 000 000 events and builds their whole call
// trees: "ns_per_event" stays flat when that work is linear.
#include "report/analysis_data.h"
#include "report/analysis_report.h"
#include "report/coverage_data.h"
#include "report/fdc_units.h"
#include "report/html_parts.h"
#include "report/report_model.h"
#include "report/results_file.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

namespace {

// The listing of one generated function: twenty source lines with the
// branches of its records, a macro alternative and the popups of its
// decision.
std::string Listing(std::uint32_t f, const std::string& name, std::uint32_t p, std::uint32_t b, std::uint32_t k) {
  auto branch = [](const char* mark, std::uint32_t id, int sum) {
    return std::string("@BRANCH MARK=") + mark + " ID=" + std::to_string(id) + " SUM=" + std::to_string(sum) + "@";
  };
  auto basic = [&](std::uint32_t id, const std::string& text) {
    return "@POPUP@" + text + "@-POPUP@basic boolean conditions:\n  " + branch("TE", id, 30) + "True@/BRANCH@ " +
           branch("TE", id + 1, 30) + "False@/BRANCH@@/POPUP@";
  };
  std::string text = "int @NODE TYPE=FUNCTION NAME=" + name + "@function_" + std::to_string(f) + "(int x)\n" +
                     branch("TP", p, 0) + "{\n  " + branch("TA", f, 10) + "callee (x, y);@/BRANCH@\n";
  text += "  @DECISION SUM=20+21 ID=0|1@" + branch("TB", b + 1, 21) + "if (@POPUP@" + basic(k, "cond_0") + " && (" +
          basic(k + 2, "cond_1") + " || " + basic(k + 4, "cond_2") + ")@-POPUP@modified and multiple conditions:\n  " +
          branch("TE", k + 6, 32) + "TTX@/BRANCH@=T,@/POPUP@)\n";
  text += "    " + branch("TB", b, 20) + "x++;@/BRANCH@@/BRANCH@@/DECISION@\n";
  text += "@ALT@  while (LIMIT(x))@-ALT@\n  " + branch("TB", b + 2, 22) + "while (((x) < 10))@/ALT@ x++;@/BRANCH@\n";
  for (int line = 6; line < 19; ++line) text += "  /* line " + std::to_string(line) + " @@ */\n";
  return text + "  " + branch("TP", p + 1, 1) + "return x;@/BRANCH@\n}@/BRANCH@@/NODE@\n";
}

// Blocks of 200 functions, each with an entry, an exit, calls, blocks, a
// loop and a decision a && (b || c); the results mark every other branch.
void Generate(std::size_t size, std::string& fdc, std::string& results) {
  results = "R 1 2\n";
  for (std::uint32_t block = 0; fdc.size() < size; ++block) {
    std::string records, hits, listing;
    for (std::uint32_t f = 0; f < 200; ++f) {
      const std::string name = "\"function_" + std::to_string(f) + "\"";
      const std::uint32_t line = f * 20 + 1, p = f * 2, b = f * 5, k = f * 10;
      records += "PR " + std::to_string(p) + " proc " + name + " " + std::to_string(line) + " " +
                 std::to_string(line + 19) + "\n";
      records += "AP " + std::to_string(f) + " " + name + " \"callee (x, y)\" " + std::to_string(line + 2) + " " +
                 std::to_string(line + 2) + "\n";
      for (std::uint32_t c = 0; c < 3; ++c) {
        records += "CE " + std::to_string(k + 2 * c) + " " + name + " \"cond_" + std::to_string(c) + "\" " +
                   std::to_string(line + 3) + " " + std::to_string(line + 3) + "\n";
      }
      records += "CC " + std::to_string(k + 6) + " 3 " + std::to_string(k) + " " + std::to_string(k + 2) + " " +
                 std::to_string(k + 4) + " 4 TTXTFTTFFFXX 2\n";
      records += "BL " + std::to_string(b) + " simple " + name + " then " + std::to_string(line + 4) + " " +
                 std::to_string(line + 4) + "\n";
      records += "BL " + std::to_string(b + 1) + " implicit " + name + " else " + std::to_string(line + 3) + " " +
                 std::to_string(line + 4) + "\n";
      for (const char* segment : {"0", "1", "2+"}) {
        records += "BL " + std::to_string(b + 2 + (segment[0] == '0' ? 0 : segment[0] == '1' ? 1 : 2)) +
                   " logical " + name + " while/" + segment + " " + std::to_string(line + 5) + " " +
                   std::to_string(line + 9) + "\n";
      }
      records += "PR " + std::to_string(p + 1) + " return " + name + " " + std::to_string(line + 18) + " " +
                 std::to_string(line + 18) + "\n";
      listing += Listing(f, name, p, b, k);
      hits += "P " + std::to_string(p) + " 3\nB " + std::to_string(b) + " 1\nK " + std::to_string(k) + " 2\nK " +
              std::to_string(k + 6) + " 1\n";
    }
    const std::string checksum = std::to_string(1000 + block);
    fdc += "VE 3.0e CCOV #i6 8.2.0.1\nFC \"file_" + std::to_string(block) +
           ".c\" \"/src/bench/\"\nFD 1700000000\nTC PR RE AP BS BI BL CO CC\n" + records + "DC " + checksum + " " +
           std::to_string(block + 1) + "\n@RIK\n  TOKEN=\"CCOV\"\nNODE TYPE=FILE NAME=\"file_" +
           std::to_string(block) + ".c\"@" + listing + "@/NODE /RIK@\n";
    char group[64];
    std::snprintf(group, sizeof group, "F 0x%X 0x%X\n", block + 1, 1000 + block);
    results += group + hits;
  }
}

void BM_ReadAndBuildReport(benchmark::State& state) {
  std::string fdc, results;
  Generate(static_cast<std::size_t>(state.range(0)) << 20, fdc, results);
  std::size_t files = 0;
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    report::CoverageData data;
    report::AddUnits(data, report::ParseFdcUnits("bench.fdc", fdc).units);
    std::string error;
    report::AddResults(data, report::ParseResults("bench.qbr", results).file, error);
    const report::Report built = report::BuildReport(data);
    files = built.files.size();
    benchmark::DoNotOptimize(files);
  }
  // Processor time, so that other load on the machine does not count.
  const double milliseconds = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const double megabytes = static_cast<double>(fdc.size()) / (1 << 20);
  state.counters["files"] = static_cast<double>(files);
  state.counters["ms_per_MB"] = milliseconds / static_cast<double>(state.iterations()) / megabytes;
}

void BM_AnnotatedSource(benchmark::State& state) {
  std::string fdc, results;
  Generate(static_cast<std::size_t>(state.range(0)) << 20, fdc, results);
  report::CoverageData data;
  report::AddUnits(data, report::ParseFdcUnits("bench.fdc", fdc).units);
  std::string error;
  report::AddResults(data, report::ParseResults("bench.qbr", results).file, error);
  const report::Report built = report::BuildReport(data);
  std::size_t characters = 0;
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    for (const report::FileReport& file : built.files) {
      const std::optional<report::ListingView> view = report::html::ViewOfListing(file, ".");
      if (view) characters += report::html::ListingSection(*view, report::html::CountUnitOf(file), file).size();
    }
    benchmark::DoNotOptimize(characters);
  }
  const double milliseconds = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const double megabytes = static_cast<double>(fdc.size()) / (1 << 20);
  state.counters["ms_per_MB"] = milliseconds / static_cast<double>(state.iterations()) / megabytes;
}

// Rounds of nested calls four deep (eight events each) in sections of 65536
// events, the runtime's default ring, with a dump per round.
std::string TraceText(std::size_t events) {
  std::string text;
  std::uint64_t time = 1000;
  for (std::size_t written = 0; written < events;) {
    if (written % 65536 == 0) text += "T 1 1 1700000000 0 0\n";
    for (std::uint32_t depth = 1; depth <= 4; ++depth, ++written) {
      text += "E " + std::to_string(time += 7) + " " + std::to_string(depth) + " 0x3E8 0x7D0 " +
              std::to_string(depth) + "\n";
    }
    text += "D " + std::to_string(time) + " 4\n";
    for (std::uint32_t depth = 4; depth >= 1; --depth, ++written) {
      text += "X " + std::to_string(time += 5) + " " + std::to_string(depth) + " 0x3E8 0x7D0 " +
              std::to_string(depth) + "\n";
    }
  }
  return text;
}

void BM_TraceTree(benchmark::State& state) {
  const auto events = static_cast<std::size_t>(state.range(0));
  const std::string text = TraceText(events);
  report::TsfCatalog catalog;
  report::ParseTsf("bench.tsf",
                   "DB \"Grendam-Tracer\"\nSO \"/b/t.c\" 1 \"txt\"\nLK 3\nMS 1 \"a\"\nLK 9\nMS 2 \"b\"\n"
                   "LK 15\nMS 3 \"c\"\nLK 20\nMS 4 \"d\"\nID 1000 2000\nED\n",
                   catalog);
  std::size_t lines = 0;
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    report::AnalysisData data;
    report::ParseTraceFile("bench.qbt", text, catalog, data);
    const report::AnalysisReport built = report::BuildAnalysisReport(data, catalog, UINT64_MAX);
    lines = built.threads.empty() ? 0 : built.threads.front().lines.size();
    benchmark::DoNotOptimize(lines);
  }
  const double nanoseconds = 1e9 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["ns_per_event"] = nanoseconds / static_cast<double>(state.iterations()) / static_cast<double>(events);
}

}  // namespace

BENCHMARK(BM_ReadAndBuildReport)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnnotatedSource)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceTree)->Arg(250000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
