// program_generator [--disable=family,...] [--list-families] <seed> <out.c> <out.truth>
//
// Writes a random, terminating C program that counts its own branches, and
// the manifest mapping each branch record quorbcc1 should write to the
// program's counters (see generator.h).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "generator.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

int Usage() {
  std::cerr << "usage: program_generator [--disable=family,...] [--list-families] <seed> <out.c> <out.truth>\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  oracle::Features features;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--list-families") {
      for (const std::string& family : oracle::Features::All())
        std::cout << family << '\n';
      return 0;
    }
    if (arg.rfind("--disable=", 0) == 0) {
      std::string bad;
      if (!features.Disable(arg.substr(10), bad)) {
        std::cerr << "program_generator: unknown family " << bad << '\n';
        return 2;
      }
      continue;
    }
    positional.push_back(arg);
  }
  if (positional.size() != 3)
    return Usage();
  char* end = nullptr;
  unsigned long long seed = std::strtoull(positional[0].c_str(), &end, 10);
  if (*end)
    return Usage();
  oracle::Generator generator(seed, features);
  generator.Generate();
  if (!WriteFile(positional[1], generator.ProgramText()) || !WriteFile(positional[2], generator.ManifestText())) {
    std::cerr << "program_generator: cannot write the output files\n";
    return 1;
  }
  return 0;
}
