#include "output/rik_registry.h"

#include "output/fdc_file.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <iterator>

namespace output {
namespace {

bool Earlier(const frontend::SourcePosition& a, const frontend::SourcePosition& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

bool Usable(const std::optional<frontend::SourcePosition>& at) { return at && at->line != 0; }

// The source lines along the list must not go down; the first break turns
// the listing into the per-function summary.
void CheckMonotonic(FdcFile& file, RikRegistry::iterator item) {
  if (file.noListing) return;
  const bool afterPrevious = item == file.rik.begin() || std::prev(item)->sourceLine <= item->sourceLine;
  const auto following = std::next(item);
  const bool beforeNext = following == file.rik.end() || item->sourceLine <= following->sourceLine;
  if (afterPrevious && beforeNext) return;
  file.noListing = true;
  support::DisplayWarning(
      support::Translate("User Warning", "Lines added by a code generator, resulting #line are not monoton in source file %1",
                         "%1 : the source file")
          .arg(support::FromLocal(file.sourceName ? file.sourceName->text : "")));
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
  RikItem item{kind, std::move(payload), -orderKey, place.sourceLine, place.sourceEndLine, place.start, place.end};
  RikRegistry& rik = file.rik;
  auto position = rik.end();
  // Items mostly arrive in listing order: the search from the tail is short.
  while (position != rik.begin()) {
    const RikItem& previous = *std::prev(position);
    if (RikBefore(previous.start, previous.orderKey, item.start, item.orderKey)) break;
    --position;
  }
  const auto inserted = rik.insert(position, std::move(item));
  CheckMonotonic(file, inserted);
  return *inserted;
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
  branch->couples.emplace_back(first, second);
}

}  // namespace output
