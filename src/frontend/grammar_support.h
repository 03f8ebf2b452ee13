// What the grammar's actions need beyond tree building: the token feed, the
// syntax error report with its tolerated anachronisms, and the per-parse
// state.
#pragma once

#include "frontend/syntax_tree.h"

#include <cstdint>

namespace frontend {

/// The four constructs that are accepted with a warning instead of an error.
enum class Anachronism { None, Conditional, Label, Case, Default };

struct ParserState {
  Anachronism armed = Anachronism::None;
  std::uint32_t errorCount = 0;
  int lookaheadCode = 0;  // code of the token last read
  TokenValue lookahead{};
  TreeNode* root = nullptr;
};

void ResetParserState();

/// The lexer's next token for the grammar.
int NextGrammarToken(TokenValue* value);
/// The token read last (the lookahead of the rule being reduced).
const TokenValue& LookaheadToken();

/// Reports a syntax error (or stack exhaustion) at the current token; an
/// armed anachronism whose token is the current one is only a warning.
void ReportSyntaxError(const char* parserMessage);

void ArmAnachronism(Anachronism kind);
void DisarmAnachronism();

/// Builds the root from the external declarations.
void FinishTranslationUnit(TreeNode* declarations);

/// Closes the scope of a for statement; statics declared there are ignored
/// with a warning.
void CloseForScope(const TokenValue& forToken);

/// sizeof of an expression; "sizeof (x)" ends at its ")".
TreeNode* MakeSizeofExpression(const TokenValue& sizeofToken, TreeNode* operand);

}  // namespace frontend
