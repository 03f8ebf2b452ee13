#include "output/rik_registry.h"

#include "output/fdc_file.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <algorithm>

namespace output {
namespace {

bool Earlier(const frontend::SourcePosition& a, const frontend::SourcePosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

bool Usable(const std::optional<frontend::SourcePosition>& at) { return at && at->line != 0; }

void WarnNotMonotonic(FdcFile& file) {
  file.noListing = true;
  support::DisplayWarning(
      support::Translate("User Warning", "Lines added by a code generator, resulting #line are not monoton in source file %1",
                         "%1 : the source file")
          .arg(support::FromLocal(file.sourceName ? file.sourceName->text : "")));
}

// RikBefore's order, made total for the sort: an item without a usable
// position (line 0) is undecided against every other one there, which no
// sort may be given, so it sorts as if at the start of the file; items
// without a position come last. Of two items at one place, the smaller key
// comes first; with equal keys the one registered first for a positive key
// and last otherwise. The keys are copied out of the items, as two words
// each, so that the sort compares neighbouring memory.
struct RikSortKey {
  std::uint64_t place;  // line and column
  std::uint64_t rank;   // key, then registration order
  const RikItem* item;

  bool operator<(const RikSortKey& other) const {
    return place != other.place ? place < other.place : rank < other.rank;
  }
};

RikSortKey SortKeyOf(const RikItem& item) {
  const frontend::SourcePosition at = Usable(item.start) ? *item.start : frontend::SourcePosition{0, 0};
  const std::uint32_t key = static_cast<std::uint32_t>(item.orderKey) ^ 0x80000000u;
  const std::uint32_t tie = item.orderKey > 0 ? item.sequence : ~item.sequence;
  return {std::uint64_t{at.line} << 32 | at.column, std::uint64_t{key} << 32 | tie, &item};
}

// The items with a position, sorted, then those without one, sorted.
void SortRikItems(const std::deque<RikItem>& items, RikItemList& order) {
  std::vector<RikSortKey> keys;
  keys.reserve(items.size());
  for (const RikItem& item : items) {
    if (item.start) keys.push_back(SortKeyOf(item));
  }
  const auto placed = static_cast<std::ptrdiff_t>(keys.size());
  for (const RikItem& item : items) {
    if (!item.start) keys.push_back(SortKeyOf(item));
  }
  std::sort(keys.begin(), keys.begin() + placed);
  std::sort(keys.begin() + placed, keys.end());
  for (const RikSortKey& key : keys) order.push_back(key.item);
}

}  // namespace

bool RikBefore(const std::optional<frontend::SourcePosition>& a, std::int32_t aKey,
               const std::optional<frontend::SourcePosition>& b, std::int32_t bKey) {
  if (Usable(a) && Usable(b) && !(*a == *b)) return Earlier(*a, *b);
  if (a && !b) return true;
  const bool undecided = (!a && !b) || (a && b && (*a == *b || !Usable(a) || !Usable(b)));
  if (!undecided) return false;
  return aKey < bKey || (aKey == bKey && aKey > 0);
}

RikItem& AddRikItem(FdcFile& file, RikKind kind, RikPayload payload, std::int32_t orderKey, const RikPlace& place) {
  std::deque<RikItem>& items = file.rik.items;
  const std::uint32_t sequence = items.empty() ? 0 : items.back().sequence + 1;
  RikItem item{kind,          std::move(payload),  -orderKey, place.sourceLine, place.sourceEndLine,
               place.start, place.end, sequence};
  if (!items.empty() && file.rik.ordered) {
    const RikItem& last = items.back();
    file.rik.ordered = RikBefore(last.start, last.orderKey, item.start, item.orderKey);
  }
  items.push_back(std::move(item));
  return items.back();
}

void OrderRikItems(FdcFile& file) {
  RikItemList& order = file.rik.order;
  order.clear();
  order.reserve(file.rik.items.size());
  if (file.rik.ordered) {
    for (const RikItem& item : file.rik.items) order.push_back(&item);
  } else {
    SortRikItems(file.rik.items, order);
    file.rik.ordered = true;
  }
  if (file.noListing) return;
  std::uint32_t line = 0;
  for (const RikItem* item : order) {
    if (item->sourceLine < line) return WarnNotMonotonic(file);
    line = item->sourceLine;
  }
}

RikBranch MakeRikBranch(std::uint32_t id, std::int8_t sum) { return RikBranch{id, sum, {}}; }

RikDecision MakeRikDecision(std::vector<std::uint32_t> ids, std::uint32_t extra) {
  if (ids.empty()) support::DisplayInternalError(support::Translate("Internal Error", "Bad table in RikDecision"));
  const auto count = static_cast<std::int16_t>(ids.size());
  return RikDecision{std::move(ids), count, extra};
}

void AddBranchCouple(RikBranch* branch, std::uint32_t first, std::uint32_t second) {
  if (!branch) {
    support::DisplayInternalError(support::Translate("Internal Error", "Bad branch while adding a branches couple"));
  }
  if (!branch->couples) branch->couples = std::make_unique<std::vector<std::pair<std::uint32_t, std::uint32_t>>>();
  branch->couples->emplace_back(first, second);
}

}  // namespace output
