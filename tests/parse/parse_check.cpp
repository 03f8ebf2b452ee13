// Test-only tool: parses a definition file, then each source file, as a run
// does, and succeeds only when no parse showed an error or a warning.
//   parse_check <definition file> <source file>...
// Exit status: 0 clean, 1 a message was shown or a parse failed, 2 usage.
#include "frontend/front_end.h"
#include "frontend/parser.h"
#include "support/messages.h"
#include "support/name_table.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>

namespace {

// Each source is parsed after a fresh parse of the definition file, so that
// one source's typedef names cannot hide a fault in the next one.
bool ParseClean(const char* definition, const char* source) {
  const support::MessageCounts before = support::GetMessageCounts();
  support::NameTable names;
  const support::NameTableScope binding(names);
  support::NameList noInstrDirs;
  frontend::FrontEnd frontEnd;
  int errors = frontend::ParseFile(frontEnd, definition, true, nullptr, &noInstrDirs, nullptr);
  frontend::TreeNode* root = nullptr;
  if (errors == 0) errors = frontend::ParseFile(frontEnd, source, false, &root, &noInstrDirs, nullptr);
  const support::MessageCounts after = support::GetMessageCounts();
  const std::uint32_t shownErrors = after.errors - before.errors;
  const std::uint32_t shownWarnings = after.warnings - before.warnings;
  if (errors == 0 && shownErrors == 0 && shownWarnings == 0) return true;
  std::fprintf(stderr, "parse_check: %s: %d syntax error(s), %u error and %u warning message(s)\n", source, errors,
               shownErrors, shownWarnings);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: parse_check <definition file> <source file>...\n");
    return 2;
  }
  support::SetToolIdentity(QStringLiteral("Nivrak"), QStringLiteral("parse_check"));
  bool clean = true;
  for (int i = 2; i < argc; ++i) {
    clean = ParseClean(argv[1], argv[i]) && clean;
  }
  return clean ? 0 : 1;
}
