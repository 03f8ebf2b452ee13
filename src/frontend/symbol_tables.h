// Typedef-name scopes and the variable lists of memory profiling.
//
// A name is a typedef name while its kTypedefName flag is set; the lexer
// reads the flag to tell TYPEDEF_NAME from IDENTIFIER. Declarations set and
// clear it as they come into and go out of scope: a block records which
// typedef names it hid (restored at its end) and which names it declared
// (cleared at its end), together with their former referenced bit.
#pragma once

#include "frontend/node_kind.h"
#include "support/name_table.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace frontend {

struct TreeNode;

/// What the current declaration has said so far.
enum class StorageClass { None, Typedef, Extern, Static, Auto, Register };

/// The declaration being parsed. Its first type specifier is copied, not
/// referenced: type names inside statements are freed after use.
struct DeclarationState {
  StorageClass storage = StorageClass::None;
  bool typeNoted = false;
  NodeKind typeKind = NodeKind::NONE;
  support::NameEntry* typeName = nullptr;  // the typedef name, for TYPEDEF_NAME
};

struct Scope {
  support::NameList restore;   // typedef names hidden in this scope
  support::NameList declared;  // names declared in this scope
  support::NameList statics;   // static variables declared in this scope
  std::vector<std::pair<support::NameEntry*, bool>> formerReferenced;
  DeclarationState enclosing;  // declaration state of the enclosing construct
};

struct SymbolState {
  DeclarationState declaration;
  std::vector<DeclarationState> savedDeclarations;  // around parameter lists and struct bodies
  std::vector<Scope> scopes;
  support::NameList fileTypedefs;
  support::NameList parameterTypedefs;  // parameter names that were typedef names
  support::NameList fileVariables;      // file-scope variables memory profiling inspects
  const support::NameList* noInspectDirPrefixes = nullptr;
  bool skipExterns = false;  // "extern" carries the not-to-inspect bit
};


/// Declares the name of one declarator under the current declaration state.
void DeclareName(support::NameEntry* name, const TreeNode* declarator);

/// Drops from the file-scope variables those this file only declares
/// (extern declarations never defined here): memory profiling takes their
/// addresses, and a variable defined nowhere would not link.
void KeepDefinedFileVariables(SymbolState& symbols);

/// Notes a parameter's name; a former typedef name is hidden in the body.
void CollectParameterName(support::NameEntry* name);
void ForgetParameterNames();

/// The current declaration state is saved and a fresh one begins.
void SaveDeclaration();
void RestoreDeclaration();
void ResetDeclaration();

void OpenScope();
/// Ends the innermost scope and returns its referenced static variables
/// (none when it had none).
support::NameList* CloseScope();

/// Records the declaration's first type specifier.
void NoteTypeSpecifier(const TreeNode* specifier);

/// The declared name of a declarator (its IDENTIFIER leaf), or none.
support::NameEntry* DeclaratorName(const TreeNode* declarator);

/// Clears the typedef bits of the definition file's typedef names.
void ForgetFileTypedefs(SymbolState& symbols);

}  // namespace frontend
