// Pieces shared by the HTML pages.
#include "report/html_parts.h"

namespace report::html {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}
QString Text(std::string_view text) { return Text(std::string(text)); }

QString Page(const QString& title, const QString& body) {
  return QStringLiteral(
             "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
             "<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n%2<script src=\"report.js\"></script>\n"
             "</body>\n</html>\n")
      .arg(title, body);
}

QString StateClass(HitState state) {
  switch (state) {
    case HitState::kCovered: return QStringLiteral("covered");
    case HitState::kPartly: return QStringLiteral("partly");
    case HitState::kNever: return QStringLiteral("never");
  }
  return {};
}

namespace {

QString RowName(const DecisionItem& decision, std::uint32_t row) {
  return decision.forced ? QString::fromLatin1(CombinationText(row, decision.width).c_str())
                         : QStringLiteral("row %1").arg(row);
}

}  // namespace

QString DecisionTable(const DecisionItem& decision, const std::vector<QString>& labels) {
  const auto label = [&](std::size_t k) {
    return k < labels.size() ? labels[k] : Text(decision.conditions[k].condition);
  };
  QString html = QStringLiteral("<table class=\"decision %1\">\n<caption>%2decision at line %3: %4 of %5 %6 seen"
                                "</caption>\n<tr><th>row</th>")
                     .arg(StateClass(decision.State()), decision.forced ? "forced " : "")
                     .arg(decision.first)
                     .arg(decision.observed)
                     .arg(decision.combinations)
                     .arg(decision.forced ? "combinations" : "rows");
  for (std::size_t k = 0; k < decision.conditions.size(); ++k) html += "<th>" + label(k) + "</th>";
  html += "<th>value</th><th>count</th></tr>\n";
  for (const RowItem& row : decision.rows) {
    html += QStringLiteral("<tr class=\"%1\"><td>%2</td>")
                .arg(row.count > 0 ? "covered" : "never")
                .arg(decision.forced ? QString() : QString::number(row.branch - decision.id));
    for (const char c : row.text) html += QStringLiteral("<td>%1</td>").arg(QChar::fromLatin1(c));
    html += QStringLiteral("<td>%1</td><td>%2</td></tr>\n").arg(row.value ? "T" : "F").arg(row.count);
  }
  html += "</table>\n<table class=\"mcdc\">\n<tr><th>condition</th><th>independence</th><th>pair</th></tr>\n";
  for (std::size_t k = 0; k < decision.conditions.size(); ++k) {
    const IndependenceItem& condition = decision.conditions[k];
    QString pairs;
    if (condition.shownBy) {
      pairs = RowName(decision, condition.shownBy->trueRow) + " and " + RowName(decision, condition.shownBy->falseRow);
    } else {
      for (const output::RowPair& pair : condition.pairs) {
        pairs += (pairs.isEmpty() ? "needs " : " or ") + RowName(decision, pair.trueRow) + " and " +
                 RowName(decision, pair.falseRow);
      }
    }
    html += QStringLiteral("<tr class=\"%1\"><td>%2</td><td>%3</td><td>%4</td></tr>\n")
                .arg(condition.shownBy ? "covered" : "never", label(k),
                     condition.shownBy ? "shown" : "not shown", pairs);
  }
  return html + "</table>\n";
}

}  // namespace report::html
