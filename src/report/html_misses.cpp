// The missed branches of a file, a row per line, so that a long file's
// misses are found without scrolling through its source.
#include "report/html_parts.h"

#include <QStringList>

#include <algorithm>
#include <unordered_map>

namespace report::html {
namespace {

struct Miss {
  std::uint32_t line = 0;
  std::size_t function = 0;
  QString what;
};

void AddBranches(const FunctionReport& function, std::size_t index, std::vector<Miss>& misses) {
  for (const BranchItem& item : function.branches) {
    if (item.count > 0 || item.Excluded()) continue;
    misses.push_back({item.first, index, Text(CategoryName(item.category)) + ": " + Text(item.label)});
  }
  for (const LoopItem& loop : function.loops) {
    if (loop.Excluded()) continue;
    QStringList never;
    for (const LoopBranch& branch : loop.branches) {
      if (branch.count == 0) never << Text(branch.label);
    }
    if (never.isEmpty()) continue;
    misses.push_back({loop.first, index, "loop " + Text(loop.path) + ": " + never.join(", ") + " iterations never ran"});
  }
}

void AddConditions(const FunctionReport& function, std::size_t index, const ListingView* view,
                   std::vector<Miss>& misses) {
  for (const ConditionItem& item : function.conditions) {
    if (item.Excluded() || (item.trueCount > 0 && (item.isCase || item.falseCount > 0))) continue;
    const QString label = ConditionLabel(view, item.id, item.first, item.text);
    const QString what = item.isCase                               ? "case " + label + " never ran"
                         : item.trueCount == 0 && item.falseCount == 0 ? label + " never evaluated"
                         : item.trueCount == 0                        ? label + " never true"
                                                                      : label + " never false";
    misses.push_back({item.first, index, what});
  }
  std::unordered_map<std::uint32_t, const ConditionItem*> byId;
  for (const ConditionItem& item : function.conditions) byId.emplace(item.id, &item);
  for (const DecisionItem& decision : function.decisions) {
    if (decision.Excluded() || decision.State() == HitState::kCovered) continue;
    QStringList hidden;
    for (std::size_t k = 0; k < decision.conditions.size(); ++k) {
      if (decision.conditions[k].shownBy) continue;
      const auto found = k < decision.operands.size() ? byId.find(decision.operands[k]) : byId.end();
      hidden << (found == byId.end()
                     ? Text(decision.conditions[k].condition)
                     : ConditionLabel(view, found->second->id, found->second->first, found->second->text));
    }
    QString what = QStringLiteral("decision: %1 of %2 %3 seen")
                       .arg(N(decision.observed), N(decision.combinations),
                            decision.forced ? QStringLiteral("combinations") : QStringLiteral("rows"));
    if (!hidden.isEmpty()) what += "; independence of " + hidden.join(", ") + " not shown";
    misses.push_back({decision.first, index, what});
  }
}

}  // namespace

QString MissesSection(const FileReport& file, const ListingView* view) {
  std::vector<Miss> misses;
  for (std::size_t f = 0; f < file.functions.size(); ++f) {
    AddBranches(file.functions[f], f, misses);
    AddConditions(file.functions[f], f, view, misses);
  }
  QString html = QStringLiteral("<h2>Missed branches</h2>\n");
  if (misses.empty()) return html + "<p class=\"misses\">None: every branch ran.</p>\n";
  std::stable_sort(misses.begin(), misses.end(), [](const Miss& a, const Miss& b) { return a.line < b.line; });
  html += "<table class=\"misses sortable\" id=\"misses\">\n<thead><tr><th>line</th><th>function</th><th>never ran"
          "</th></tr></thead>\n<tbody>\n";
  for (std::size_t i = 0; i < misses.size();) {
    const Miss& first = misses[i];
    QStringList what;
    for (; i < misses.size() && misses[i].line == first.line && misses[i].function == first.function; ++i) {
      what << misses[i].what;
    }
    const QString anchor = view ? LineAnchor(*view, first.line) : QString();
    const QString line = anchor.isEmpty() ? N(first.line)
                                          : QStringLiteral("<a href=\"#%1\">%2</a>").arg(anchor, N(first.line));
    html += QStringLiteral("<tr><td data-v=\"%1\">%2</td><td>%3</td><td class=\"what\">%4</td></tr>\n")
                .arg(N(first.line), line, Text(file.functions[first.function].name), what.join("; "));
  }
  return html + "</tbody>\n</table>\n";
}

}  // namespace report::html
