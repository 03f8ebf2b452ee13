#include "report/categories.h"

#include <cstdio>
#include <string>

namespace report {

std::optional<Category> FindCategory(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c == ' ' || c == '-') c = '_';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (kCategoryKeys[i] == key) return static_cast<Category>(i);
  }
  return std::nullopt;
}

std::array<bool, kCategoryCount> SelectedCategories(std::uint16_t coverage) {
  const bool forced = coverage & 0x0800;
  std::array<bool, kCategoryCount> selected{};
  auto set = [&](Category category, bool on) { selected[static_cast<std::size_t>(category)] = on; };
  set(Category::kFunctions, coverage & 0x0001);
  set(Category::kExits, coverage & 0x0002);
  set(Category::kCalls, coverage & 0x0004);
  set(Category::kStatementBlocks, coverage & 0x0008);
  set(Category::kImplicitBlocks, coverage & 0x0020);
  set(Category::kDecisions, coverage & 0x0028);
  set(Category::kLoops, coverage & 0x0040);
  set(Category::kBasicConditions, coverage & 0x0100);
  set(Category::kModifiedConditions, (coverage & 0x0200) && !forced);
  set(Category::kMultipleConditions, (coverage & 0x0400) && !forced);
  set(Category::kForcedConditions, forced);
  return selected;
}

Figures& Figures::operator+=(const Figures& other) {
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    figures[i] += other.figures[i];
    carried[i] = carried[i] || other.carried[i];
  }
  return *this;
}

std::string_view FormatPercent(const Figure& figure, char (&buffer)[16]) {
  if (figure.total == 0) return "-";
  // Tenths rounded down: 99.96% is not shown as complete.
  const std::uint64_t tenths = figure.covered * 1000 / figure.total;
  const int length = std::snprintf(buffer, sizeof buffer, "%llu.%llu", static_cast<unsigned long long>(tenths / 10),
                                   static_cast<unsigned long long>(tenths % 10));
  return {buffer, static_cast<std::size_t>(length)};
}

}  // namespace report
