// Test-only tool: prints the token stream of a preprocessed C file, one token
// a line: code, logical file and line, physical line and column, spelling.
//   token_dump <file> [--definition]
#include "frontend/front_end.h"
#include "frontend/lexer.h"
#include "support/name_table.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: token_dump <file> [--definition]\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  if (!file) {
    std::perror(argv[1]);
    return 2;
  }
  const bool definition = argc > 2 && std::strcmp(argv[2], "--definition") == 0;
  support::NameTable names;
  const support::NameTableScope namesBinding(names);
  frontend::FrontEnd frontEnd;
  const frontend::FrontEndScope binding(frontEnd);
  support::NameList noInstrDirs;
  frontend::StartLexing(file, argv[1], definition, &noInstrDirs);
  for (int code = frontend::NextToken(); code != 0; code = frontend::NextToken()) {
    const frontend::TokenValue& value = frontend::CurrentToken();
    const frontend::TokenPosition& at = value.position;
    std::printf("%d\t%s%s:%u\t%u:%u\t%s%s\n", code, at.Directory() ? at.Directory()->text.c_str() : "",
                at.File() ? at.File()->text.c_str() : "", at.line, at.physical.line, at.physical.column,
                std::string(frontend::LastTokenText()).c_str(), at.instrStopped ? "\t(stopped)" : "");
  }
  frontend::FinishLexing();
  std::fclose(file);
  return 0;
}
