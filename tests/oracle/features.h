// Construct families the generator can leave out, one switch each, so that a
// run can steer clear of a fault until it is mended.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace oracle {

class Features {
 public:
  /// Every family, in the order `--list-families` prints them.
  static const std::vector<std::string>& All();

  /// Disables a comma-separated list of families; false (and `bad` set) for
  /// an unknown name.
  bool Disable(const std::string& list, std::string& bad);
  bool On(const std::string& family) const { return !disabled_.count(family); }

 private:
  std::set<std::string> disabled_;
};

}  // namespace oracle
