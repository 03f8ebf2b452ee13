// Parsing preprocessed files of 2.5, 5 and 10 MB made of copies of the
// header program (gcc -E output of the C library's headers and a body of
// C99 and GNU forms), each copy with its functions renamed: the time per
// byte stays the same, and 10 MB takes well under a second.
#include "generated_source.h"

#include "frontend/front_end.h"
#include "frontend/parser.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const std::string kSourceDir = QUORB_SOURCE_DIR;

// One run: the definition file, then the source, as quorbcc1 parses them.
int ParseOnce(const std::string& definition, const std::string& source) {
  support::NameTable names;
  const support::NameTableScope binding(names);
  support::NameList noInstrDirs;
  frontend::FrontEnd frontEnd;
  int errors = frontend::ParseFile(frontEnd, definition, true, nullptr, &noInstrDirs, nullptr);
  frontend::TreeNode* root = nullptr;
  errors += frontend::ParseFile(frontEnd, source, false, &root, &noInstrDirs, nullptr);
  return errors;
}

void BM_Parse(benchmark::State& state) {
  const std::string text = bench::GenerateHeaderCopies(kSourceDir + "/tests/parse/headers_program.c", static_cast<std::size_t>(state.range(0)));
  const std::string path = "/tmp/quorb_parser_bench_" + std::to_string(state.range(0)) + ".i";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  const std::string definition = kSourceDir + "/tdp/gcc/ana/gcc.def";
  int errors = 0;
  for (auto _ : state) errors = ParseOnce(definition, path);
  std::remove(path.c_str());
  if (text.empty() || errors != 0) state.SkipWithError("the generated file did not parse cleanly");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_Parse)->Arg(2500000)->Arg(5000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("parser_bench"));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
