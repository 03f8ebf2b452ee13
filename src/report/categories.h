// Coverage categories of the report and the figure kept for each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace report {

enum class Category : std::uint8_t {
  kFunctions,           // PR proc records
  kExits,               // PR endproc, return and term records
  kCalls,               // AP records
  kStatementBlocks,     // BL simple and qbc records
  kImplicitBlocks,      // BL implicit records
  kDecisions,           // statement and implicit blocks together
  kLoops,               // BL logical records: the 0, 1 and 2+ branches
  kBasicConditions,     // CE true and false branches, CA branches
  kModifiedConditions,  // basic conditions of CC case tables, independence shown
  kMultipleConditions,  // rows of CC case tables observed
  kForcedConditions,    // basic conditions of forced CC records, independence shown
};

inline constexpr std::size_t kCategoryCount = 11;

inline constexpr std::array<std::string_view, kCategoryCount> kCategoryNames = {
    "functions",       "exits",     "calls",
    "statement blocks", "implicit blocks", "decisions",
    "loops",           "basic conditions", "modified conditions",
    "multiple conditions", "forced conditions"};

/// Key names for JSON and command lines: the name with "_" for spaces.
inline constexpr std::array<std::string_view, kCategoryCount> kCategoryKeys = {
    "functions",       "exits",     "calls",
    "statement_blocks", "implicit_blocks", "decisions",
    "loops",           "basic_conditions", "modified_conditions",
    "multiple_conditions", "forced_conditions"};

inline constexpr std::string_view CategoryName(Category category) {
  return kCategoryNames[static_cast<std::size_t>(category)];
}

/// The category named by a summary name or a key name (also with "-"), in
/// any case.
std::optional<Category> FindCategory(std::string_view name);

/// The categories a block selects through its coverage word.
std::array<bool, kCategoryCount> SelectedCategories(std::uint16_t coverage);

/// Branches counted (`total`, of which `covered`) and, apart, branches an
/// exclusion marker took out of the count: a percentage is covered / total.
struct Figure {
  std::uint64_t covered = 0;
  std::uint64_t total = 0;
  std::uint64_t excluded = 0;
  void Add(bool hit) {
    ++total;
    covered += hit ? 1 : 0;
  }
  std::uint64_t Missed() const { return total - covered; }
  Figure& operator+=(const Figure& other) {
    covered += other.covered;
    total += other.total;
    excluded += other.excluded;
    return *this;
  }
};

/// One figure per category, and whether it applies (the block selects the
/// category, or has branches of it).
struct Figures {
  std::array<Figure, kCategoryCount> figures{};
  std::array<bool, kCategoryCount> carried{};

  Figure& operator[](Category category) { return figures[static_cast<std::size_t>(category)]; }
  const Figure& operator[](Category category) const { return figures[static_cast<std::size_t>(category)]; }
  Figures& operator+=(const Figures& other);
};

/// The percentage rounded down to one decimal, as "75.0"; "-" for no branch.
std::string_view FormatPercent(const Figure& figure, char (&buffer)[16]);

}  // namespace report
