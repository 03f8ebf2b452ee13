// The groups of "#pragma quorb" forms; each returns false when the line is
// not one of its forms.
#pragma once

#include "frontend/directive_scanner.h"

namespace frontend {

/// Forms giving words a meaning (accept ... directive).
bool HandleWordForm(DirectiveCursor cursor, const DirectiveContext& context);
/// The special extension string and incl_std.
bool HandleExtensionForm(DirectiveCursor cursor, const DirectiveContext& context);
/// Switches, marks and insert records; result is the token the analysis
/// pause yields.
bool HandleSwitchForm(DirectiveCursor cursor, const DirectiveContext& context, int& result);

}  // namespace frontend
