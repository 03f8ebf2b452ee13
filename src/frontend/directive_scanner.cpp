// The directive scanner: decides which rule a directive line falls under
// ("#pragma quorb" forms, line directives, other pragmas, other directives)
// and applies pragma and directive replacements. A replacement is re-scanned
// as a directive line of its own; a chain of replacements that comes back to
// a word already being replaced is cut with a warning, so that no
// replacement can recurse without end.
#include "frontend/directive_scanner.h"

#include "frontend/front_end.h"
#include "frontend/pragmas.h"
#include "support/messages.h"
#include "support/translate.h"

#include <QString>
#include <algorithm>

namespace frontend {
namespace {

constexpr std::size_t kMaxReplacementDepth = 32;

std::string LowerCased(std::string_view word) {
  std::string lowered(word);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

int Rescan(char family, const std::string& word, const std::string* replacement, const DirectiveContext& context) {
  if (!replacement) return 0;
  std::vector<std::string>& chain = Pragmas().activeReplacements;
  const std::string key = family + word;
  if (chain.size() >= kMaxReplacementDepth || std::find(chain.begin(), chain.end(), key) != chain.end()) {
    support::DisplayWarning(support::Translate("User Warning", "Replacement of %1 leads back to itself, line ignored : %2",
                                               "%1 : the replaced word, %2 : file and line reference")
                                .arg(support::FromLocal(word), support::FromLocal(context.Reference())));
    return 0;
  }
  chain.push_back(key);
  const std::string text = *replacement;  // the table may change while it is scanned
  const int result = ScanDirectiveText(text, context.origin);
  chain.pop_back();
  return result;
}

// The first identifier after the cursor, lower-cased, names the replacement.
std::optional<std::string> FirstWord(DirectiveCursor cursor) {
  SkipBlanks(cursor);
  const std::optional<std::string_view> word = ReadIdentifier(cursor);
  if (!word) return std::nullopt;
  return LowerCased(*word);
}

int ReplacePragma(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!HasPragmaReplacements()) return 0;
  const std::optional<std::string> word = FirstWord(cursor);
  return word ? Rescan('p', *word, PragmaReplacement(*word), context) : 0;
}

int ReplaceDirective(DirectiveCursor cursor, const DirectiveContext& context) {
  if (!HasDirectiveReplacements()) return 0;
  const std::optional<std::string> word = FirstWord(cursor);
  return word ? Rescan('d', *word, DirectiveReplacement(*word), context) : 0;
}

int ScanPragmaLine(DirectiveCursor cursor, const DirectiveContext& context) {
  DirectiveCursor family = cursor;
  if (!SkipBlanks(family) || !MatchKeyword(family, "quorb")) return ReplacePragma(cursor, context);
  int result = 0;
  DirectiveCursor form = family;
  if (SkipBlanks(form) && HandleQuorbForm(form, context, result)) return result;
  support::DisplayWarning(support::Translate("User Warning", "Unknown quorb pragma: %1 at %2",
                                             "%1 : the pragma, %2 : file and line reference")
                              .arg(support::FromLocal(LineWithoutNewline(context.text)),
                                   support::FromLocal(context.Reference())));
  return 0;
}

}  // namespace

void WarnDirective(const char* text, const DirectiveContext& context) {
  support::DisplayWarning(support::Translate("User Warning", text, "%1 : file and line reference")
                              .arg(support::FromLocal(context.Reference())));
}

int ScanDirectiveText(std::string_view text, const DirectiveOrigin& origin) {
  const std::size_t hash = text.find('#');
  if (hash == std::string_view::npos) {
    support::DisplayFatalError(support::Translate("Fatal Error", "Cannot find '#' in %1", "%1 : the string")
                                   .arg(support::FromLocal(text)));
  }
  std::string line(text.substr(hash));
  if (line.back() != '\n') line += '\n';
  const DirectiveContext context{origin, line, CurrentReferencePlace(origin.logicalLine)};
  DirectiveCursor cursor{line, 1};
  SkipBlanks(cursor);
  if (MatchKeyword(cursor, "pragma")) return ScanPragmaLine(cursor, context);
  if (HandleLineDirective(cursor)) return 0;
  return ReplaceDirective(cursor, context);
}

// Lines from the lexer start a fresh replacement chain: a directive read
// during an analysis pause is not part of the replacement that paused.
int ScanDirective(std::string text) {
  std::vector<std::string> outerChain = std::move(Pragmas().activeReplacements);
  Pragmas().activeReplacements.clear();
  const int result = ScanDirectiveText(text, Lexer().directive);
  Pragmas().activeReplacements = std::move(outerChain);
  return result;
}

}  // namespace frontend
