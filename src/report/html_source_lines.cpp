// Laying a listing of branches by line on the source's lines.
#include "report/html_source_lines.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace report::html {
namespace {

constexpr std::string_view kLineSuffix = ", line ";
constexpr std::uint32_t kNameWindow = 200;  // lines searched for a function's name before its first line

// "Statement block, line 288" names line 288; 0 when the line names none.
std::uint32_t NamedLine(const ListedLine& line) {
  const std::string text = LineText(line);
  const std::size_t at = text.rfind(kLineSuffix);
  if (at == std::string::npos) return 0;
  std::uint32_t number = 0;
  const char* first = text.data() + at + kLineSuffix.size();
  const char* last = text.data() + text.size();
  const auto [end, status] = std::from_chars(first, last, number);
  return status == std::errc() && end == last ? number : 0;
}

std::vector<std::string> SplitLines(std::string_view source) {
  std::vector<std::string> lines;
  while (!source.empty()) {
    const std::size_t feed = source.find('\n');
    std::string_view line = source.substr(0, feed);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (feed == std::string_view::npos) break;
    source.remove_prefix(feed + 1);
  }
  return lines;
}

bool IsWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether the line holds a word that ends `name` (at least 3 characters): a
// name built by a macro, PREFIX(regex_compile) for byte_regex_compile.
bool HoldsNameEnd(const std::string& line, const std::string& name) {
  for (std::size_t at = 0; at < line.size();) {
    if (!IsWordCharacter(line[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < line.size() && IsWordCharacter(line[end])) ++end;
    const std::string_view word(line.data() + at, end - at);
    if (word.size() >= 3 && std::string_view(name).ends_with(word)) return true;
    at = end;
  }
  return false;
}

// The functions whose names (or their ends) stand on the source's lines
// before their first line, after the previous function's last.
std::unordered_map<std::string, bool> AlignedFunctions(const FileReport& file, const std::vector<std::string>& lines) {
  std::unordered_map<std::string, bool> aligned;
  std::uint32_t previousEnd = 0;
  for (const FunctionReport& function : file.functions) {
    const std::uint32_t last = std::min<std::uint32_t>(function.first, static_cast<std::uint32_t>(lines.size()));
    const std::uint32_t first = std::max({previousEnd + 1, function.first > kNameWindow ? function.first - kNameWindow : 1u});
    bool found = false;
    for (std::uint32_t n = first; n <= last && !found; ++n) found = HoldsNameEnd(lines[n - 1], function.name);
    aligned[function.name] = found;
    previousEnd = std::max(previousEnd, function.last);
  }
  return aligned;
}

QStringList Quoted(const std::vector<std::string>& names) {
  QStringList quoted;
  for (const std::string& name : names) quoted << QString::fromStdString(name);
  return quoted;
}

std::string Note(const std::vector<std::string>& notAligned, std::size_t pastEnd, std::size_t lineCount) {
  std::string note =
      "This file's line markers go backwards (it includes itself), so its instrumented listing lists the branches "
      "by line; they are shown at the end of the source's lines.";
  if (!notAligned.empty()) {
    note += " Not aligned, left out: " + Quoted(notAligned).join(", ").toStdString() +
            " (the name is not on the source's lines before the function's first line: the source changed since it "
            "was instrumented).";
  }
  if (pastEnd > 0) {
    note += " " + std::to_string(pastEnd) + " listed lines name a line past the source's " +
            std::to_string(lineCount) + " lines, left out.";
  }
  return note;
}

}  // namespace

bool ListsBranchesByLine(const ListingView& view) {
  return !view.lines.empty() && LineText(view.lines.front()) == kBranchesByLineComment;
}

ListingView PlaceOnSource(ListingView listed, const std::optional<std::string>& source, const FileReport& file,
                          const std::string& path) {
  if (!source) {
    listed.unplaced = "This file's line markers go backwards (it includes itself), so its instrumented listing lists "
                      "the branches by line, shown as listed: the source " + path + " could not be read.";
    listed.listedByLine = true;
    return listed;
  }
  const std::vector<std::string> lines = SplitLines(*source);
  const std::unordered_map<std::string, bool> aligned = AlignedFunctions(file, lines);
  ListingView placed;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ListedLine& line = placed.lines.emplace_back();
    line.number = static_cast<std::uint32_t>(i + 1);
    if (lines[i].empty()) continue;
    ListedPiece text;
    text.text = lines[i];
    line.pieces.push_back(std::move(text));
  }
  std::vector<bool> separated(lines.size(), false);
  std::vector<std::string> notAligned;
  std::size_t pastEnd = 0;
  bool placing = true;
  for (const ListedLine& made : listed.lines) {
    if (!made.function.empty()) {
      const auto found = aligned.find(made.function);
      placing = found == aligned.end() || found->second;
      if (!placing) notAligned.push_back(made.function);
    }
    const std::uint32_t number = NamedLine(made);
    if (number == 0 || !placing) continue;
    if (number > placed.lines.size()) {
      ++pastEnd;
      continue;
    }
    ListedLine& target = placed.lines[number - 1];
    if (!separated[number - 1]) {
      ListedPiece blank;
      blank.text = "  ";
      target.pieces.push_back(std::move(blank));
      separated[number - 1] = true;
    }
    if (target.function.empty() && !made.function.empty()) target.function = made.function;
    target.tally.hit += made.tally.hit;
    target.tally.total += made.tally.total;
    for (const ListedPiece& piece : made.pieces) {
      if (piece.mark >= 0 || piece.unreachable) {
        target.pieces.push_back(piece);
      } else if (piece.popup >= 0) {
        ListedPiece opener = piece;
        opener.text = " conditions";
        target.pieces.push_back(std::move(opener));
      }
    }
  }
  placed.popups = std::move(listed.popups);
  placed.alternatives = std::move(listed.alternatives);
  placed.branches = std::move(listed.branches);
  placed.unplaced = Note(notAligned, pastEnd, lines.size());
  return placed;
}

}  // namespace report::html
