// The branch registry of one FDC file: every function, branch, decision and
// popup that the instrumentation created, in the order the annotated listing
// shows them.
//
// Items are listed in RikBefore order on (start position, order key). The
// order key is stored negated, so of two items at one position the one given
// the larger key comes first; equal keys keep call order when the stored key
// is positive and reverse it otherwise. Items are appended as they come and
// put in that order once, by OrderRikItems, before the listing reads them:
// the walk registers outer constructs before or after inner ones at the
// same cost. Along the ordered list the source lines must not decrease: an
// item that breaks this (line directives going backwards) makes the file's
// listing fall back to the per-function summary.
#pragma once

#include "frontend/source_position.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace output {

struct FdcFile;

/// ORDER RIK-KIND: the listing writer switches on these numbers.
enum class RikKind : std::uint8_t {
  kClass = 1,         // class name
  kFunction = 2,      // RikFunction
  kBranch = 3,        // RikBranch
  kBranchStart = 4,   // RikBranch, opening tag only
  kBranchNo = 5,      // no payload
  kDecision = 6,      // RikDecision
  kPopup = 7,         // list of RikAlternative
  kBitCond = 8,       // RikBitCond
  kJump = 9,          // callee name
  kLink = 17,         // function name
  kUnreachable = 18,  // no payload
  kShortcut = 19,     // branch ID
};

/// SUM codes: the category a branch counts for.
enum RikSum : std::int8_t {
  kSumEntry = 0,
  kSumExit = 1,
  kSumCall = 10,
  kSumBlock = 20,
  kSumImplicit = 21,
  kSumLoop = 22,
  kSumBasicCondition = 30,
  kSumModifiedCondition = 31,
  kSumMultipleCondition = 32,
};

inline constexpr std::uint32_t kNoRikId = 0xFFFFFFFF;

struct RikBranch {
  std::uint32_t id = 0;
  std::int8_t sum = 0;
  // Independence pairs of a condition, held apart: most branches have none
  // and a listing holds one branch per row of every case table.
  std::unique_ptr<std::vector<std::pair<std::uint32_t, std::uint32_t>>> couples;
};

enum class RikNodeType : std::uint8_t { kFunction = 0, kMethod = 1, kConstructor = 2, kDestructor = 3 };

struct RikFunction {
  std::string name;
  RikNodeType nodeType = RikNodeType::kFunction;
  std::uint32_t vg = 0;  // decisions of the function; 0 is not written
  std::uint32_t statements = kNoRikId;
  std::uint32_t nesting = kNoRikId;
};

/// The blocks a decision selects; a decision whose blocks were not made
/// (fewer than two cases of a switch, for instance) has no IDs.
struct RikDecision {
  std::vector<std::uint32_t> ids;
  std::int16_t count = 0;
  std::uint32_t extra = kNoRikId;  // the sequence block that follows a leaving decision
};

struct RikAlternative {
  std::string text;
  std::optional<RikBranch> branch;
  std::uint8_t flag = 1;  // 1 the first time a row of a case table is shown
};

/// The condition-table popup of a forced decision.
struct RikBitCond {
  std::array<std::string, 6> texts;
  std::string text;  // prefix form of the decision
  std::uint32_t number = 0;
  std::vector<std::string> operands;
};

struct RikText {
  std::string text;  // class name, callee name or function name
};

// The large payloads, one per function and the rare condition-table popup,
// are held apart, so that an item of the common kinds stays small (a run
// registers one per branch).
using RikPayload = std::variant<std::monostate, RikText, std::unique_ptr<RikFunction>, RikBranch, RikDecision,
                                std::vector<RikAlternative>, std::unique_ptr<RikBitCond>, std::uint32_t>;

struct RikItem {
  RikKind kind;
  RikPayload payload;
  std::int32_t orderKey;  // the caller's key, negated
  std::uint32_t sourceLine;
  std::uint32_t sourceEndLine;  // 0: no closing tag
  std::optional<frontend::SourcePosition> start;
  std::optional<frontend::SourcePosition> end;
  std::uint32_t sequence;  // order of registration
};

/// The function header an item carries, if any.
inline const RikFunction* FunctionOf(const RikItem& item) {
  const auto* function = std::get_if<std::unique_ptr<RikFunction>>(&item.payload);
  return function ? function->get() : nullptr;
}

/// The items in listing order.
using RikItemList = std::vector<const RikItem*>;

/// The registry; addresses of items stay valid until it is released.
struct RikRegistry {
  std::deque<RikItem> items;  // in registration order
  RikItemList order;          // filled by OrderRikItems
  bool ordered = true;        // registration order is listing order
};

/// Whether an item at (a, aKey) is listed before one at (b, bKey); keys are
/// stored keys.
[[nodiscard]] bool RikBefore(const std::optional<frontend::SourcePosition>& a, std::int32_t aKey,
                             const std::optional<frontend::SourcePosition>& b, std::int32_t bKey);

/// Where an item lies: source lines of the user's file and the characters of
/// the preprocessed input its tags enclose.
struct RikPlace {
  std::uint32_t sourceLine = 0;
  std::optional<frontend::SourcePosition> start;  // none: no position
  std::uint32_t sourceEndLine = 0;                // 0: no closing tag
  std::optional<frontend::SourcePosition> end;
};

/// Registers an item and returns it; the reference stays valid until the
/// registry is released.
RikItem& AddRikItem(FdcFile& file, RikKind kind, RikPayload payload, std::int32_t orderKey, const RikPlace& place);

/// Puts the items in listing order and checks that their source lines do
/// not decrease (else warns once and sets the file's no-listing flag).
void OrderRikItems(FdcFile& file);

RikBranch MakeRikBranch(std::uint32_t id, std::int8_t sum);
RikDecision MakeRikDecision(std::vector<std::uint32_t> ids, std::uint32_t extra);

/// Appends an independence pair to a condition's branch.
void AddBranchCouple(RikBranch* branch, std::uint32_t first, std::uint32_t second);

}  // namespace output
