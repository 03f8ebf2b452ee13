// The annotated source as HTML.
//
// One table row per source line, its id "L" and its number: number,
// branches run of branches counted, and the code with a mark per branch (a
// letter for its kind, its count in the tooltip). The row's class is the
// line's state. Rows carry no more attributes than that: a long file has
// thousands of them. A macro whose expansion hides
// branches is underlined; a click shows the expansion in a row below. A
// condition is underlined in the colour of its state; a click opens its
// popup: the basic condition's true and false branches, or the decision's
// case table, the rows seen and the pairs that show independence; a click
// on a loop's mark opens the popup that names its branches. Popups are
// hidden blocks after the table, placed by report.js.
#include "report/html_parts.h"
#include "report/html_source_lines.h"
#include "report/listing_view.h"
#include "report/rik_markup.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

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

struct Shown {
  const ListingView& view;
  CountUnit unit;
  const FileReport& file;
};

bool IsChanged(const FileReport& file, std::uint32_t line) {
  return std::binary_search(file.changedLines.begin(), file.changedLines.end(), line);
}

const ExclusionItem* ExclusionOf(const FileReport& file, std::uint32_t line) {
  for (const ExclusionItem& exclusion : file.exclusions) {
    if (line >= exclusion.first && line <= exclusion.last && exclusion.branches > 0) return &exclusion;
  }
  return nullptr;
}

// The row's classes: its state, "changed" on a line the change touches,
// "excluded" in a marker's lines (the reason is the row's tooltip).
QString RowAttributes(const ListedLine& line, const FileReport& file) {
  QStringList classes;
  if (const auto state = line.tally.State()) classes << StateClass(*state);
  if (IsChanged(file, line.number)) classes << "changed";
  const ExclusionItem* exclusion = ExclusionOf(file, line.number);
  if (exclusion) classes << "excluded";
  QString attributes;
  if (!classes.isEmpty()) attributes += " class=\"" + classes.join(' ') + "\"";
  if (exclusion) attributes += " title=\"excluded: " + Text(exclusion->reason) + "\"";
  return attributes;
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

QString PieceHtml(const ListedPiece& piece, const Shown& shown) {
  const ListingView& view = shown.view;
  if (piece.unreachable) return QStringLiteral("<span class=\"mark unreachable\" title=\"code unreachable\">U</span>");
  if (piece.mark >= 0) {
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.mark)];
    const QString opens = piece.opens < 0 ? QString() : QStringLiteral(" data-pop=\"%1\"").arg(piece.opens);
    return QStringLiteral("<span class=\"mark %1\"%2 title=\"%3: %4\">%5</span>")
        .arg(branch.hit ? "covered" : "never", opens, Text(branch.label), CountText(branch.count, shown.unit),
             MarkLetter(branch));
  }
  const QString classes = Classes(piece, view);
  QString attributes;
  if (!classes.isEmpty()) attributes += " class=\"" + classes + "\"";
  if (piece.popup >= 0) attributes += QStringLiteral(" data-pop=\"%1\"").arg(piece.popup);
  if (piece.alternative >= 0) attributes += QStringLiteral(" data-alt=\"%1\"").arg(piece.alternative);
  if (piece.branch >= 0) {
    const ListedBranch& branch = view.branches[static_cast<std::size_t>(piece.branch)];
    attributes += " title=\"" + Text(branch.label) + ": " + CountText(branch.count, shown.unit) + "\"";
  }
  if (attributes.isEmpty()) return Text(piece.text);
  return "<span" + attributes + ">" + Text(piece.text) + "</span>";
}

QString PiecesHtml(const std::vector<ListedPiece>& pieces, const Shown& shown) {
  QString html;
  for (const ListedPiece& piece : pieces) html += PieceHtml(piece, shown);
  return html;
}

QString LineRow(const ListedLine& line, const Shown& shown) {
  const ListingView& view = shown.view;
  QString row = QStringLiteral("<tr id=\"L%2\"%1%3><td>%2</td><td>%4</td><td>%5</td></tr>\n")
                    .arg(view.listedByLine ? QString() : RowAttributes(line, shown.file), N(line.number),
                         line.function.empty() ? QString() : " data-function=\"" + Text(line.function) + "\"",
                         line.tally.total == 0 ? QString() : N(line.tally.hit) + "/" + N(line.tally.total),
                         PiecesHtml(line.pieces, shown));
  for (const int index : line.alternatives) {
    const ListedAlternative& alternative = view.alternatives[static_cast<std::size_t>(index)];
    row += QStringLiteral("<tr class=\"expansion\" id=\"alt-%1\" hidden><td></td><td></td><td>%2</td></tr>\n")
               .arg(N(index), PiecesHtml(alternative.expansion, shown));
  }
  return row;
}

QString PopupHtml(const ListedPopup& popup, std::size_t index, const Shown& shown) {
  QString html = QStringLiteral("<div class=\"popup\" id=\"pop-%1\" hidden>").arg(index);
  if (popup.decision) return html + DecisionTable(*popup.decision) + "</div>\n";
  return html + "<pre>" + PiecesHtml(popup.body, shown).trimmed() + "</pre></div>\n";
}

}  // namespace

std::optional<ListingView> ViewOfListing(const FileReport& file, const std::string& root) {
  if (file.listing.empty()) return std::nullopt;
  RikListing listing;
  std::string error;
  std::size_t offset = 0;
  // The reader checked the listing when it read the FDC file.
  if (!ParseRikListing(file.listing, listing, error, offset)) return std::nullopt;
  ListingView view = BuildListingView(listing, file);
  if (!ListsBranchesByLine(view)) return view;
  const QString path = root.empty() ? QString::fromStdString(file.sourcePath)
                                    : QDir(QString::fromStdString(root)).filePath(QString::fromStdString(file.sourcePath));
  QFile source(path);
  std::optional<std::string> text;
  if (source.open(QIODevice::ReadOnly)) text = source.readAll().toStdString();
  return PlaceOnSource(std::move(view), text, file, path.toStdString());
}

QString LineAnchor(const ListingView& view, std::uint32_t line) {
  if (view.listedByLine || line == 0 || line > view.lines.size() || view.lines[line - 1].number != line) return {};
  return QStringLiteral("L%1").arg(line);
}

QString ListingSection(const ListingView& view, CountUnit unit, const FileReport& file) {
  const Shown shown{view, unit, file};
  QString html = "<h2>Source</h2>\n";
  if (!view.unplaced.empty()) html += "<p class=\"note\">" + Text(view.unplaced) + "</p>\n";
  html += "<p class=\"nav\"><button type=\"button\" id=\"previous-miss\" title=\"key p\">previous miss</button> "
          "<button type=\"button\" id=\"next-miss\" title=\"key n\">next miss</button> lines with a branch that "
          "never ran: keys n and p</p>\n<table class=\"source\" id=\"source\">\n";
  for (const ListedLine& line : view.lines) html += LineRow(line, shown);
  html += "</table>\n<div id=\"popups\">\n";
  for (std::size_t i = 0; i < view.popups.size(); ++i) html += PopupHtml(view.popups[i], i, shown);
  return html + "</div>\n";
}

}  // namespace report::html
