// count_oracle [--forced] <fdc file> <manifest> <program output> <results file>
//
// Checks that an instrumented build of a generated program recorded, branch
// by branch, what the program counted itself. Prints each mismatch; exit
// status 1 when there is one, 2 when an input cannot be read.
#include <iostream>
#include <string>
#include <vector>

#include "count_check.h"

namespace {

int Fail(const std::string& text) {
  std::cerr << "count_oracle: " << text << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool forced = !args.empty() && args[0] == "--forced";
  if (forced)
    args.erase(args.begin());
  if (args.size() != 4)
    return Fail("usage: count_oracle [--forced] <fdc file> <manifest> <program output> <results file>");
  report::FdcReadOutcome fdc = report::ReadFdcUnits(args[0]);
  if (!fdc.error.empty())
    return Fail(fdc.error);
  if (fdc.units.size() != 1)
    return Fail(args[0] + " holds " + std::to_string(fdc.units.size()) + " blocks, expected 1");
  std::vector<oracle::ManifestEntry> manifest;
  oracle::Truth truth;
  std::string error;
  if (!oracle::ReadManifest(args[1], manifest, error) || !oracle::ReadTruth(args[2], truth, error))
    return Fail(error);
  bool missing = false;
  report::ResultsReadOutcome results = report::ReadResults(args[3], missing);
  if (!results.error.empty())
    return Fail(results.error);
  oracle::CheckInput input{&fdc.units[0], &results.file, &manifest, &truth, forced};
  std::vector<std::string> problems = oracle::CheckCounts(input);
  for (const std::string& problem : problems)
    std::cout << problem << '\n';
  if (!problems.empty())
    std::cout << problems.size() << " mismatch(es)\n";
  return problems.empty() ? 0 : 1;
}
