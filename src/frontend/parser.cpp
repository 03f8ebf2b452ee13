// ParseFile runs the grammar over one file. The definition file only primes
// the typedef names and pragma settings; its tree is discarded. The source
// file's tree is returned with the main source file recorded at its end.
#include "frontend/parser.h"

#include "frontend/front_end.h"
#include "frontend/grammar_support.h"
#include "frontend/lexer.h"
#include "frontend/symbol_tables.h"
#include "frontend/syntax_tree.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include "support/file_utils.h"

#include <cstdio>
#include <memory>

#include <sys/stat.h>

int qcparse();

namespace frontend {
namespace {

void PrepareSymbols(bool definitionMode, const support::NameList* noInspectDirPrefixes) {
  SymbolState& symbols = Symbols();
  symbols.noInspectDirPrefixes = noInspectDirPrefixes;
  symbols.scopes.clear();
  symbols.savedDeclarations.clear();
  ResetDeclaration();
  ForgetParameterNames();
  if (definitionMode) {
    ForgetFileTypedefs(symbols);
    return;
  }
  const support::NameEntry* externWord = support::InternName("extern");
  symbols.skipExterns = (externWord->flags & support::kNoInspectVariable) != 0;
}

}  // namespace

int ParseFile(FrontEnd& frontEnd, const std::string& path, bool definitionMode, TreeNode** rootOut,
              support::NameList* noInstrDirList, const support::NameList* noInspectDirPrefixes) {
  const FrontEndScope binding(frontEnd);
  ResetTreeBuilder();
  support::UniqueFile file(std::fopen(path.c_str(), "rb"));
  // A directory opens, but its first read fails: it cannot be an input file.
  struct stat status {};
  if (!file || fstat(fileno(file.get()), &status) != 0 || S_ISDIR(status.st_mode)) {
    support::DisplayFatalError(support::Translate("Fatal Error", "Cannot open input file %1", "%1 : the filename")
                                   .arg(support::FromLocal(path)));
  }
  StartLexing(file.get(), path, definitionMode, noInstrDirList);
  PrepareSymbols(definitionMode, noInspectDirPrefixes);
  ResetParserState();

  TreeNode* scratch = CreateNode(NodeKind::PARSE_SCRATCH, nullptr);
  const int result = qcparse();
  FinishLexing();

  ParserState& parser = Parser();
  TreeNode* root = parser.root;
  if (root && rootOut) {
    root->end.SetPlace(Lexer().currentFile, Lexer().currentDirectory);
    *rootOut = root;
  } else {
    FreeTree(root);
  }
  parser.root = nullptr;
  FreeTree(scratch);
  if (result != 0 && parser.errorCount == 0) return 1;
  return static_cast<int>(parser.errorCount);
}

}  // namespace frontend
