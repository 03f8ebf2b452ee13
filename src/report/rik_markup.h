// The annotated listing that ends an FDC block, read as a flat list of
// events.
//
// The listing is source text with "@"-delimited tags ("@@" is a literal
// "@"). Tags of the branch registry (functions, branches, decisions, jumps,
// popups) nest properly; a macro alternative ("@ALT@" source "@-ALT@"
// expansion "@/ALT@") and comment markup do not: an alternative closes when
// the copy leaves the macro, possibly inside a branch that opened in the
// expansion. So the reader checks the registry tags against a stack, keeps
// one alternative and a comment depth beside it, and hands out events rather
// than a tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report {

enum class RikEventKind : std::uint8_t {
  kText,          // listing text, "@@" already made one "@"
  kOpen,          // a registry tag with a closing tag
  kClose,         // its closing tag
  kMark,          // a tag without closing tag: link, shortcut, branch start, unreachable
  kPopupBody,     // "-POPUP": the popup's own text ends, its body follows
  kPopupTable,    // "-POPUP BITCOND=(...) /POPUP": the popup ends with a forced decision's table
  kAltStart,      // "ALT": the macro invocation as written follows
  kAltExpansion,  // "-ALT": its expansion follows
  kAltEnd,        // "/ALT"
  kCommentStart,
  kCommentEnd,
};

enum class RikTag : std::uint8_t { kNone, kNode, kBranch, kBranchNo, kDecision, kJump, kPopup, kLink, kShortcut, kUnreachable };

/// A branch named by a tag: SUM code, and the branch number or the couples
/// of condition branches (an independence pair of case table rows).
struct RikBranchRef {
  std::int32_t sum = 0;
  std::uint32_t id = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> couples;
};

struct RikEvent {
  RikEventKind kind = RikEventKind::kText;
  RikTag tag = RikTag::kNone;
  std::string_view text;  // kText: the text; tags: what stands between the "@"s
  RikBranchRef branch;     // branch tags and shortcuts
  std::string name;        // NAME= of nodes, jumps and links
};

struct RikListing {
  std::vector<RikEvent> events;  // views into the text given to ParseRikListing
};

/// Reads a whole section, from "@RIK" to "@/NODE /RIK@". False with `error`
/// and `errorOffset` (into `text`) on unknown or unbalanced tags, an
/// unterminated tag, or a section that ends early.
bool ParseRikListing(std::string_view text, RikListing& listing, std::string& error, std::size_t& errorOffset);

/// Whether the SUM code is one the listing uses, and the report's branch
/// kind for it: 'P' function entries and exits, 'C' calls, 'B' blocks, 'K'
/// conditions.
char BranchKindOfSum(std::int32_t sum);

}  // namespace report
