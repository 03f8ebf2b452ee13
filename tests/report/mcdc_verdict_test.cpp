// Random decisions of up to 12 basic conditions over &&, || and !, checked
// against an evaluator written from the definitions: the report's verdict on
// each basic condition, for a random set of evaluations that ran, must match
// the independence pairs found by flipping one condition of an input vector
// (for a case table) or the README's rule for forced decisions. The case
// tables are built here from short-circuit evaluation; that the instrumentor
// writes the same ones, the count oracle checks on its generated programs.
#include "report/report_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace report {
namespace {

constexpr int kMaxWidth = 12;
constexpr int kDecisions = 2000;
constexpr std::size_t kListedPairs = 16;  // README: the report lists the first 16 pairs

// A decision as the generator builds it. Leaves are the basic conditions,
// numbered left to right; '!' is a logical not.
struct Node {
  char op = '.';  // '.', '&', '|', '!'
  int leaf = -1;
  int left = -1, right = -1;
};

struct Decision {
  std::vector<Node> nodes;
  int root = -1;
  int width = 0;
  std::string prefix;  // "A", "O", "N", "." as the README defines it
};

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random(seed) {}

  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(random() % bound); }

  Decision Make() {
    Decision decision;
    decision.width = 2 + static_cast<int>(Below(kMaxWidth - 1));
    int leaves = 0;
    decision.root = MaybeNot(decision, Build(decision, decision.width, leaves), 6);
    decision.prefix = Prefix(decision, decision.root);
    return decision;
  }

 private:
  int Add(Decision& decision, Node node) {
    decision.nodes.push_back(node);
    return static_cast<int>(decision.nodes.size()) - 1;
  }

  int MaybeNot(Decision& decision, int child, std::uint32_t odds) {
    return Below(odds) == 0 ? Add(decision, Node{'!', -1, child, -1}) : child;
  }

  int Build(Decision& decision, int width, int& leaves) {
    if (width == 1) return MaybeNot(decision, Add(decision, Node{'.', leaves++, -1, -1}), 6);
    const int leftWidth = 1 + static_cast<int>(Below(static_cast<std::uint32_t>(width - 1)));
    const char op = Below(2) == 0 ? '&' : '|';
    const int left = MaybeNot(decision, Build(decision, leftWidth, leaves), 8);
    const int right = MaybeNot(decision, Build(decision, width - leftWidth, leaves), 8);
    return Add(decision, Node{op, -1, left, right});
  }

  static std::string Prefix(const Decision& decision, int index) {
    const Node& node = decision.nodes[index];
    switch (node.op) {
      case '.': return ".";
      case '!': return "N" + Prefix(decision, node.left);
      default: return (node.op == '&' ? "A" : "O") + Prefix(decision, node.left) + Prefix(decision, node.right);
    }
  }

  std::mt19937 random;
};

// Evaluates with C's short-circuit rules; the basic conditions read are
// marked in `row`, those never read stay "X". Bit i of `values` is the value
// of basic condition i.
bool ShortCircuit(const Decision& decision, int index, std::uint32_t values, std::string& row) {
  const Node& node = decision.nodes[index];
  switch (node.op) {
    case '.': {
      const bool value = (values >> node.leaf) & 1u;
      row[node.leaf] = value ? 'T' : 'F';
      return value;
    }
    case '!': return !ShortCircuit(decision, node.left, values, row);
    case '&': return ShortCircuit(decision, node.left, values, row) && ShortCircuit(decision, node.right, values, row);
    default: return ShortCircuit(decision, node.left, values, row) || ShortCircuit(decision, node.right, values, row);
  }
}

struct Evaluation {
  std::string row;
  bool value = false;
};

std::vector<Evaluation> EveryInput(const Decision& decision) {
  std::vector<Evaluation> evaluations(std::size_t{1} << decision.width);
  for (std::uint32_t values = 0; values < evaluations.size(); ++values) {
    Evaluation& evaluation = evaluations[values];
    evaluation.row.assign(static_cast<std::size_t>(decision.width), 'X');
    evaluation.value = ShortCircuit(decision, decision.root, values, evaluation.row);
  }
  return evaluations;
}

using Pairs = std::set<std::pair<std::uint32_t, std::uint32_t>>;  // (true row, false row), ordered

// The pairs showing condition k's independence, from their meaning: two
// evaluations whose input vectors differ in condition k only and whose
// values differ. A true row i and a false row j show it exactly when some
// such two vectors take rows i and j.
Pairs FlippedPairs(const std::vector<Evaluation>& evaluations, const std::vector<std::uint32_t>& rowOf, int k) {
  Pairs pairs;
  const std::uint32_t bit = std::uint32_t{1} << k;
  for (std::uint32_t values = 0; values < evaluations.size(); ++values) {
    if (!(values & bit)) continue;
    const std::uint32_t other = values ^ bit;
    if (evaluations[values].value == evaluations[other].value) continue;
    if (evaluations[values].value) pairs.insert({rowOf[values], rowOf[other]});
    else pairs.insert({rowOf[other], rowOf[values]});
  }
  return pairs;
}

// The report of one FDC block holding the decision's basic conditions (CE,
// ids 0, 2, ...) and the decision itself (CC, after them, its table or
// prefix form `text`), with `hits` as its counts.
Report ReportOf(const Decision& decision, std::string text, std::uint32_t branchCount,
                std::optional<std::uint32_t> trueRows, const std::map<std::uint32_t, std::uint64_t>& hits) {
  CoverageData data;
  CountedUnit& counted = data.units.emplace_back();
  DecisionRecord record{static_cast<std::uint32_t>(2 * decision.width), {}, branchCount, std::move(text), trueRows};
  for (int i = 0; i < decision.width; ++i) {
    const auto id = static_cast<std::uint32_t>(2 * i);
    counted.unit.cases.push_back({id, false, "f", "a" + std::to_string(i), 1, 1});
    counted.counts.conditions[id] = 1;
    counted.counts.conditions[id + 1] = 1;
    record.operands.push_back(id);
  }
  for (const auto& [row, count] : hits) counted.counts.conditions[record.id + row] = count;
  counted.unit.conditionIds = record.id + record.branchCount;
  counted.unit.decisions.push_back(std::move(record));
  return BuildReport(data);
}

const DecisionItem* OnlyDecision(const Report& report) {
  if (report.files.size() != 1 || report.files[0].functions.size() != 1) return nullptr;
  const std::vector<DecisionItem>& decisions = report.files[0].functions[0].decisions;
  return decisions.size() == 1 ? &decisions[0] : nullptr;
}

// The inputs that ran: each input vector with one probability, chosen per
// decision so that some decisions see few vectors and others most.
std::vector<std::uint32_t> RanInputs(Generator& generator, std::size_t inputs) {
  static constexpr std::uint32_t kPercents[] = {2, 10, 30, 60, 90};
  const std::uint32_t percent = kPercents[generator.Below(5)];
  std::vector<std::uint32_t> ran;
  for (std::uint32_t values = 0; values < inputs; ++values) {
    if (generator.Below(100) < percent) ran.push_back(values);
  }
  return ran;
}

TEST(McdcVerdictTest, CaseTableIndependenceVerdicts) {
  Generator generator(20240611);
  for (int n = 0; n < kDecisions && !::testing::Test::HasFailure(); ++n) {
    const Decision decision = generator.Make();
    SCOPED_TRACE(decision.prefix);
    // The table: each distinct row of short-circuit evaluation once, the
    // true ones first.
    const std::vector<Evaluation> evaluations = EveryInput(decision);
    std::map<std::string, bool> distinct;
    for (const Evaluation& evaluation : evaluations) distinct.emplace(evaluation.row, evaluation.value);
    std::map<std::string, std::uint32_t> indexOf;
    std::string cells;
    for (const bool value : {true, false}) {
      for (const auto& [row, rowValue] : distinct) {
        if (rowValue != value) continue;
        indexOf.emplace(row, static_cast<std::uint32_t>(indexOf.size()));
        cells += row;
      }
    }
    const auto trueRows = static_cast<std::uint32_t>(std::count_if(
        distinct.begin(), distinct.end(), [](const auto& row) { return row.second; }));
    const auto rows = static_cast<std::uint32_t>(distinct.size());

    // What ran: the rows taken by a random set of input vectors.
    std::vector<std::uint32_t> rowOf(evaluations.size());
    for (std::uint32_t values = 0; values < evaluations.size(); ++values) rowOf[values] = indexOf[evaluations[values].row];
    std::map<std::uint32_t, std::uint64_t> hits;
    for (const std::uint32_t values : RanInputs(generator, evaluations.size())) ++hits[rowOf[values]];

    const Report report = ReportOf(decision, cells, rows, trueRows, hits);
    ASSERT_NE(OnlyDecision(report), nullptr);
    const DecisionItem& item = *OnlyDecision(report);
    ASSERT_EQ(item.conditions.size(), static_cast<std::size_t>(decision.width));
    EXPECT_EQ(item.observed, hits.size());

    std::uint64_t shown = 0;
    for (int k = 0; k < decision.width; ++k) {
      SCOPED_TRACE("condition " + std::to_string(k));
      const Pairs pairs = FlippedPairs(evaluations, rowOf, k);
      const IndependenceItem& condition = item.conditions[static_cast<std::size_t>(k)];
      std::vector<std::pair<std::uint32_t, std::uint32_t>> listed;
      for (const output::RowPair& pair : condition.pairs) listed.emplace_back(pair.trueRow, pair.falseRow);
      std::vector<std::pair<std::uint32_t, std::uint32_t>> expected(pairs.begin(), pairs.end());
      if (expected.size() > kListedPairs) expected.resize(kListedPairs);
      EXPECT_EQ(listed, expected);
      const auto firstRan = std::find_if(pairs.begin(), pairs.end(), [&](const auto& pair) {
        return hits.count(pair.first) && hits.count(pair.second);
      });
      ASSERT_EQ(condition.shownBy.has_value(), firstRan != pairs.end());
      if (!condition.shownBy) continue;
      ++shown;
      EXPECT_EQ(condition.shownBy->trueRow, firstRan->first);
      EXPECT_EQ(condition.shownBy->falseRow, firstRan->second);
    }
    const Figures& figures = report.files[0].functions[0].figures;
    EXPECT_EQ(figures[Category::kModifiedConditions].covered, shown);
    EXPECT_EQ(figures[Category::kModifiedConditions].total, static_cast<std::uint64_t>(decision.width));
    EXPECT_EQ(figures[Category::kMultipleConditions].covered, hits.size());
    EXPECT_EQ(figures[Category::kMultipleConditions].total, std::uint64_t{rows});
  }
}

// The value of a combination; short-circuit evaluation gives the same.
bool FullValue(const Decision& decision, std::uint32_t values) {
  std::string row(static_cast<std::size_t>(decision.width), 'X');
  return ShortCircuit(decision, decision.root, values, row);
}

TEST(McdcVerdictTest, ForcedDecisionVerdicts) {
  Generator generator(777);
  for (int n = 0; n < kDecisions && !::testing::Test::HasFailure(); ++n) {
    const Decision decision = generator.Make();
    SCOPED_TRACE(decision.prefix);
    const std::uint32_t combinations = std::uint32_t{1} << decision.width;
    std::map<std::uint32_t, std::uint64_t> hits;
    for (const std::uint32_t values : RanInputs(generator, combinations)) hits[values] = 1 + generator.Below(3);

    const Report report = ReportOf(decision, decision.prefix, combinations, std::nullopt, hits);
    ASSERT_NE(OnlyDecision(report), nullptr);
    const DecisionItem& item = *OnlyDecision(report);
    ASSERT_TRUE(item.forced);
    EXPECT_EQ(item.combinations, combinations);
    EXPECT_EQ(item.observed, hits.size());
    // The combinations seen, each with its value.
    ASSERT_EQ(item.rows.size(), hits.size());
    for (const RowItem& row : item.rows) {
      const std::uint32_t values = row.branch - static_cast<std::uint32_t>(2 * decision.width);
      ASSERT_TRUE(hits.count(values)) << row.text;
      EXPECT_EQ(row.count, hits[values]);
      EXPECT_EQ(row.value, FullValue(decision, values)) << row.text;
      for (int i = 0; i < decision.width; ++i) {
        EXPECT_EQ(row.text[static_cast<std::size_t>(i)], (values >> i) & 1u ? 'T' : 'F') << row.text;
      }
    }
    // README: two combinations that ran differ in that condition only and
    // give the decision different values.
    ASSERT_EQ(item.conditions.size(), static_cast<std::size_t>(decision.width));
    std::uint64_t shown = 0;
    for (int k = 0; k < decision.width; ++k) {
      SCOPED_TRACE("condition " + std::to_string(k));
      const std::uint32_t bit = std::uint32_t{1} << k;
      bool expected = false;
      for (const auto& hit : hits) {
        const std::uint32_t values = hit.first;
        expected = expected || (hits.count(values ^ bit) && FullValue(decision, values) != FullValue(decision, values ^ bit));
      }
      const IndependenceItem& condition = item.conditions[static_cast<std::size_t>(k)];
      ASSERT_EQ(condition.shownBy.has_value(), expected);
      if (!expected) continue;
      ++shown;
      // The pair named is a witness: both ran, they differ in k only, the
      // first makes the decision true and the second false.
      const output::RowPair pair = *condition.shownBy;
      EXPECT_EQ(pair.trueRow ^ pair.falseRow, bit);
      EXPECT_TRUE(hits.count(pair.trueRow) && hits.count(pair.falseRow));
      EXPECT_TRUE(FullValue(decision, pair.trueRow));
      EXPECT_FALSE(FullValue(decision, pair.falseRow));
    }
    const Figures& figures = report.files[0].functions[0].figures;
    EXPECT_EQ(figures[Category::kForcedConditions].covered, shown);
    EXPECT_EQ(figures[Category::kForcedConditions].total, static_cast<std::uint64_t>(decision.width));
  }
}

}  // namespace
}  // namespace report
