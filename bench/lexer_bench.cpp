// Tokenising generated preprocessed C files of 2.5, 5 and 10 MB: the time per
// byte stays the same, and 10 MB takes well under half a second.
#include "frontend/front_end.h"
#include "frontend/lexer.h"
#include "support/name_table.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Functions over a vocabulary of a few thousand names, with comments,
// literals, line directives and pragmas, as a preprocessor writes them.
std::string GenerateSource(std::size_t size) {
  std::mt19937 random(42);
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("name_" + std::to_string(i * 7919 % 100000));
  std::string text = "#pragma quorb accept \"__near\"\n";
  for (int function = 0; text.size() < size; ++function) {
    if (function % 20 == 0) text += "# " + std::to_string(function) + " \"/usr/include/h" + std::to_string(function % 50) + ".h\"\n";
    const std::string& name = names[random() % names.size()];
    text += "static int " + name + "(int a, char *b)\n{\n";
    for (int statement = 0; statement < 12; ++statement) {
      const std::string& left = names[random() % names.size()];
      const std::string& right = names[random() % names.size()];
      text += "\tif (" + left + " >= 0x" + std::to_string(random() % 4096) + " && b[" + std::to_string(statement) +
              "] != '\\n') { " + right + " += 1.5e3; } /* note */\n";
      text += "\tprintf(\"%d: value\\n\", " + left + "->field++);\n";
    }
    text += "\treturn a;\n}\n";
  }
  return text;
}

void BM_Tokenise(benchmark::State& state) {
  const std::string text = GenerateSource(static_cast<std::size_t>(state.range(0)));
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::size_t tokens = 0;
  for (auto _ : state) {
    std::rewind(file);
    support::NameTable names;
    const support::NameTableScope namesBinding(names);
    frontend::FrontEnd frontEnd;
    const frontend::FrontEndScope binding(frontEnd);
    frontend::StartLexing(file, "/src/bench.c", false, nullptr);
    tokens = 0;
    while (frontend::NextToken() != 0) ++tokens;
  }
  std::fclose(file);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["tokens"] = static_cast<double>(tokens);
}

BENCHMARK(BM_Tokenise)->Arg(2500000)->Arg(5000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
