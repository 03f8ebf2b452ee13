// Internal interface between the directive scanner and the handlers of its
// forms (pragma forms, line directives). The public entry is ScanDirective
// in frontend/pragmas.h.
#pragma once

#include "frontend/directive_text.h"
#include "frontend/lexer.h"

#include <string>
#include <string_view>

namespace frontend {

/// One directive line being handled: where it started and its text from
/// its "#", newline included.
struct DirectiveContext {
  DirectiveOrigin origin;
  std::string_view text;
  ReferencePlace place;  // of the line, for messages

  /// The file and line reference of the line.
  std::string Reference() const { return ReferenceText(place); }
};

/// Scans one text as a directive line from its first "#".
int ScanDirectiveText(std::string_view text, const DirectiveOrigin& origin);

/// The forms after "#pragma quorb "; false when none matches the line.
bool HandleQuorbForm(DirectiveCursor cursor, const DirectiveContext& context, int& result);

/// A line directive after "#" and blanks; false when the line is none.
bool HandleLineDirective(DirectiveCursor cursor);
/// Escape processing of a line-directive file name.
std::string InterpretFileName(std::string_view raw);
/// Forgets the directory splits of file names seen so far.
void ResetLineDirectiveCache();

/// A User Warning whose only placeholder is the line's reference.
void WarnDirective(const char* text, const DirectiveContext& context);

}  // namespace frontend
