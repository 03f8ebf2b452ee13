// Conditions: basic conditions as tc() calls, decisions over them, pure
// decisions whose condition values tv() receives beforehand, constants.
#include "generator.h"

namespace oracle {

namespace {

const char* const kRelations[] = {" < ", " > ", " <= ", " >= ", " == ", " != "};

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); i++)
    text += (i ? separator : "") + parts[i];
  return text;
}

std::string Unparen(const std::string& text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')')
    return text;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); i++) {
    depth += text[i] == '(' ? 1 : text[i] == ')' ? -1 : 0;
    if (depth == 0 && i + 1 < text.size())
      return text;
  }
  return text.substr(1, text.size() - 2);
}

}  // namespace

std::string Generator::PureRelation() {
  static const char* const names[] = {"a", "b", "x"};
  if (features_.On("gnu") && rng_.Chance(8)) {
    // short enough for the record's text (32 characters)
    std::string name = names[rng_.Below(3)];
    return "_Generic(" + name + ", unsigned: " + name + ")" + kRelations[rng_.Below(6)] + Constant();
  }
  switch (rng_.Below(3)) {
    case 0:
      return Var(true) + kRelations[rng_.Below(6)] + Constant();
    case 1:
      return "(" + Var(true) + " & " + Constant() + ") != 0u";
    default:
      return Var(true) + kRelations[rng_.Below(6)] + Var(true);
  }
}

std::string Generator::Relation(const Place& place) {
  switch (rng_.Below(8)) {
    case 0:
      // a side effect on an object of its own: no other access to sequence
      return "E[" + std::to_string(Take(1)) + "]++ < " + Constant();
    case 1:
      if (place.depth < 3 && !functions_.empty())
        return GenCall(place, true) + " > " + Constant();
      break;
    case 2:
      if (place.depth < 3)
        return ValueDecision(place);
      break;
    case 3:
      if (features_.On("gnu") && rng_.Chance(40))
        return ComplexRelation();
      break;
    default:
      break;
  }
  return PureRelation();
}

Tree Generator::CallLeaf(const std::string& relation) {
  unsigned k = Take(2);
  Tree leaf;
  leaf.text = "tc(" + std::to_string(k) + ", " + relation + ")";
  leaf.prefix = ".";
  leaf.conditions.push_back(k);
  Add("CE", "tc(" + std::to_string(k) + ",", T(k) + " " + T(k + 1));
  Add("AP", "tc", T(k) + "+" + T(k + 1));
  return leaf;
}

Tree Generator::GenCallTree(const Place& place, int depth, int& budget, const std::string& mustHold) {
  if (!mustHold.empty()) {
    Tree term = CallLeaf(mustHold);
    budget--;
    if (budget <= 0 || rng_.Chance(30))
      return term;
    Tree rest = GenCallTree(place, depth - 1, budget, "");
    bool termFirst = rng_.Chance(50);
    const Tree& a = termFirst ? term : rest;
    const Tree& b = termFirst ? rest : term;
    Tree both;
    both.text = "(" + a.text + " && " + b.text + ")";
    both.prefix = "A" + a.prefix + b.prefix;
    both.conditions = a.conditions;
    both.conditions.insert(both.conditions.end(), b.conditions.begin(), b.conditions.end());
    both.binary = true;
    return both;
  }
  if (depth <= 0 || budget <= 1 || rng_.Chance(35)) {
    budget--;
    return CallLeaf(Relation(place));
  }
  if (rng_.Chance(15)) {
    Tree inner = GenCallTree(place, depth - 1, budget, "");
    inner.text = "!" + (inner.binary ? inner.text : "(" + inner.text + ")");
    if (rng_.Chance(50) && !inner.binary)
      inner.text = "!" + inner.text.substr(2, inner.text.size() - 3);
    inner.prefix = "N" + inner.prefix;
    return inner;
  }
  Tree a = GenCallTree(place, depth - 1, budget, "");
  Tree b = GenCallTree(place, depth - 1, budget, "");
  bool isAnd = rng_.Chance(50);
  Tree both;
  both.text = "(" + a.text + (isAnd ? " && " : " || ") + b.text + ")";
  both.prefix = std::string(isAnd ? "A" : "O") + a.prefix + b.prefix;
  both.conditions = a.conditions;
  both.conditions.insert(both.conditions.end(), b.conditions.begin(), b.conditions.end());
  both.binary = true;
  return both;
}

Tree Generator::GenPureTree(int depth, int& budget, const std::string& mustHold) {
  Tree leaf;
  leaf.prefix = ".";
  if (!mustHold.empty()) {
    leaf.text = mustHold;
    leaf.leaves.push_back(mustHold);
    budget--;
    Tree rest = GenPureTree(depth - 1, budget, "");
    bool termFirst = rng_.Chance(50);
    const Tree& a = termFirst ? leaf : rest;
    const Tree& b = termFirst ? rest : leaf;
    Tree both;
    both.text = "(" + a.text + " && " + b.text + ")";
    both.prefix = "A" + a.prefix + b.prefix;
    both.leaves = a.leaves;
    both.leaves.insert(both.leaves.end(), b.leaves.begin(), b.leaves.end());
    both.binary = true;
    return both;
  }
  if (depth <= 0 || budget <= 1 || rng_.Chance(35)) {
    budget--;
    leaf.text = PureRelation();
    leaf.leaves.push_back(leaf.text);
    return leaf;
  }
  if (rng_.Chance(15)) {
    Tree inner = GenPureTree(depth - 1, budget, "");
    inner.text = "!(" + Unparen(inner.text) + ")";
    inner.prefix = "N" + inner.prefix;
    return inner;
  }
  Tree a = GenPureTree(depth - 1, budget, "");
  Tree b = GenPureTree(depth - 1, budget, "");
  bool isAnd = rng_.Chance(50);
  Tree both;
  both.text = "(" + a.text + (isAnd ? " && " : " || ") + b.text + ")";
  both.prefix = std::string(isAnd ? "A" : "O") + a.prefix + b.prefix;
  both.leaves = a.leaves;
  both.leaves.insert(both.leaves.end(), b.leaves.begin(), b.leaves.end());
  both.binary = true;
  return both;
}

// The count oracle finds a pure decision by its function, its line and the
// text of its conditions: no two on one line may share them.
std::string Generator::PureKey(const Tree& tree) {
  std::string key;
  for (const std::string& leaf : tree.leaves) {
    if (!key.empty())
      key += ';';
    // the record's text abbreviates a _Generic selection
    if (leaf.rfind("_Generic", 0) == 0) {
      key += '*';
      continue;
    }
    for (char c : leaf)
      if (c != ' ')
        key += c;
  }
  return key;
}

bool Generator::PureKeyFree(const Tree& tree) const {
  auto line = pureKeys_.find(out_.NextLineNumber());
  return line == pureKeys_.end() || !line->second.count(PureKey(tree));
}

void Generator::RegisterCallDecision(const Tree& tree, Control& control) {
  unsigned out = Take(2);
  unsigned index = decisions_++;
  std::string table = "D " + std::to_string(out) + " " + tree.prefix;
  for (unsigned k : tree.conditions)
    table += " " + std::to_string(k);
  tables_.push_back(table);
  if (tree.binary)
    Add("CC", std::to_string(index) + " tc " + tree.prefix + " tc(" + std::to_string(tree.conditions[0]) + ",", "0");
  control.whenTrue = T(out);
  control.whenFalse = T(out + 1);
}

// A pure decision: tv() gets every condition's value first, either as a
// statement of its own before the construct (atStatementStart) or as the
// left operand of a comma; `control` when the whole is a controlling
// expression, whose comma expression is then itself a basic condition.
void Generator::PureDecision(const Tree& tree, bool atStatementStart, bool control, Control& result) {
  unsigned width = static_cast<unsigned>(tree.leaves.size());
  unsigned index = decisions_++;
  unsigned out = Take(2);
  unsigned base = Take(4 * width);
  tables_.push_back("P " + std::to_string(out) + " " + tree.prefix + " " + std::to_string(base));
  std::string call = "tv(" + std::to_string(index) + ", " + Join(tree.leaves, ", ") + ")";
  Add("AP", "tv", T(out) + "+" + T(out + 1));
  std::string text = tree.text;
  if (atStatementStart) {
    out_.Put(call + ";");
    out_.EndLine();
    text = Unparen(text);
  }
  pureKeys_[out_.NextLineNumber()].insert(PureKey(tree));
  if (atStatementStart) {
  } else {
    text = "(" + call + ", " + Unparen(text) + ")";
    if (control)
      Add("CE", "tv(" + std::to_string(index) + ",", T(out) + " " + T(out + 1));
  }
  // a _Generic after the first condition keeps quorbcc1 from forcing it
  bool unforced = false;
  for (std::size_t i = 1; i < tree.leaves.size(); i++)
    unforced |= tree.leaves[i].rfind("_Generic", 0) == 0;
  Add("CC", std::to_string(index) + (unforced ? " unforced " : " pure ") + tree.prefix + " " + PureKey(tree), "0");
  for (unsigned i = 0; i < width; i++) {
    unsigned k = base + 4 * i;
    Add("CP", std::to_string(index) + " " + std::to_string(i),
        T(k) + " " + T(k + 1) + " " + T(k + 2) + " " + T(k + 3));
  }
  result.text = text;
  result.whenTrue = T(out);
  result.whenFalse = T(out + 1);
}

Control Generator::GenControl(const Place& place, bool atStatementStart, bool allowConstant,
                              const std::string& mustHold) {
  Control control;
  if (allowConstant && mustHold.empty() && features_.On("const-conditions") && rng_.Chance(8)) {
    control.constant = true;
    control.value = rng_.Chance(50);
    control.text = control.value ? "1" : "0";
    return control;
  }
  int budget = 1 + static_cast<int>(rng_.Below(5));
  if (features_.On("pure-decisions") && rng_.Chance(30)) {
    budget = std::max(budget, 2);
    Tree tree = GenPureTree(3, budget, mustHold);
    if (tree.binary && PureKeyFree(tree)) {
      PureDecision(tree, atStatementStart && rng_.Chance(50), true, control);
      return control;
    }
    budget = 1;
    tree = GenCallTree(place, 0, budget, tree.text);
    RegisterCallDecision(tree, control);
    control.text = tree.text;
    return control;
  }
  Tree tree = GenCallTree(place, 3, budget, mustHold);
  RegisterCallDecision(tree, control);
  control.text = Unparen(tree.text);
  return control;
}

// A decision used as a value: at least one && or ||.
std::string Generator::ValueDecision(const Place& place) {
  Place inner = place;
  inner.depth++;
  Control control;
  if (features_.On("pure-decisions") && rng_.Chance(30)) {
    int budget = 2 + static_cast<int>(rng_.Below(3));
    Tree a = GenPureTree(1, budget, "");
    Tree b = GenPureTree(1, budget, "");
    Tree both;
    bool isAnd = rng_.Chance(50);
    both.text = "(" + a.text + (isAnd ? " && " : " || ") + b.text + ")";
    both.prefix = std::string(isAnd ? "A" : "O") + a.prefix + b.prefix;
    both.leaves = a.leaves;
    both.leaves.insert(both.leaves.end(), b.leaves.begin(), b.leaves.end());
    both.binary = true;
    if (PureKeyFree(both)) {
      PureDecision(both, false, false, control);
      return control.text;
    }
  }
  int budget = 2 + static_cast<int>(rng_.Below(3));
  Tree a = GenCallTree(inner, 1, budget, "");
  Tree b = GenCallTree(inner, 1, budget, "");
  bool isAnd = rng_.Chance(50);
  Tree both;
  both.text = "(" + a.text + (isAnd ? " && " : " || ") + b.text + ")";
  both.prefix = std::string(isAnd ? "A" : "O") + a.prefix + b.prefix;
  both.conditions = a.conditions;
  both.conditions.insert(both.conditions.end(), b.conditions.begin(), b.conditions.end());
  both.binary = true;
  RegisterCallDecision(both, control);
  return both.text;
}

}  // namespace oracle
