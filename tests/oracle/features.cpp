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
      "computed-goto",      // any label in a loop of a function with goto *p
      // everything else the generator writes beyond plain statements
      "pure-decisions", "ternary", "goto", "exit", "braceless", "const-conditions", "declarations",
      "duff",       // case labels inside a loop of their switch
      "goto-into",  // gotos into blocks and loops, labels right after jumps
      "labels",     // empty statements, labels before them
      "mixed-declarations",  // declarations between statements, shadowing, arrays, static, variable-length
      "statement-expressions",  // ({ ... }) holding decisions: no records inside
      "pointer-ternary",        // c ? (void *)0 : &g0, constant arms
      "clause-decisions",       // decisions in the first and third clauses of for
      "gnu",  // __real__/__imag__, __extension__, __typeof__
      "compound-literals",  // ((unsigned[2]){ a && b, c })[i]
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
