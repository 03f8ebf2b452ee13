// The C parser: ParseFile reads one preprocessed file (the definition file,
// then the source file) into the syntax tree, maintaining the typedef-name
// scopes the lexer consults and the variable lists of memory profiling.
#pragma once

#include <cstdint>
#include <string>

namespace support {
struct NameList;
}  // namespace support

namespace frontend {

struct TreeNode;

/// Parses the file; in definition mode the tree is discarded and the tokens
/// count as read with instrumentation stopped. Returns the number of syntax
/// errors (at least 1 when the parse stopped early); an unopenable file is
/// fatal.
int ParseFile(const std::string& path, bool definitionMode, TreeNode** rootOut,
              support::NameList* noInstrDirList, const support::NameList* noInspectDirPrefixes);

/// Empties the front end's process-wide lists before the first parse.
void ResetFrontEnd();

/// Releases the front end's lists and tables at the end of the run.
void ReleaseFrontEnd();

}  // namespace frontend
