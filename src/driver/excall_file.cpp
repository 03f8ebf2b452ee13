// A name is a run of letters, digits, "_" and "$" that begins with a letter,
// a digit or "_"; anything else separates names (so a leading "$" is skipped).
#include "driver/excall_file.h"

#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include "support/file_utils.h"

#include <cctype>
#include <cstdio>
#include <memory>

namespace driver {
namespace {

bool StartsName(int c) { return std::isalnum(c) || c == '_'; }
bool ContinuesName(int c) { return StartsName(c) || c == '$'; }

}  // namespace

void ReadExcallFile(const std::string& path) {
  support::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    support::DisplayFatalError(support::Translate("Fatal Error", "Cannot open -EXCALL file %1", "%1 is the file name")
                                   .arg(support::FromLocal(path)));
  }
  unsigned count = 0;
  std::string name;
  int c = std::getc(file.get());
  while (c != EOF) {
    if (!StartsName(c)) {
      c = std::getc(file.get());
      continue;
    }
    name.clear();
    while (c != EOF && ContinuesName(c)) {
      name += static_cast<char>(c);
      c = std::getc(file.get());
    }
    support::InternName(name)->flags |= support::kExcludedCall;
    ++count;
  }
  support::DisplayInfo(support::Translate("User Warning", "%1 methods found in excall file", "%1 : the number")
                           .arg(count));
}

}  // namespace driver
