#include "wrapper/response_files.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace wrapper {
namespace {

constexpr int kMaxDepth = 64;

void Expand(const std::vector<std::string>& argv, const FileReader& read, int depth, std::vector<std::string>& out) {
  for (const std::string& word : argv) {
    if (word.size() < 2 || word[0] != '@' || depth >= kMaxDepth) {
      out.push_back(word);
      continue;
    }
    const std::optional<std::string> text = read(word.substr(1));
    if (!text) {
      out.push_back(word);
      continue;
    }
    Expand(SplitResponseText(*text), read, depth + 1, out);
  }
}

}  // namespace

std::vector<std::string> SplitResponseText(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      word += text[++i];
      inWord = true;
    } else if (quote) {
      if (c == quote) quote = 0;
      else word += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      inWord = true;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::vector<std::string> ExpandResponseFiles(const std::vector<std::string>& argv, const FileReader& read) {
  std::vector<std::string> out;
  Expand(argv, read, 0, out);
  return out;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace wrapper
