// Argument preparation: response files and environment expansion.
//
// A response file is read byte by byte into words: "#" as the first
// non-blank character of a line starts a comment, double quotes toggle
// quoting and are dropped, a backslash before a line end continues the line,
// any other backslash pair is kept for the value splitting. Words grow as
// needed, so no length is too long.
#include "driver/command_analysis.h"

#include "support/file_utils.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace driver {
namespace {

bool IsVariableCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Replaces each $NAME of a defined variable by its value; inserted text is
// not expanded again. An undefined name stays as typed.
std::string ExpandEnvironment(std::string word) {
  std::size_t at = 0;
  while ((at = word.find('$', at)) != std::string::npos) {
    std::size_t end = at + 1;
    while (end < word.size() && IsVariableCharacter(word[end])) ++end;
    const std::string name = word.substr(at + 1, end - at - 1);
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (!value) {
      at = end;
      continue;
    }
    word.replace(at, end - at, value);
    at += std::char_traits<char>::length(value);
  }
  return word;
}

// Reads the words of a response file; none when it cannot be opened.
std::optional<std::vector<std::string>> ReadResponseFile(const std::string& path) {
  support::UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;

  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool lineStart = true;
  auto endWord = [&] {
    if (!word.empty()) words.push_back(ExpandEnvironment(std::move(word)));
    word.clear();
  };

  for (int c; (c = std::getc(file.get())) != EOF;) {
    if (lineStart && !quoted && c == '#') {
      while (c != EOF && c != '\n') c = std::getc(file.get());
      continue;
    }
    if (c == '\n') {
      lineStart = true;
    } else if (c != ' ' && c != '\t') {
      lineStart = false;
    }
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == '\\') {
      const int following = std::getc(file.get());
      if (following == '\n' || following == '\r' || following == EOF) continue;
      word += '\\';
      word += static_cast<char>(following);
      continue;
    }
    // A NUL byte cannot stand inside a command-line word: it separates words.
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if ((blank && !quoted) || c == '\0') {
      endWord();
      continue;
    }
    word += static_cast<char>(c);
  }
  endWord();
  return words;
}

// The response file named by an argument, if it is one: @file or -OPTION=file.
std::optional<std::string> ResponseFileName(std::string_view argument) {
  if (!argument.empty() && argument.front() == '@') return std::string(argument.substr(1));
  constexpr std::string_view option = "-OPTION=";
  if (argument.size() < option.size()) return std::nullopt;
  for (std::size_t i = 0; i < option.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(argument[i])) != option[i]) return std::nullopt;
  }
  return std::string(argument.substr(option.size()));
}

}  // namespace

std::vector<std::string> ExpandArguments(int argc, const char* const* argv) {
  std::vector<std::string> received(argv, argv + argc);
  if (received.empty()) return received;

  std::vector<std::string> expanded{received.front()};
  for (std::size_t i = 1; i < received.size(); ++i) {
    const std::optional<std::string> responseFile = ResponseFileName(received[i]);
    if (!responseFile) {
      expanded.push_back(ExpandEnvironment(received[i]));
      continue;
    }
    std::optional<std::vector<std::string>> words = ReadResponseFile(*responseFile);
    if (!words) {
      ShowCommandError(CommandError::FileNotFound, *responseFile);
      return received;
    }
    for (std::string& word : *words) expanded.push_back(std::move(word));
  }
  return expanded;
}

}  // namespace driver
