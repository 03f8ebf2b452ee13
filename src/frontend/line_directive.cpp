// Line directives: "# N", "#line N", either with a quoted file name and
// further flags, and "#file" with a name. The directive's own newline has
// already been counted, so "# 12" makes the next line line 12.
#include "frontend/directive_scanner.h"

#include "frontend/front_end.h"
#include "frontend/pragmas.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <optional>
#include <unordered_map>

namespace frontend {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

[[noreturn]] void FailDirective(const char* text) {
  support::DisplayInternalError(support::Translate("Internal Error", text), support::CodeLocation::Current());
}

// The quoted name at the cursor, without the quotes; none when the line
// ends before the closing quote, as in a file cut short inside a directive.
// With escape processing a backslash protects the byte after it from
// closing the name.
std::optional<std::string_view> ReadFileName(DirectiveCursor& cursor) {
  const std::string_view text = cursor.text;
  const bool escapes = !Pragmas().noEscapes;
  for (std::size_t at = cursor.at + 1; at < text.size() && text[at] != '\n'; ++at) {
    if (escapes && text[at] == '\\') {
      ++at;
      continue;
    }
    if (text[at] != '"') continue;
    const std::string_view name = text.substr(cursor.at + 1, at - cursor.at - 1);
    cursor.at = at + 1;
    return name;
  }
  return std::nullopt;
}

void SetCurrentFile(std::string_view raw) {
  if (raw.empty()) return;
  // Most names have no escape: they are looked up as they stand.
  const bool plain = Pragmas().noEscapes || raw.find('\\') == std::string_view::npos;
  const std::string interpreted = plain ? std::string() : InterpretFileName(raw);
  const std::string_view name = plain ? raw : std::string_view(interpreted);
  const support::NameEntry* key = support::InternName(name);
  auto& splitNames = CurrentFrontEnd().splitNames;
  auto found = splitNames.find(key);
  if (found == splitNames.end()) found = splitNames.emplace(key, support::SplitPath(name)).first;
  LexerState& lexer = Lexer();
  lexer.currentFile = found->second.name;
  lexer.currentDirectory = found->second.directory;
}

}  // namespace

// Bytes are processed as they are, so names in any 8-bit encoding come back
// unchanged.
std::string InterpretFileName(std::string_view raw) {
  std::string name;
  name.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      name += raw[i];
      continue;
    }
    const char next = raw[i + 1];
    if (next == '\\' || next == '"' || next == ' ') {
      name += next;
    } else if (next == 't') {
      name += '\t';
    } else if (i + 3 < raw.size() && IsOctal(next) && IsOctal(raw[i + 2]) && IsOctal(raw[i + 3])) {
      name += static_cast<char>(((next - '0') << 6) | ((raw[i + 2] - '0') << 3) | (raw[i + 3] - '0'));
      i += 2;
    } else {
      name += '\\';
      name += next;
    }
    ++i;
  }
  return name;
}

void ResetLineDirectiveCache() { CurrentFrontEnd().splitNames.clear(); }

bool HandleLineDirective(DirectiveCursor cursor) {
  LexerState& lexer = Lexer();
  DirectiveCursor file = cursor;
  if (MatchWord(file, "file") && SkipBlanks(file) && file.at < file.text.size() && file.text[file.at] == '"') {
    const std::optional<std::string_view> name = ReadFileName(file);
    if (!name) return false;
    lexer.logicalLine = 1;
    SetCurrentFile(*name);
    return true;
  }
  if (MatchWord(cursor, "line") && !SkipBlanks(cursor)) return false;
  const std::optional<NumberText> number = ReadNumber(cursor);
  if (!number || !(SkipBlanks(cursor) || AtLineEnd(cursor))) return false;
  if (number->overflow) FailDirective("Line number not readable");
  std::optional<std::string_view> name = std::string_view();
  if (cursor.at < cursor.text.size() && cursor.text[cursor.at] == '"') name = ReadFileName(cursor);
  if (!name) return false;  // an unterminated name: no line directive, ignored like other directives
  lexer.logicalLine = number->value;
  SetCurrentFile(*name);
  return true;
}

}  // namespace frontend
