// The case table of a short-circuit decision, built from its prefix form
// ("A" and, "O" or, "N" not, "." a basic condition) by the definition: the
// rows it can be evaluated by, over T, F and X (not evaluated), true rows
// first.
#pragma once

#include <string>
#include <vector>

namespace oracle {

struct CaseTable {
  std::vector<std::string> trueRows, falseRows;
};

/// The table of `prefix`; false when the prefix form is malformed.
bool BuildCaseTable(const std::string& prefix, CaseTable& table);

}  // namespace oracle
