// Exits at return statements: the procedure exit branch, dumps, end of
// execution in the main function and, in traced functions, the tracing exit
// in the form the return's expression and the function's type allow.
#pragma once

#include <string>

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Instruments one return statement of the current function.
void InstrReturn(const frontend::TreeNode* returnStatement);

/// How the tracing exit wraps a return with an expression.
enum class ReturnForm { Simple, Integral, Void, Typed };

struct ReturnShape {
  ReturnForm form;
  std::string typeText;   // the typed form's type
  bool functionPointer;   // the typed form's "F" variant
};

/// The form for a return of `expression` (EMPTY when absent) in the
/// function whose header is given.
ReturnShape ChooseReturnForm(const frontend::TreeNode* header, const frontend::TreeNode* expression,
                             bool beforeReturnExpression);

}  // namespace instrument
