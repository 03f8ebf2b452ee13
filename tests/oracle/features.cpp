#include "features.h"

#include <algorithm>
#include <sstream>

namespace oracle {

const std::vector<std::string>& Features::All() {
  static const std::vector<std::string> families = {
      // forms known to be mis-instrumented at the time of writing
      "bare-switch-label",  // switch (x) case 1: x += 10;
      "glued-cases",        // case 3:case 4:
      "switch-decision",    // switch (a || b)
      // everything else the generator writes beyond plain statements
      "pure-decisions", "ternary", "goto", "exit", "braceless", "const-conditions", "declarations",
  };
  return families;
}

bool Features::Disable(const std::string& list, std::string& bad) {
  std::istringstream in(list);
  std::string name;
  while (std::getline(in, name, ',')) {
    if (name.empty())
      continue;
    if (std::find(All().begin(), All().end(), name) == All().end()) {
      bad = name;
      return false;
    }
    disabled_.insert(name);
  }
  return true;
}

}  // namespace oracle
