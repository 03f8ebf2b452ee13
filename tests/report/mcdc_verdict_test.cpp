// Random decisions of up to 12 basic conditions over &&, ||, ! and
// parentheses, checked against an evaluator written from the definitions:
// the instrumentor's case table must hold exactly the distinct rows of
// short-circuit evaluation, true rows first; the report's verdict on each
// basic condition, for a random set of evaluations that ran, must match the
// independence pairs found by flipping one condition of an input vector
// (for a case table) or the README's rule for forced decisions.
#include "frontend/parser_fixture.h"
#include "instrument/composition.h"
#include "report/report_model.h"

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
constexpr int kDecisionsPerSource = 100;
constexpr std::size_t kListedPairs = 16;  // README: the report lists the first 16 pairs

// A decision as the generator builds it. Leaves are the basic conditions,
// numbered left to right; '(' is a parenthesis, '!' a logical not.
struct Node {
  char op = '.';  // '.', '&', '|', '!', '('
  int leaf = -1;
  int left = -1, right = -1;
};

struct Decision {
  std::vector<Node> nodes;
  int root = -1;
  int width = 0;
  std::string text;
  std::string prefix;  // "A", "O", "N", "." as the README defines it
};

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random(seed) {}

  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(random() % bound); }

  Decision Make(int width) {
    Decision decision;
    decision.width = width;
    int leaves = 0;
    decision.root = Build(decision, width, leaves);
    if (Below(6) == 0) decision.root = Wrap(decision, '!', Wrap(decision, '(', decision.root));
    decision.text = Text(decision, decision.root);
    decision.prefix = Prefix(decision, decision.root);
    return decision;
  }

 private:
  int Add(Decision& decision, Node node) {
    decision.nodes.push_back(node);
    return static_cast<int>(decision.nodes.size()) - 1;
  }

  int Wrap(Decision& decision, char op, int child) { return Add(decision, Node{op, -1, child, -1}); }

  // C precedence decides where parentheses are needed: a binary operand on
  // the right (the operators group to the left), an || under an &&, a
  // binary operand of !. Elsewhere they are added at random.
  int Operand(Decision& decision, int child, bool needed) {
    if (needed || Below(5) == 0) child = Wrap(decision, '(', child);
    if (Below(8) == 0) child = Wrap(decision, '!', Wrap(decision, '(', child));
    return child;
  }

  int Build(Decision& decision, int width, int& leaves) {
    if (width == 1) {
      const int leaf = Add(decision, Node{'.', leaves++, -1, -1});
      return Below(6) == 0 ? Wrap(decision, '!', leaf) : leaf;
    }
    const int leftWidth = 1 + static_cast<int>(Below(static_cast<std::uint32_t>(width - 1)));
    const char op = Below(2) == 0 ? '&' : '|';
    int left = Build(decision, leftWidth, leaves);
    int right = Build(decision, width - leftWidth, leaves);
    const auto binary = [&](int node) { return decision.nodes[node].op == '&' || decision.nodes[node].op == '|'; };
    left = Operand(decision, left, op == '&' && decision.nodes[left].op == '|');
    right = Operand(decision, right, binary(right));
    return Add(decision, Node{op, -1, left, right});
  }

  // A basic condition's text; under a ! it must be a primary expression.
  std::string Leaf(int leaf, bool primary) {
    const std::string name = "a" + std::to_string(leaf);
    std::string text;
    switch (Below(4)) {
      case 0: text = name + " > 1"; break;
      case 1: text = name + " == a" + std::to_string((leaf + 1) % kMaxWidth); break;
      case 2: return "(" + name + " & 4)";
      default: return name;
    }
    return primary ? "(" + text + ")" : text;
  }

  std::string Text(const Decision& decision, int index, bool primary = false) {
    const Node& node = decision.nodes[index];
    switch (node.op) {
      case '.': return Leaf(node.leaf, primary);
      case '!': return "!" + Text(decision, node.left, true);
      case '(': return "(" + Text(decision, node.left) + ")";
      default:
        return Text(decision, node.left) + (node.op == '&' ? " && " : " || ") + Text(decision, node.right);
    }
  }

  static std::string Prefix(const Decision& decision, int index) {
    const Node& node = decision.nodes[index];
    switch (node.op) {
      case '.': return ".";
      case '!': return "N" + Prefix(decision, node.left);
      case '(': return Prefix(decision, node.left);
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
    case '(': return ShortCircuit(decision, node.left, values, row);
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

// One FDC block holding the decision's basic conditions (CE, ids 0, 2, ...)
// and the decision itself (CC, after them), with `hits` as its counts.
CountedUnit UnitOf(const Decision& decision, const DecisionRecord& record,
                   const std::map<std::uint32_t, std::uint64_t>& hits) {
  CountedUnit counted;
  for (int i = 0; i < decision.width; ++i) {
    const auto id = static_cast<std::uint32_t>(2 * i);
    counted.unit.cases.push_back({id, false, "f", "a" + std::to_string(i), 1, 1});
    counted.counts.conditions[id] = 1;
    counted.counts.conditions[id + 1] = 1;
  }
  counted.unit.decisions.push_back(record);
  for (const auto& [row, count] : hits) counted.counts.conditions[record.id + row] = count;
  counted.unit.conditionIds = record.id + record.branchCount;
  return counted;
}

DecisionRecord RecordOf(const Decision& decision, std::string text, std::uint32_t branchCount,
                        std::optional<std::uint32_t> trueRows) {
  DecisionRecord record;
  record.id = static_cast<std::uint32_t>(2 * decision.width);
  for (int i = 0; i < decision.width; ++i) record.operands.push_back(static_cast<std::uint32_t>(2 * i));
  record.branchCount = branchCount;
  record.text = std::move(text);
  record.trueRows = trueRows;
  return record;
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

class McdcVerdictTest : public frontend::ParserFixture {
 protected:
  // Parses one function per decision and hands each decision's expression
  // node to `check`.
  template <typename Check>
  void ForEachDecision(std::uint32_t seed, Check check) {
    Generator generator(seed);
    for (int batch = 0; batch < kDecisions / kDecisionsPerSource; ++batch) {
      std::vector<Decision> decisions;
      std::string source;
      for (int i = 0; i < kDecisionsPerSource; ++i) {
        decisions.push_back(generator.Make(2 + static_cast<int>(generator.Below(kMaxWidth - 1))));
        source += "int f" + std::to_string(batch) + "_" + std::to_string(i) + "(int a0";
        for (int a = 1; a < kMaxWidth; ++a) source += ", int a" + std::to_string(a);
        source += ") { return " + decisions.back().text + "; }\n";
      }
      ASSERT_EQ(Parse(source), 0) << shown;
      const frontend::TreeNode* function = ItemNode(0);
      for (const Decision& decision : decisions) {
        const frontend::TreeNode* expression = function->sons->next->sons->sons;  // body, RETURN, expression
        check(decision, expression, generator);
        if (::testing::Test::HasFailure()) return;
        function = function->next;
      }
    }
  }
};

TEST_F(McdcVerdictTest, CaseTablesAndIndependenceVerdicts) {
  ForEachDecision(20240611, [](const Decision& decision, const frontend::TreeNode* expression, Generator& generator) {
    SCOPED_TRACE(decision.text);
    const instrument::Composition composition = instrument::ComposeCases(expression);
    const instrument::CaseTable& table = composition.table;
    ASSERT_EQ(table.width, static_cast<std::uint32_t>(decision.width));
    ASSERT_EQ(table.cells.size(), std::size_t{table.rows} * table.width);

    // The table holds each distinct row of short-circuit evaluation once,
    // the true ones first.
    const std::vector<Evaluation> evaluations = EveryInput(decision);
    std::map<std::string, bool> distinct;
    for (const Evaluation& evaluation : evaluations) distinct.emplace(evaluation.row, evaluation.value);
    ASSERT_EQ(table.rows, distinct.size());
    std::map<std::string, std::uint32_t> indexOf;
    for (std::uint32_t row = 0; row < table.rows; ++row) {
      const std::string text(table.Row(row));
      ASSERT_TRUE(distinct.count(text)) << "row " << text << " is no evaluation";
      ASSERT_TRUE(indexOf.emplace(text, row).second) << "row " << text << " twice";
      EXPECT_EQ(distinct[text], row < composition.trueRows) << "row " << row << " " << text;
    }
    const auto trueCount = std::count_if(distinct.begin(), distinct.end(), [](const auto& row) { return row.second; });
    EXPECT_EQ(composition.trueRows, static_cast<std::uint32_t>(trueCount));

    // What ran: the rows taken by a random set of input vectors.
    std::vector<std::uint32_t> rowOf(evaluations.size());
    for (std::uint32_t values = 0; values < evaluations.size(); ++values) rowOf[values] = indexOf[evaluations[values].row];
    std::map<std::uint32_t, std::uint64_t> hits;
    for (const std::uint32_t values : RanInputs(generator, evaluations.size())) ++hits[rowOf[values]];

    CoverageData data;
    data.units.push_back(UnitOf(decision, RecordOf(decision, table.cells, table.rows, composition.trueRows), hits));
    const Report report = BuildReport(data);
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
    EXPECT_EQ(figures[Category::kMultipleConditions].total, std::uint64_t{table.rows});
  });
}

// The value of a combination; short-circuit evaluation gives the same.
bool FullValue(const Decision& decision, std::uint32_t values) {
  std::string row(static_cast<std::size_t>(decision.width), 'X');
  return ShortCircuit(decision, decision.root, values, row);
}

TEST_F(McdcVerdictTest, ForcedDecisionVerdicts) {
  ForEachDecision(777, [](const Decision& decision, const frontend::TreeNode* expression, Generator& generator) {
    SCOPED_TRACE(decision.text);
    ASSERT_EQ(instrument::PrefixForm(expression), decision.prefix);
    const std::uint32_t combinations = std::uint32_t{1} << decision.width;
    std::map<std::uint32_t, std::uint64_t> hits;
    for (const std::uint32_t values : RanInputs(generator, combinations)) hits[values] = 1 + generator.Below(3);

    CoverageData data;
    data.units.push_back(UnitOf(decision, RecordOf(decision, decision.prefix, combinations, std::nullopt), hits));
    const Report report = BuildReport(data);
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
        expected = expected || (hits.count(values ^ bit) &&
                                FullValue(decision, values) !=
                                    FullValue(decision, values ^ bit));
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
  });
}

}  // namespace
}  // namespace report
