// Conditions labelled by the source as written. The FDC records a
// condition's text after macro expansion, which may be unreadable
// ("(*((di)->n)) == '_' ? ..." for "d_check_char (di, '_')"); the listing
// carries the source line and which macro's expansion holds the condition.
#include "report/html_parts.h"

namespace report::html {
namespace {

std::string WithoutBlanks(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') kept += c;
  }
  return kept;
}

QString Trimmed(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed(); }

}  // namespace

QString ConditionLabel(const ListingView* view, std::uint32_t id, std::uint32_t line, const std::string& text) {
  if (!view || LineAnchor(*view, line).isEmpty()) return Text(text);
  const ListedLine& listed = view->lines[line - 1];
  const std::string written = LineText(listed);
  // The FDC prints the expression with its own spacing.
  if (WithoutBlanks(written).find(WithoutBlanks(text)) != std::string::npos) return Text(text);
  const auto alternative = view->conditionAlternatives.find(id);
  QString shown = alternative == view->conditionAlternatives.end()
                      ? QString()
                      : Trimmed(AlternativeText(listed, alternative->second));
  if (shown.isEmpty()) shown = Trimmed(written);
  if (shown.isEmpty()) return Text(text);
  return QStringLiteral("<span class=\"expanded\" title=\"expands to %1\">%2</span>")
      .arg(Text(text), shown.toHtmlEscaped());
}

}  // namespace report::html
