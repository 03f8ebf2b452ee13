// Reading exclusion markers: a small lexer finds the comments (skipping
// string and character literals, following backslash-newlines), then each
// "quorb:" in a comment is read as a marker.
#include "report/exclusion_markers.h"

#include "report/listing_view.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace report {
namespace {

struct Comment {
  std::string_view text;  // without its delimiters
  std::uint32_t line = 0;  // of its first character
};

std::uint32_t LinesIn(std::string_view text) {
  return static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n'));
}

// The end of a literal opened by `quote` at `begin`: after its closing
// quote, or at the line feed that ends it unclosed.
std::size_t LiteralEnd(std::string_view source, std::size_t begin, char quote) {
  std::size_t at = begin + 1;
  while (at < source.size() && source[at] != quote && source[at] != '\n') at += source[at] == '\\' ? 2 : 1;
  return std::min(source.size(), at + (at < source.size() && source[at] == quote ? 1 : 0));
}

// A line comment ends at a line feed not escaped by a backslash.
std::size_t LineCommentEnd(std::string_view source, std::size_t begin) {
  std::size_t at = begin;
  while (at < source.size() && !(source[at] == '\n' && (at == 0 || source[at - 1] != '\\'))) ++at;
  return at;
}

std::vector<Comment> Comments(std::string_view source) {
  std::vector<Comment> comments;
  std::uint32_t line = 1;
  std::size_t at = 0;
  while (at < source.size()) {
    const char c = source[at];
    std::size_t end = at + 1;
    if (c == '"' || c == '\'') {
      end = LiteralEnd(source, at, c);
    } else if (c == '/' && at + 1 < source.size() && source[at + 1] == '*') {
      const std::size_t close = source.find("*/", at + 2);
      end = close == std::string_view::npos ? source.size() : close + 2;
      const std::size_t textEnd = close == std::string_view::npos ? source.size() : close;
      comments.push_back({source.substr(at + 2, textEnd - at - 2), line});
    } else if (c == '/' && at + 1 < source.size() && source[at + 1] == '/') {
      end = LineCommentEnd(source, at + 2);
      comments.push_back({source.substr(at + 2, end - at - 2), line});
    }
    line += LinesIn(source.substr(at, end - at));
    at = end;
  }
  return comments;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\\' || c == '*'; }

void SkipSpace(std::string_view& text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
}

std::string_view Word(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && ((text[length] >= 'a' && text[length] <= 'z') || text[length] == '-')) ++length;
  return text.substr(0, length);
}

enum class MarkerKind : std::uint8_t { kLine, kStart, kStop, kUnknown };

struct Marker {
  MarkerKind kind = MarkerKind::kUnknown;
  std::uint32_t line = 0;
  std::string reason;  // empty: none given
  std::string word;    // an unknown marker's word
};

// After "quorb:": "exclude", then "start" or "stop" or nothing, then the
// reason in double quotes.
Marker ReadMarker(std::string_view text, std::uint32_t line) {
  Marker marker;
  marker.line = line;
  SkipSpace(text);
  marker.word = std::string(Word(text));
  if (marker.word != "exclude") return marker;
  text.remove_prefix(marker.word.size());
  SkipSpace(text);
  const std::string_view word = Word(text);
  marker.kind = word == "start" ? MarkerKind::kStart : word == "stop" ? MarkerKind::kStop : MarkerKind::kLine;
  if (marker.kind != MarkerKind::kLine) text.remove_prefix(word.size());
  SkipSpace(text);
  if (text.empty() || text.front() != '"') return marker;
  const std::size_t close = text.find('"', 1);
  if (close != std::string_view::npos) marker.reason = std::string(text.substr(1, close - 1));
  return marker;
}

std::vector<Marker> Markers(std::string_view source) {
  static constexpr std::string_view kTag = "quorb:";
  std::vector<Marker> markers;
  for (const Comment& comment : Comments(source)) {
    for (std::size_t at = comment.text.find(kTag); at != std::string_view::npos;
         at = comment.text.find(kTag, at + kTag.size())) {
      const std::uint32_t line = comment.line + LinesIn(comment.text.substr(0, at));
      markers.push_back(ReadMarker(comment.text.substr(at + kTag.size()), line));
    }
  }
  return markers;
}

void Warn(MarkerScan& scan, std::uint32_t line, std::string message) {
  scan.warnings.push_back({line, std::move(message)});
}

}  // namespace

MarkerScan ScanExclusionMarkers(std::string_view source) {
  MarkerScan scan;
  std::optional<Marker> open;  // the region start not yet stopped
  for (const Marker& marker : Markers(source)) {
    switch (marker.kind) {
      case MarkerKind::kUnknown:
        Warn(scan, marker.line, "unknown quorb marker \"" + marker.word + "\" (expected \"exclude\"), ignored");
        break;
      case MarkerKind::kLine:
        if (marker.reason.empty()) {
          Warn(scan, marker.line, "exclusion marker without a reason (write quorb: exclude \"why\"), excludes nothing");
        } else {
          scan.exclusions.push_back({marker.line, marker.line, false, marker.reason, 0});
        }
        break;
      case MarkerKind::kStart:
        if (open) {
          Warn(scan, marker.line, "exclusion region start inside the region started on line " +
                                      std::to_string(open->line) + ", ignored");
          break;
        }
        if (marker.reason.empty()) {
          Warn(scan, marker.line, "exclusion region start without a reason (write quorb: exclude start \"why\"), "
                                  "its region excludes nothing");
        }
        open = marker;
        break;
      case MarkerKind::kStop:
        if (!open) {
          Warn(scan, marker.line, "exclusion region stop without a start, ignored");
          break;
        }
        if (!open->reason.empty()) scan.exclusions.push_back({open->line, marker.line, true, open->reason, 0});
        open.reset();
        break;
    }
  }
  if (open) {
    Warn(scan, open->line, "exclusion region never closed (add quorb: exclude stop), excludes nothing");
  }
  std::stable_sort(scan.exclusions.begin(), scan.exclusions.end(),
                   [](const ExclusionItem& a, const ExclusionItem& b) { return a.first < b.first; });
  std::stable_sort(scan.warnings.begin(), scan.warnings.end(),
                   [](const MarkerWarning& a, const MarkerWarning& b) { return a.line < b.line; });
  return scan;
}

std::string ListingSourceText(const std::string& listing) {
  if (listing.empty()) return {};
  RikListing events;
  std::string error;
  std::size_t offset = 0;
  // The reader checked the listing when it read the FDC file.
  if (!ParseRikListing(listing, events, error, offset)) return {};
  const ListingView view = BuildListingView(events, FileReport{});
  std::string text;
  for (const ListedLine& line : view.lines) {
    for (const ListedPiece& piece : line.pieces) text += piece.text;
    text += '\n';
  }
  return text;
}

std::string MarkerSourceText(const std::string& listing, const std::string& path) {
  if (!listing.empty()) {
    std::string text = ListingSourceText(listing);
    if (!text.starts_with(kBranchesByLineComment)) return text;
  }
  QFile file(QString::fromLocal8Bit(path.c_str()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

}  // namespace report
