#include "case_table.h"

#include <cstddef>

namespace oracle {

namespace {

using Rows = std::vector<std::string>;

Rows Product(const Rows& a, const Rows& b) {
  Rows rows;
  for (const std::string& x : a)
    for (const std::string& y : b)
      rows.push_back(x + y);
  return rows;
}

Rows Union(Rows a, const Rows& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Reads one operand at `at`; false at a malformed form.
bool Build(const std::string& prefix, std::size_t& at, CaseTable& table) {
  if (at >= prefix.size())
    return false;
  char c = prefix[at++];
  if (c == '.') {
    table = {{"T"}, {"F"}};
    return true;
  }
  if (c == 'N') {
    if (!Build(prefix, at, table))
      return false;
    std::swap(table.trueRows, table.falseRows);
    return true;
  }
  if (c != 'A' && c != 'O')
    return false;
  CaseTable a, b;
  if (!Build(prefix, at, a) || !Build(prefix, at, b))
    return false;
  // the right operand's width in X: the rows where it is not evaluated
  Rows skipped = {std::string(b.trueRows.front().size(), 'X')};
  if (c == 'A') {
    table.trueRows = Product(a.trueRows, b.trueRows);
    table.falseRows = Union(Product(a.trueRows, b.falseRows), Product(a.falseRows, skipped));
  } else {
    table.trueRows = Union(Product(a.trueRows, skipped), Product(a.falseRows, b.trueRows));
    table.falseRows = Product(a.falseRows, b.falseRows);
  }
  return true;
}

}  // namespace

bool BuildCaseTable(const std::string& prefix, CaseTable& table) {
  std::size_t at = 0;
  return Build(prefix, at, table) && at == prefix.size();
}

}  // namespace oracle
