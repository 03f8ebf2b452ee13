// The C parser: ParseFile reads one preprocessed file (the definition file,
// then the source file) into a run's front end: the syntax tree, the
// typedef-name scopes the lexer consults, the variable lists of memory
// profiling and the tables the pragmas and line directives fill.
#pragma once

#include <cstdint>
#include <string>

namespace support {
struct NameList;
}  // namespace support

namespace frontend {

struct FrontEnd;
struct TreeNode;

/// Parses the file into the front end, bound to this thread meanwhile; in
/// definition mode the tree is discarded and the tokens count as read with
/// instrumentation stopped. Returns the number of syntax errors (at least 1
/// when the parse stopped early); an unopenable file is fatal.
int ParseFile(FrontEnd& frontEnd, const std::string& path, bool definitionMode, TreeNode** rootOut,
              support::NameList* noInstrDirList, const support::NameList* noInspectDirPrefixes);

}  // namespace frontend
