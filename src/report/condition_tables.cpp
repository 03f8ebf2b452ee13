#include "report/condition_tables.h"

#include <string>

namespace report {

// Read from the right, every operator finds its operands on the stack; the
// depth is checked instead of recursing, so deep "N" chains cannot overflow.
std::optional<std::size_t> PrefixWidth(std::string_view prefix) {
  std::size_t depth = 0, width = 0;
  for (auto c = prefix.rbegin(); c != prefix.rend(); ++c) {
    if (*c == '.') {
      ++depth;
      ++width;
    } else if (*c == 'N') {
      if (depth < 1) return std::nullopt;
    } else if (*c == 'A' || *c == 'O') {
      if (depth < 2) return std::nullopt;
      --depth;
    } else {
      return std::nullopt;
    }
  }
  if (depth != 1) return std::nullopt;
  return width;
}

bool EvaluatePrefix(std::string_view prefix, std::uint32_t values) {
  std::vector<bool> stack;
  std::size_t leaf = 0;
  for (const char c : prefix) leaf += c == '.' ? 1 : 0;
  for (auto c = prefix.rbegin(); c != prefix.rend(); ++c) {
    if (*c == '.') {
      --leaf;
      stack.push_back((values >> leaf) & 1u);
      continue;
    }
    if (*c == 'N') {
      stack.back() = !stack.back();
      continue;
    }
    const bool left = stack.back();
    stack.pop_back();
    const bool right = stack.back();
    stack.back() = *c == 'A' ? left && right : left || right;
  }
  return stack.back();
}

std::string CombinationText(std::uint32_t values, std::size_t width) {
  std::string text(width, 'F');
  for (std::size_t i = 0; i < width; ++i) {
    if ((values >> i) & 1u) text[i] = 'T';
  }
  return text;
}

}  // namespace report
