// Reading the annotated listing into events.
//
// One pass over the text: plain text up to the next "@", "@@" as one "@",
// otherwise a tag up to the next "@". The section header ("@RIK" up to the
// file node's "@") holds quoted paths and is skipped as a whole; a forced
// decision's table tag holds "@"-delimited texts and runs to ") /POPUP@".
#include "report/rik_markup.h"

#include <charconv>

namespace report {
namespace {

constexpr std::string_view kHeaderEnd = "NODE TYPE=FILE NAME=\"";
constexpr std::string_view kTableStart = "-POPUP BITCOND=(";
constexpr std::string_view kTableEnd = ") /POPUP@";

struct ListingReader {
  std::string_view text;
  std::size_t position = 0;
  RikListing& listing;
  std::vector<RikTag> open;         // registry tags, the file node first
  bool popupBody = false;           // inside the body of the innermost popup
  std::vector<bool> popupBodies;    // of enclosing popups
  int alternative = 0;              // 0 none, 1 its source text, 2 its expansion
  int commentDepth = 0;
  bool ended = false;
  std::string error;
  std::size_t errorOffset = 0;
};

bool Fail(ListingReader& reader, std::size_t offset, std::string what) {
  reader.error = std::move(what);
  reader.errorOffset = offset;
  return false;
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  return status == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "n" or "a&b|c&d".
bool ParseIds(std::string_view text, RikBranchRef& branch) {
  if (text.find('&') == std::string_view::npos) return ParseNumber(text, branch.id);
  while (!text.empty()) {
    const std::size_t bar = text.find('|');
    const std::string_view couple = text.substr(0, bar);
    const std::size_t amp = couple.find('&');
    std::uint32_t first = 0, second = 0;
    if (amp == std::string_view::npos || !ParseNumber(couple.substr(0, amp), first) ||
        !ParseNumber(couple.substr(amp + 1), second)) {
      return false;
    }
    branch.couples.emplace_back(first, second);
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  branch.id = branch.couples.front().first;
  return true;
}

// The attributes of a branch tag after its name: MARK=.. ID=.. SUM=..
bool ParseBranchAttributes(std::string_view attributes, RikBranchRef& branch, bool needsSum) {
  bool hasId = false, hasSum = !needsSum;
  while (!attributes.empty()) {
    const std::size_t space = attributes.find(' ');
    const std::string_view word = attributes.substr(0, space);
    attributes.remove_prefix(space == std::string_view::npos ? attributes.size() : space + 1);
    if (word.substr(0, 3) == "ID=") {
      hasId = ParseIds(word.substr(3), branch);
      if (!hasId) return false;
    } else if (word.substr(0, 4) == "SUM=") {
      std::int32_t sum = 0;
      const std::string_view digits = word.substr(4);
      const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), sum);
      if (status != std::errc() || end != digits.data() + digits.size() || BranchKindOfSum(sum) == 0) return false;
      branch.sum = sum;
      hasSum = true;
    } else if (word.substr(0, 5) != "MARK=" && !word.empty()) {
      return false;
    }
  }
  return hasId && hasSum;
}

// The quoted NAME= value; names stand unescaped between double quotes.
std::string NameOf(std::string_view tag) {
  const std::size_t start = tag.find("NAME=\"");
  if (start == std::string_view::npos) return {};
  const std::size_t end = tag.find('"', start + 6);
  return std::string(tag.substr(start + 6, end == std::string_view::npos ? std::string_view::npos : end - start - 6));
}

void Emit(ListingReader& reader, RikEventKind kind, RikTag tag, std::string_view content) {
  RikEvent& event = reader.listing.events.emplace_back();
  event.kind = kind;
  event.tag = tag;
  event.text = content;
}

bool Close(ListingReader& reader, RikTag tag, std::size_t offset, std::string_view content) {
  if (reader.open.size() < 2 || reader.open.back() != tag) {
    return Fail(reader, offset, "@" + std::string(content) + "@ closes no open tag of its kind");
  }
  if (tag == RikTag::kPopup) {
    if (!reader.popupBody) return Fail(reader, offset, "a popup closes before its body");
    reader.popupBody = reader.popupBodies.back();
    reader.popupBodies.pop_back();
  }
  reader.open.pop_back();
  Emit(reader, RikEventKind::kClose, tag, content);
  return true;
}

// Only branch tags reach here inside a popup's body (ReadTag refuses others).
bool OpenTag(ListingReader& reader, RikTag tag, std::string_view content) {
  if (tag == RikTag::kPopup) {
    reader.popupBodies.push_back(reader.popupBody);
    reader.popupBody = false;
  }
  reader.open.push_back(tag);
  Emit(reader, RikEventKind::kOpen, tag, content);
  return true;
}

bool StartAlternative(ListingReader& reader, std::size_t offset) {
  if (reader.alternative != 0 || reader.popupBody) return Fail(reader, offset, "a macro alternative inside another");
  reader.alternative = 1;
  Emit(reader, RikEventKind::kAltStart, RikTag::kNone, {});
  return true;
}

bool ReadClosingTag(ListingReader& reader, std::string_view content, std::size_t offset) {
  if (content == "/BRANCH") {
    const RikTag top = reader.open.empty() ? RikTag::kNone : reader.open.back();
    return Close(reader, top == RikTag::kBranchNo ? RikTag::kBranchNo : RikTag::kBranch, offset, content);
  }
  if (content == "/NODE") return Close(reader, RikTag::kNode, offset, content);
  if (content == "/DECISION") return Close(reader, RikTag::kDecision, offset, content);
  if (content == "/JUMP") return Close(reader, RikTag::kJump, offset, content);
  if (content == "/POPUP") return Close(reader, RikTag::kPopup, offset, content);
  if (content == "/ALT") {
    if (reader.alternative != 2) return Fail(reader, offset, "@/ALT@ without an open expansion");
    reader.alternative = 0;
    Emit(reader, RikEventKind::kAltEnd, RikTag::kNone, content);
    return true;
  }
  if (content == "/COMMENT" || content == "/COMMENT ALT") {
    if (reader.commentDepth > 0) --reader.commentDepth;
    Emit(reader, RikEventKind::kCommentEnd, RikTag::kNone, content);
    return content == "/COMMENT" || StartAlternative(reader, offset);
  }
  if (content == "/NODE /RIK") {
    if (reader.open.size() != 1 || reader.alternative != 0) {
      return Fail(reader, offset, "the listing ends with tags still open");
    }
    reader.open.clear();
    reader.ended = true;
    return true;
  }
  return Fail(reader, offset, "unknown tag @" + std::string(content) + "@");
}

bool ReadMiddleTag(ListingReader& reader, std::string_view content, std::size_t offset) {
  if (content == "-ALT") {
    if (reader.alternative != 1) return Fail(reader, offset, "@-ALT@ without an open alternative");
    reader.alternative = 2;
    Emit(reader, RikEventKind::kAltExpansion, RikTag::kNone, content);
    return true;
  }
  if (content == "-POPUP") {
    if (reader.open.empty() || reader.open.back() != RikTag::kPopup || reader.popupBody) {
      return Fail(reader, offset, "@-POPUP@ outside a popup");
    }
    reader.popupBody = true;
    Emit(reader, RikEventKind::kPopupBody, RikTag::kPopup, content);
    return true;
  }
  return Fail(reader, offset, "unknown tag @" + std::string(content) + "@");
}

// "-POPUP BITCOND=(@..@,...,"prefix",number,TE,31,32,@..@...) /POPUP@": its
// fields name no branch; the view ties it to its decision through the basic
// conditions the popup's text holds.
bool ReadConditionTable(ListingReader& reader, std::size_t offset) {
  const std::size_t end = reader.text.find(kTableEnd, offset);
  if (end == std::string_view::npos) return Fail(reader, offset, "unterminated condition table");
  if (reader.open.empty() || reader.open.back() != RikTag::kPopup || reader.popupBody) {
    return Fail(reader, offset, "a condition table outside a popup");
  }
  const std::size_t from = offset + 1 + kTableStart.size();
  const std::string_view fields = reader.text.substr(from, end - from);
  reader.open.pop_back();
  reader.popupBody = reader.popupBodies.back();
  reader.popupBodies.pop_back();
  Emit(reader, RikEventKind::kPopupTable, RikTag::kPopup, fields);
  reader.position = end + kTableEnd.size();
  return true;
}

bool ReadBranchTag(ListingReader& reader, std::string_view content, std::size_t offset) {
  const std::string_view attributes = content.substr(std::min<std::size_t>(7, content.size()));
  if (attributes == "NO") return OpenTag(reader, RikTag::kBranchNo, content);
  if (attributes == "UNREACHABLE") {
    Emit(reader, RikEventKind::kMark, RikTag::kUnreachable, content);
    return true;
  }
  const bool start = attributes.substr(0, 6) == "START ";
  RikBranchRef branch;
  if (!ParseBranchAttributes(attributes.substr(start ? 6 : 0), branch, true)) {
    return Fail(reader, offset, "bad branch tag @" + std::string(content) + "@");
  }
  if (start) {
    Emit(reader, RikEventKind::kMark, RikTag::kBranch, content);
  } else if (!OpenTag(reader, RikTag::kBranch, content)) {
    return false;
  }
  reader.listing.events.back().branch = std::move(branch);
  return true;
}

bool ReadOpeningTag(ListingReader& reader, std::string_view content, std::size_t offset) {
  const std::string_view name = content.substr(0, content.find(' '));
  if (name == "BRANCH") return ReadBranchTag(reader, content, offset);
  if (content == "POPUP") return OpenTag(reader, RikTag::kPopup, content);
  if (content == "ALT") return StartAlternative(reader, offset);
  if (content == "COMMENT") {
    ++reader.commentDepth;
    Emit(reader, RikEventKind::kCommentStart, RikTag::kNone, content);
    return true;
  }
  if (name == "NODE" || name == "JUMP") {
    if (!OpenTag(reader, name == "NODE" ? RikTag::kNode : RikTag::kJump, content)) return false;
    reader.listing.events.back().name = NameOf(content);
    return true;
  }
  if (name == "DECISION") return OpenTag(reader, RikTag::kDecision, content);
  if (name == "LINK") {
    Emit(reader, RikEventKind::kMark, RikTag::kLink, content);
    reader.listing.events.back().name = NameOf(content);
    return true;
  }
  if (name == "SHORTCUT") {
    RikBranchRef branch;
    if (!ParseBranchAttributes(content.substr(content.find(' ') + 1), branch, false) || !branch.couples.empty()) {
      return Fail(reader, offset, "bad shortcut tag @" + std::string(content) + "@");
    }
    branch.sum = 20;  // a statement block marked at one point
    Emit(reader, RikEventKind::kMark, RikTag::kShortcut, content);
    reader.listing.events.back().branch = branch;
    return true;
  }
  return Fail(reader, offset, "unknown tag @" + std::string(content) + "@");
}

bool ReadTag(ListingReader& reader) {
  const std::size_t offset = reader.position;
  if (reader.text.substr(offset + 1, kTableStart.size()) == kTableStart) return ReadConditionTable(reader, offset);
  const std::size_t end = reader.text.find('@', offset + 1);
  if (end == std::string_view::npos) return Fail(reader, offset, "unterminated tag");
  const std::string_view content = reader.text.substr(offset + 1, end - offset - 1);
  reader.position = end + 1;
  if (content.empty()) return Fail(reader, offset, "empty tag");
  if (reader.popupBody && content != "/BRANCH" && content != "/POPUP" && content.substr(0, 7) != "BRANCH ") {
    return Fail(reader, offset, "@" + std::string(content) + "@ inside a popup's body");
  }
  if (content.front() == '/') return ReadClosingTag(reader, content, offset);
  if (content.front() == '-') return ReadMiddleTag(reader, content, offset);
  return ReadOpeningTag(reader, content, offset);
}

bool ReadHeader(ListingReader& reader) {
  if (reader.text.substr(0, 4) != "@RIK") return Fail(reader, 0, "the listing does not begin with @RIK");
  const std::size_t node = reader.text.find(kHeaderEnd);
  const std::size_t end = node == std::string_view::npos ? node : reader.text.find("\"@", node + kHeaderEnd.size());
  if (end == std::string_view::npos) return Fail(reader, 0, "the listing's header does not end");
  reader.open.push_back(RikTag::kNode);
  Emit(reader, RikEventKind::kOpen, RikTag::kNode, reader.text.substr(1, end));
  reader.listing.events.back().name =
      std::string(reader.text.substr(node + kHeaderEnd.size(), end - node - kHeaderEnd.size()));
  reader.position = end + 2;
  return true;
}

}  // namespace

char BranchKindOfSum(std::int32_t sum) {
  switch (sum) {
    case 0: case 1: return 'P';
    case 10: return 'C';
    case 20: case 21: case 22: return 'B';
    case 30: case 31: case 32: return 'K';
    default: return 0;
  }
}

bool ParseRikListing(std::string_view text, RikListing& listing, std::string& error, std::size_t& errorOffset) {
  ListingReader reader{text, 0, listing, {}, false, {}, 0, 0, false, {}, 0};
  bool read = ReadHeader(reader);
  while (read && !reader.ended && reader.position < text.size()) {
    const std::size_t at = text.find('@', reader.position);
    if (at != reader.position) {
      const std::size_t end = at == std::string_view::npos ? text.size() : at;
      Emit(reader, RikEventKind::kText, RikTag::kNone, text.substr(reader.position, end - reader.position));
      reader.position = end;
      continue;
    }
    if (at + 1 < text.size() && text[at + 1] == '@') {
      Emit(reader, RikEventKind::kText, RikTag::kNone, text.substr(at, 1));
      reader.position = at + 2;
      continue;
    }
    read = ReadTag(reader);
  }
  if (read && !reader.ended) read = Fail(reader, text.size(), "the listing ends before its closing tag");
  const std::size_t rest = read ? text.find_first_not_of(" \t\r\n", reader.position) : std::string_view::npos;
  if (rest != std::string_view::npos) read = Fail(reader, rest, "text after the end of the listing");
  error = reader.error;
  errorOffset = reader.errorOffset;
  return read;
}

}  // namespace report
