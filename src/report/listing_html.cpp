// The annotated source as HTML.
//
// One table row per source line: number, branches run of branches counted,
// and the code with a mark per branch (a letter for its kind, its count in
// the tooltip). The line's class is its state. A macro whose expansion hides
// branches is underlined; a click shows the expansion in a row below. A
// condition is underlined in the colour of its state; a click opens its
// popup: the basic condition's true and false branches, or the decision's
// case table, the rows seen and the pairs that show independence; a click
// on a loop's mark opens the popup that names its branches. Popups are
// hidden blocks after the table, placed by a few lines of inline script.
#include "report/html_parts.h"
#include "report/listing_view.h"
#include "report/rik_markup.h"

#include <QStringList>

namespace report::html {
namespace {

QString MarkLetter(const ListedBranch& branch) {
  switch (branch.sum) {
    case 0: return QStringLiteral("F");
    case 1: return QStringLiteral("X");
    case 10: return QStringLiteral("C");
    case 20: return QStringLiteral("B");
    case 21: return QStringLiteral("I");
    case 22: return QStringLiteral("L");
    default: return QStringLiteral("K");
  }
}

QString RunsText(std::uint64_t count) {
  return count == 0 ? QStringLiteral("never run") : count == 1 ? QStringLiteral("run once")
                                                                : QStringLiteral("run %1 times").arg(count);
}

QString Classes(const ListedPiece& piece, const ListingView& view) {
  QStringList classes;
  if (piece.comment) classes << "comment";
  if (piece.popup >= 0) {
    const auto state = view.popups[static_cast<std::size_t>(piece.popup)].tally.State();
    classes << "cond" << (state ? StateClass(*state) : QStringLiteral("none"));
  }
  if (piece.alternative >= 0) {
    const auto state = view.alternatives[static_cast<std::size_t>(piece.alternative)].tally.State();
    classes << "alt" << (state ? StateClass(*state) : QStringLiteral("none"));
  }
  if (piece.branch >= 0) {
    classes << "br" << (view.branches[static_cast<std::size_t>(piece.branch)].hit ? "covered" : "never");
  }
  return classes.join(' ');
}

QString PieceHtml(const ListedPiece& piece, const ListingView& view) {
  if (piece.unreachable) return QStringLiteral("<span class=\"mark unreachable\" title=\"code unreachable\">U</span>");
  if (piece.mark >= 0) {
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.mark)];
    const QString opens = piece.opens < 0 ? QString() : QStringLiteral(" data-pop=\"%1\"").arg(piece.opens);
    return QStringLiteral("<span class=\"mark %1\" data-sum=\"%2\" data-id=\"%3\"%7 title=\"%4: %5\">%6</span>")
        .arg(branch.hit ? "covered" : "never", N(branch.sum), N(branch.id), Text(branch.label), RunsText(branch.count),
             MarkLetter(branch), opens);
  }
  const QString classes = Classes(piece, view);
  QString attributes;
  if (!classes.isEmpty()) attributes += " class=\"" + classes + "\"";
  if (piece.popup >= 0) attributes += QStringLiteral(" data-pop=\"%1\"").arg(piece.popup);
  if (piece.alternative >= 0) attributes += QStringLiteral(" data-alt=\"%1\"").arg(piece.alternative);
  if (piece.branch >= 0) {
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.branch)];
    attributes += " title=\"" + Text(branch.label) + ": " + RunsText(branch.count) + "\"";
  }
  if (attributes.isEmpty()) return Text(piece.text);
  return "<span" + attributes + ">" + Text(piece.text) + "</span>";
}

QString PiecesHtml(const std::vector<ListedPiece>& pieces, const ListingView& view) {
  QString html;
  for (const ListedPiece& piece : pieces) html += PieceHtml(piece, view);
  return html;
}

QString LineRow(const ListedLine& line, const ListingView& view) {
  const auto state = line.tally.State();
  QString row = QStringLiteral("<tr class=\"line%1\" id=\"L%2\"%3><td class=\"number\">%2</td><td class=\"tally\">%4</td>"
                               "<td class=\"code\">%5</td></tr>\n")
                    .arg(state ? " " + StateClass(*state) : QString(), N(line.number),
                         line.function.empty() ? QString() : " data-function=\"" + Text(line.function) + "\"",
                         line.tally.total == 0 ? QString() : N(line.tally.hit) + "/" + N(line.tally.total),
                         PiecesHtml(line.pieces, view));
  for (const int index : line.alternatives) {
    const ListedAlternative& alternative = view.alternatives[static_cast<std::size_t>(index)];
    row += QStringLiteral("<tr class=\"expansion\" id=\"alt-%1\" hidden><td></td><td></td><td class=\"code\">%2</td></tr>\n")
               .arg(N(index), PiecesHtml(alternative.expansion, view));
  }
  return row;
}

QString PopupHtml(const ListedPopup& popup, std::size_t index, const ListingView& view) {
  QString html = QStringLiteral("<div class=\"popup\" id=\"pop-%1\" hidden>").arg(index);
  if (popup.decision) return html + DecisionTable(*popup.decision) + "</div>\n";
  return html + "<pre>" + PiecesHtml(popup.body, view).trimmed() + "</pre></div>\n";
}

}  // namespace

QString ListingSection(const FileReport& file) {
  if (file.listing.empty()) return {};
  RikListing listing;
  std::string error;
  std::size_t offset = 0;
  // The reader checked the listing when it read the FDC file.
  if (!ParseRikListing(file.listing, listing, error, offset)) return {};
  const ListingView view = BuildListingView(listing, file);
  QString html = "<h2>Source</h2>\n<table class=\"source\" id=\"source\">\n";
  for (const ListedLine& line : view.lines) html += LineRow(line, view);
  html += "</table>\n<div id=\"popups\">\n";
  for (std::size_t i = 0; i < view.popups.size(); ++i) html += PopupHtml(view.popups[i], i, view);
  return html + "</div>\n<script>" + kListingScript + "</script>\n";
}

// A click on a macro shows or hides its expansion; a click on a condition
// opens its popup below it; any other click closes the popups.
const char* const kListingScript =
    "document.addEventListener('click',function(e){"
    "var t=e.target.closest?e.target.closest('[data-alt],[data-pop]'):null;"
    "document.querySelectorAll('.popup').forEach(function(p){if(!p.contains(e.target))p.hidden=true;});"
    "if(!t)return;"
    "if(t.dataset.alt){var x=document.getElementById('alt-'+t.dataset.alt);x.hidden=!x.hidden;}"
    "if(t.dataset.pop){var p=document.getElementById('pop-'+t.dataset.pop),r=t.getBoundingClientRect();"
    "p.style.left=(r.left+window.scrollX)+'px';p.style.top=(r.bottom+window.scrollY+2)+'px';p.hidden=false;}"
    "});";

const char* const kListingStyle =
    "table.source{border:none;font-family:monospace;font-size:90%}\n"
    "table.source td{border:none;padding:0 0.5em;white-space:pre;vertical-align:top}\n"
    "table.source td.number,table.source td.tally{color:#777;text-align:right}\n"
    "tr.expansion td.code{background:#f4f4ff;border-left:3px solid #99c}\n"
    ".mark{display:inline-block;font-size:70%;font-weight:bold;padding:0 0.2em;margin:0 0.1em;border-radius:0.3em;"
    "vertical-align:super;line-height:1}\n"
    ".mark.covered{background:#4caf50;color:#fff}.mark.never{background:#d9534f;color:#fff}"
    ".mark.unreachable{background:#999;color:#fff}.mark[data-pop]{cursor:pointer}\n"
    ".cond{cursor:pointer;text-decoration:underline 2px}.cond.covered{text-decoration-color:#4caf50}"
    ".cond.partly{text-decoration-color:#e0b000}.cond.never{text-decoration-color:#d9534f}\n"
    ".alt{cursor:pointer;border-bottom:1px dashed #66a}.alt.covered{background:#e6f4e3}"
    ".alt.partly{background:#fcf3cf}.alt.never{background:#f8d7da}\n"
    ".br.covered{color:#2e7d32;font-weight:bold}.br.never{color:#c62828;font-weight:bold}\n"
    ".comment{color:#777}\n"
    ".popup{position:absolute;background:#fff;border:1px solid #888;box-shadow:2px 2px 6px #aaa;padding:0.4em;"
    "z-index:10;font-size:90%}\n"
    ".popup pre{margin:0}\n";

}  // namespace report::html
