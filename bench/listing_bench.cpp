// The Halstead analysis and the annotated listing of generated sources of 1,
// 2.5 and 10 MB, one of them a single line: time grows with the size alone
// (the reported complexity is O(N) with a small RMS), whatever the length of
// the lines.
#include "frontend/line_validity.h"
#include "metrics/halstead.h"
#include "output/source_reader.h"
#include "support/name_table.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Functions with comments, directives, literals and a macro invocation per
// function; the preprocessed text has the macro expanded.
struct Sources {
  std::string source;
  std::string preprocessed;
  std::uint32_t lines = 0;
};

Sources Generate(std::size_t size, bool oneLine) {
  Sources sources;
  sources.source = "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n";
  sources.preprocessed = "\n";
  const char* end = oneLine ? " " : "\n";
  for (int function = 0; sources.source.size() < size; ++function) {
    const std::string name = "f" + std::to_string(function);
    const std::string head = "int " + name + "(int a, int b) { /* note @ */" + end + "#if VARIANT" + end;
    std::string body = "  if (a > 0x1F && b != 'x') return MAX(a, b);" + std::string(end) + "#endif" + end +
                       "  return printf(\"%d\\n\", a) + 1.5e3; }" + end;
    sources.source += head + body;
    sources.preprocessed += "int " + name + "(int a, int b) { " + end + end +
                            "  if (a > 0x1F && b != 'x') return ((a) > (b) ? (a) : (b));" + end + end +
                            "  return printf(\"%d\\n\", a) + 1.5e3; }" + end;
  }
  sources.source += "\n";
  sources.preprocessed += "\n";
  return sources;
}

std::string WriteTemporary(const std::string& name, const std::string& text) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return path;
}

void BM_Halstead(benchmark::State& state) {
  const Sources sources = Generate(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  const std::string path = WriteTemporary("listing_bench.c", sources.source);
  for (auto _ : state) {
    support::NameTable names;
    const support::NameTableScope binding(names);
    metrics::HalsteadCounts counts{};
    std::vector<metrics::HiddenRange> ranges;
    frontend::RegionList regions{};
    metrics::ComputeHalstead(path.c_str(), counts, ranges, regions);
    frontend::FreeRegions(regions);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sources.source.size()));
  state.SetComplexityN(static_cast<std::int64_t>(sources.source.size()));
}

// One tag at the start of the expansion's condition on every line that has
// one, as a decision of the listing would be.
void BM_Listing(benchmark::State& state) {
  const Sources sources = Generate(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
  const std::string sourcePath = WriteTemporary("listing_bench.c", sources.source);
  const std::string prePath = WriteTemporary("listing_bench.i", sources.preprocessed);
  metrics::HalsteadCounts counts{};
  std::vector<metrics::HiddenRange> ranges;
  frontend::RegionList regions{};
  metrics::ComputeHalstead(sourcePath.c_str(), counts, ranges, regions);
  std::FILE* out = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    output::ListingState listing;
    const output::ListingScope binding(listing);
    output::StartListing(out, ranges, regions);
    output::SourceReader source;
    output::SourceReader preprocessed;
    output::OpenSourceReader(source, sourcePath.c_str(), true);
    output::OpenSourceReader(preprocessed, prePath.c_str(), false);
    for (std::uint32_t line = 4; line <= counts[metrics::kTotalLines] && state.range(1) == 0; line += 5) {
      output::CopySourceUpTo(source, preprocessed, line, {line, 38}, false);
      output::WriteMarkup("@T@");
    }
    output::FinishReader(preprocessed);
    output::FinishReader(source);
    output::CloseSourceReader(preprocessed);
    output::CloseSourceReader(source);
    output::FinishListing();
  }
  std::fclose(out);
  frontend::FreeRegions(regions);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sources.source.size()));
  state.SetComplexityN(static_cast<std::int64_t>(sources.source.size()));
}

BENCHMARK(BM_Halstead)
    ->ArgsProduct({{1000000, 2500000, 10000000}, {0}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Halstead)
    ->ArgsProduct({{1000000, 2500000, 10000000}, {1}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Listing)
    ->ArgsProduct({{1000000, 2500000, 10000000}, {0}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Listing)
    ->ArgsProduct({{1000000, 2500000, 10000000}, {1}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
