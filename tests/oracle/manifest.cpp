#include "manifest.h"

#include <fstream>
#include <sstream>

namespace oracle {

bool Truth::Evaluate(const std::string& sum, std::uint64_t& value) const {
  value = 0;
  if (sum == "0")
    return true;
  std::istringstream in(sum);
  std::string term;
  while (std::getline(in, term, '+')) {
    if (term.size() < 2 || term[0] != 'T')
      return false;
    char* end = nullptr;
    unsigned long k = std::strtoul(term.c_str() + 1, &end, 10);
    if (*end)
      return false;
    auto found = counters.find(static_cast<unsigned>(k));
    value += found == counters.end() ? 0 : found->second;
  }
  return true;
}

bool ReadManifest(const std::string& path, std::vector<ManifestEntry>& entries, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string text;
  std::size_t number = 0;
  while (std::getline(in, text)) {
    number++;
    std::istringstream words(text);
    ManifestEntry entry;
    entry.sourceLine = number;
    if (!(words >> entry.tag >> entry.line >> entry.function)) {
      error = path + ":" + std::to_string(number) + ": malformed line";
      return false;
    }
    std::string word;
    bool values = false;
    while (words >> word) {
      if (word == "=" && !values)
        values = true;
      else
        (values ? entry.values : entry.fields).push_back(word);
    }
    if (!values) {
      error = path + ":" + std::to_string(number) + ": no values";
      return false;
    }
    entries.push_back(std::move(entry));
  }
  return true;
}

bool ReadTruth(const std::string& path, Truth& truth, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream words(text);
    std::string kind;
    words >> kind;
    if (kind == "truth") {
      unsigned k = 0;
      std::uint64_t count = 0;
      if (!(words >> k >> count)) {
        error = "malformed truth line: " + text;
        return false;
      }
      truth.counters[k] = count;
    } else if (kind == "row") {
      unsigned decision = 0;
      char mode = 0;
      std::string row;
      std::uint64_t count = 0;
      if (!(words >> decision >> mode >> row >> count)) {
        error = "malformed row line: " + text;
        return false;
      }
      truth.rows[decision][mode][row] = count;
    }
  }
  return true;
}

}  // namespace oracle
