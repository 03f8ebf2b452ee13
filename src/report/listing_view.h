// The annotated source of one file: the listing's events laid out as source
// lines, with every branch tied to its count by its branch number.
//
// A line carries the branches that open on it, those hidden in the macro
// expansions it holds and those of its condition popups; its state is
// covered when all of them ran, never when none did, partly otherwise. A
// popup whose body names blocks only (the iteration branches of a loop, a
// popup over the whole loop) is shown as one mark per branch where it opens,
// each mark opening it; the loop's text is not the popup's. A
// macro alternative's expansion and a popup's body are kept apart from the
// line, to be shown on demand; the pieces of text say which popup and which
// alternative they belong to, so that constructs that cross each other in
// the listing need no nesting here.
#pragma once

#include "report/report_model.h"
#include "report/rik_markup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace report {

/// The first line of the listing of a source whose line markers go
/// backwards (it includes itself): branches listed by line, not its text.
inline constexpr std::string_view kBranchesByLineComment =
    "/* This document presents all functions and branches per source line. */";


struct Tally {
  std::size_t hit = 0, total = 0;
  void Add(bool ran) {
    ++total;
    hit += ran ? 1 : 0;
  }
  /// None when no branch was counted.
  std::optional<HitState> State() const;
};

struct ListedBranch {
  std::int32_t sum = 0;
  std::uint32_t id = 0;
  bool pair = false;       // an independence pair: hit when both rows of one couple ran
  std::uint64_t count = 0; // runs of the branch; of a pair, the runs of its rarer row
  bool hit = false;
  std::string label;       // what the branch is, for its tooltip
};

struct ListedPiece {
  std::string text;              // empty for a mark
  int mark = -1;                 // a branch mark: index into the branches
  bool unreachable = false;      // a mark of code that cannot run
  int branch = -1;               // in a popup's body: the branch this text names
  int popup = -1;                // the innermost popup whose own text this is
  int opens = -1;                // a mark that opens this popup
  int alternative = -1;          // the macro alternative whose source text this is
  bool comment = false;
};

struct ListedLine {
  std::uint32_t number = 0;
  std::vector<ListedPiece> pieces;
  Tally tally;
  std::vector<int> alternatives;  // expansions of macros on this line
  std::string function;           // a function that begins on this line
};

struct ListedPopup {
  std::vector<ListedPiece> body;
  Tally tally;
  const DecisionItem* decision = nullptr;  // the decision whose rows the body names
};

struct ListedAlternative {
  std::vector<ListedPiece> expansion;
  Tally tally;
};

struct ListingView {
  std::vector<ListedLine> lines;
  std::vector<ListedPopup> popups;
  std::vector<ListedAlternative> alternatives;
  std::vector<ListedBranch> branches;
  // A basic condition's (or case's) first branch to the macro alternative
  // whose expansion holds it.
  std::unordered_map<std::uint32_t, int> conditionAlternatives;
  std::string unplaced;  // what of the listing could not be placed on source lines
  bool listedByLine = false;  // the lines are a list of branches, not the source's
};

/// The text of a line as written, macros as invoked.
std::string LineText(const ListedLine& line);

/// The source text of a macro alternative of `line`: the invocation.
std::string AlternativeText(const ListedLine& line, int alternative);

/// The view of a listing that ParseRikListing read whole, with the counts
/// of `file`.
ListingView BuildListingView(const RikListing& listing, const FileReport& file);

}  // namespace report
