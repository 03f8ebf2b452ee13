// Statements: assignments, if, loops, switch, return, jumps, exit, calls.
// Each returns what the instrumenter's walker concludes about it (Flow), so
// that the list can tell where sequence blocks start.
#include "generator.h"

namespace oracle {

Flow JumpFlow(bool fallsThrough) {
  Flow flow;
  flow.mayNotContinue = true;
  flow.neverNext = true;
  flow.fallsThrough = fallsThrough;
  flow.leaves = !fallsThrough;
  return flow;
}

Flow Generator::GenStatement(const Place& place, bool braceless, const std::string& prefix,
                             const std::string& entry, bool allowIf) {
  if (!prefix.empty())
    return GenAssign(place, prefix);
  statements_++;
  bool deep = place.depth >= 3 || statements_ > 25;
  unsigned roll = rng_.Below(100);
  if (roll < 30 || (deep && roll < 60)) {
    if (features_.On("labels") && rng_.Chance(5)) {
      out_.Put(";");
      out_.EndLine();
      return Flow{};
    }
    return GenAssign(place, "");
  }
  if (roll < 38 && current_.isVoid) {
    std::string call = GenCall(place, false);
    if (!call.empty()) {
      out_.Put(call + ";");
      out_.EndLine();
      return Flow{};
    }
  }
  if (roll < 45)
    return GenReturn(place, braceless, entry);
  if (roll < 55)
    return GenJump(place);
  // the guard is an if: not before the else of an enclosing if
  if (roll < 58 && features_.On("goto") && allowIf)
    return GenBackwardGoto(place);
  // only functions without a value exit: they are called as statements, so
  // exit() never cuts an expression (a call marked but not entered) short
  if (roll < 59 && features_.On("exit") && place.depth >= 2 && current_.isVoid)
    return GenExit();
  if (deep || (roll < 78 && !allowIf))
    return GenAssign(place, "");
  if (roll < 78)
    return GenIf(place, !braceless);
  if (roll < 90) {
    std::string label = features_.On("goto-into") && rng_.Chance(50) ? TakeIntoLabel(ChildFloor(place), lists_.size()) : "";
    if (!label.empty())
      return GenGotoLoop(place, label);
    if (place.loops == 0 && features_.On("computed-goto") && rng_.Chance(15))
      return GenComputedGotoLoop(place);
    return GenLoop(place);
  }
  if (roll < 97)
    return features_.On("duff") && rng_.Chance(25) ? GenDuffSwitch(place) : GenSwitch(place);
  return GenCompound(place, "", 1 + static_cast<int>(rng_.Below(3)));
}

Flow Generator::GenAssign(const Place& place, const std::string& prefix) {
  static const char* const ops[] = {" = ", " += ", " ^= ", " |= "};
  std::string target = Lvalue();
  std::string text = target + ops[rng_.Below(4)] + GenExpr(place, 2);
  out_.Put(prefix.empty() ? text + ";" : "(" + prefix + ", " + text + ");");
  out_.EndLine();
  return Flow{};
}

// A then, else or loop body: a compound statement, or one statement without
// braces when allowed. `prefix` is a counter expression the body must run
// first; `entry` the counters of its entries when known.
Flow Generator::GenBody(const Place& place, const std::string& prefix, const std::string& entry,
                        bool allowBraceless, bool allowIf) {
  if (allowBraceless && features_.On("braceless") && rng_.Chance(35))
    return GenStatement(place, true, prefix, entry, allowIf);
  return GenCompound(place, prefix.empty() ? "" : prefix + ";", 1 + static_cast<int>(rng_.Below(4)));
}

Flow Generator::GenIf(const Place& place, bool atStart) {
  Control c = GenControl(place, atStart, true);
  Place inner = place;
  inner.depth++;
  bool hasElse = rng_.Chance(40) || (c.constant && !c.value);
  std::string thenPrefix, elsePrefix;
  std::string thenCount = c.whenTrue, elseCount = c.whenFalse;
  if (c.constant) {
    unsigned k = Take(1);
    (c.value ? thenPrefix : elsePrefix) = "T[" + std::to_string(k) + "]++";
    thenCount = c.value ? T(k) : "0";
    elseCount = c.value ? "0" : T(k);
  }
  if (!hasElse)
    Add("BL", "implicit " + place.path + "/else", elseCount);
  out_.Put("if (" + c.text + ") ");
  inner.path = place.path + "/then";
  Add("BL", "simple " + inner.path, thenCount);
  // an if without braces before this if's else would take the else
  Flow thenFlow = GenBody(inner, thenPrefix, c.constant ? "" : c.whenTrue, true, !hasElse);
  Flow flow;
  if (hasElse) {
    out_.Put("else ");
    inner.path = place.path + "/else";
    Add("BL", "simple " + inner.path, elseCount);
    Flow elseFlow = GenBody(inner, elsePrefix, c.constant ? "" : c.whenFalse, true);
    flow.mayNotContinue = thenFlow.mayNotContinue || elseFlow.mayNotContinue;
    flow.fallsThrough = thenFlow.fallsThrough || elseFlow.fallsThrough;
    flow.leaves = thenFlow.leaves || elseFlow.leaves;
    flow.freeBreak = thenFlow.freeBreak || elseFlow.freeBreak;
    flow.freeContinue = thenFlow.freeContinue || elseFlow.freeContinue;
    return flow;
  }
  flow = thenFlow;
  flow.mayNotContinue = thenFlow.mayNotContinue || thenFlow.leaves || thenFlow.freeBreak || thenFlow.freeContinue;
  flow.fallsThrough = true;
  return flow;
}

// if (tc(k, relation)) jump; with its then block and implicit else.
Flow Generator::GenGuard(const Place& place, const std::string& relation, const std::string& jump) {
  int budget = 1;
  Control c;
  Tree tree = GenCallTree(place, 0, budget, relation);
  RegisterCallDecision(tree, c);
  Add("BL", "implicit " + place.path + "/else", c.whenFalse);
  Add("BL", "simple " + place.path + "/then", c.whenTrue);
  out_.Put("if (" + tree.text + ") " + jump);
  out_.EndLine();
  Flow flow;
  flow.mayNotContinue = true;
  flow.leaves = jump.rfind("goto", 0) == 0;
  flow.freeBreak = jump == "break;";
  return flow;
}

Flow Generator::GenLoop(const Place& place) {
  unsigned kind = rng_.Below(3);  // while, for, do
  static const char* const segments[] = {"/while", "/for", "/do"};
  unsigned id = loops_++;
  std::string n = std::to_string(id), lp = "lp" + n, w = "w" + n;
  bool isDo = kind == 2;
  unsigned branches = Take(isDo ? 2 : 3), body = Take(1);
  bool constant = features_.On("const-conditions") && rng_.Chance(15);
  std::string limit = std::to_string(1 + rng_.Below(3)) + "u";
  out_.Put("{ struct tq_loop " + lp + " __attribute__((cleanup(tq_leave))) = {" + std::to_string(branches) + "u, " +
           (isDo ? "1u" : "0u") + ", 0u}; unsigned " + w + " = 0u;");
  out_.EndLine();
  Place inner = place;
  inner.path = place.path + segments[kind];
  inner.depth++;
  inner.loops++;
  inner.breakable++;
  inner.intoFloor = lists_.size();
  if (isDo) {
    Add("BL", "logical " + inner.path + "/1", T(branches));
    Add("BL", "logical " + inner.path + "/2+", T(branches + 1));
  } else {
    Add("BL", "logical " + inner.path + "/0", T(branches));
    Add("BL", "logical " + inner.path + "/1", T(branches + 1));
    Add("BL", "logical " + inner.path + "/2+", T(branches + 2));
  }
  std::string counter = "T[" + std::to_string(body) + "]++, T[" + std::to_string(branches + (isDo ? 1 : 2)) +
                        "] += ++" + lp + ".n == 2u";
  if (kind != 1 || constant)
    counter += ", " + w + "++";
  std::string term = w + " < " + limit;
  // the clauses are walked under the loop's segment
  Place head = place;
  head.path = inner.path;
  if (kind == 0)
    out_.Put(constant ? "while (1) " : "while (" + GenControl(head, false, false, term).text + ") ");
  else if (isDo)
    out_.Put("do ");
  else if (constant)
    out_.Put("for (;;) ");
  else if (features_.On("clause-decisions") && rng_.Chance(40))
    // decisions in the first and third clauses: plain expressions
    out_.Put("for (" + w + " = 0u, " + Lvalue() + " = " + ValueDecision(head) + "; " +
             GenControl(head, false, false, term).text + "; " + w + "++, " + Lvalue() + " ^= " +
             ValueDecision(head) + ") ");
  else
    out_.Put("for (" + w + " = 0u; " + GenControl(head, false, false, term).text + "; " + w + "++) ");
  Add("BL", "simple " + inner.path, T(body));
  Flow bodyFlow;
  if (constant && !isDo) {
    out_.Put("{");
    out_.EndLine();
    OpenList(inner);
    ListPut(inner, counter + ";", Flow{});
    Note(GenGuard(inner, w + " > " + limit, "break;"));
    int count = 1 + static_cast<int>(rng_.Below(3));
    for (int i = 0; i < count; i++)
      ListStep(inner);
    FlushPending(inner);
    bodyFlow = CloseList();
    out_.Put("}");
    out_.EndLine();
  } else {
    bodyFlow = GenBody(inner, counter, "", true);
  }
  if (isDo)
    out_.Put(constant ? "while (0);" : "while (" + GenControl(head, false, false, term).text + ");");
  if (isDo)
    out_.EndLine();
  out_.Put("}");
  out_.EndLine();
  Flow flow;
  flow.mayNotContinue = bodyFlow.leaves;
  flow.leaves = bodyFlow.leaves;
  return flow;
}

Flow Generator::GenSwitch(const Place& place) {
  // A decision as the control: the cases are its values 0 and 1.
  bool onDecision = features_.On("switch-decision") && rng_.Chance(12);
  std::vector<unsigned> values;
  for (unsigned v = 0; v < (onDecision ? 2u : 8u); v++)
    if (rng_.Chance(onDecision ? 60 : 35))
      values.push_back(v);
  if (values.empty())
    values.push_back(rng_.Below(onDecision ? 2 : 8));
  for (std::size_t i = values.size(); i > 1; i--)
    std::swap(values[i - 1], values[rng_.Below(static_cast<unsigned>(i))]);
  bool hasDefault = rng_.Chance(50);
  bool bare = !hasDefault && values.size() == 1 && features_.On("bare-switch-label") && rng_.Chance(30);
  unsigned k = Take(2 + static_cast<unsigned>(values.size()));
  std::string control, unmatched = T(k + 1);
  if (onDecision) {
    Control c;
    c.text = ValueDecision(place);
    // ValueDecision registered the decision; its outcomes come from the
    // table entry just made.
    std::string whenTrue = "T" + tables_.back().substr(2, tables_.back().find(' ', 2) - 2);
    unsigned out = static_cast<unsigned>(std::stoul(whenTrue.substr(1)));
    unmatched = values.size() == 2 ? "0" : values[0] == 1 ? T(out + 1) : T(out);
    control = c.text;
  } else {
    std::string table = "S " + std::to_string(k);
    for (unsigned v : values)
      table += " " + std::to_string(v);
    tables_.push_back(table);
    Add("AP", "tq_sw", T(k));
    control = "tq_sw(" + std::to_string(k) + "u, " + GenExpr(place, 1) + " & 7u)";
  }
  if (!hasDefault) {
    Add("CA", "implicitdefault", unmatched);
    Add("BL", "implicit " + place.path + "/default", unmatched);
  }
  if (bare) {
    unsigned c = Take(1);
    Add("CA", "case" + std::to_string(values[0]), T(c));
    Add("BL", "simple " + place.path + "/case", T(c));
    out_.Put("switch (" + control + ") case " + std::to_string(values[0]) + ": (T[" + std::to_string(c) + "]++, " +
             Lvalue() + " += 10u);");
    out_.EndLine();
    return Flow{};
  }
  out_.Put("switch (" + control + ") {");
  out_.EndLine();
  Place inner = place;
  inner.depth++;
  inner.breakable++;
  // a declaration before the first label would never be initialised
  OpenList(inner, false);
  unsigned defaultAt = rng_.Below(static_cast<unsigned>(values.size()) + 1);
  bool brokeOff = true;  // the previous section cannot fall into the next label
  bool defaultPlaced = !hasDefault;
  for (unsigned s = 0, v = 0; v < values.size() || !defaultPlaced; s++) {
    unsigned c = Take(1);
    bool isDefault = !defaultPlaced && (s == defaultAt || v >= values.size());
    defaultPlaced |= isDefault;
    bool glued = false;
    std::string label = isDefault ? "default" : "case " + std::to_string(values[v]);
    // case a:case b: with no statement between; a is entered only by the
    // switch itself when nothing falls into it
    if (!isDefault && v + 1 < values.size() && brokeOff && !onDecision &&
        features_.On("glued-cases") && rng_.Chance(20)) {
      Add("CA", "case" + std::to_string(values[v]), T(k + 2 + v));
      label += ":case " + std::to_string(values[v + 1]);
      v++;
      glued = true;
    }
    std::string last = isDefault ? "default" : "case" + std::to_string(values[v++]);
    Add("CA", last, T(c));
    // the inner label is walked as the outer one's statement
    Add("BL", "simple " + place.path + (isDefault ? "/default" : glued ? "/case/case" : "/case"), T(c));
    out_.Put(label + ": T[" + std::to_string(c) + "]++;");
    out_.EndLine();
    Note(Flow{});
    unsigned count = rng_.Below(3);
    for (unsigned i = 0; i < count; i++)
      ListStep(inner);
    brokeOff = rng_.Chance(60);
    if (brokeOff)
      ListPut(inner, "break;", JumpFlow(true));
    else
      brokeOff = lists_.back().last.mayNotContinue && !lists_.back().last.fallsThrough;
  }
  FlushPending(inner);
  Flow body = CloseList();
  out_.Put("}");
  out_.EndLine();
  Flow flow;
  flow.mayNotContinue = body.leaves || body.freeContinue;
  flow.fallsThrough = !(hasDefault && !body.freeBreak && !body.fallsThrough);
  flow.leaves = body.leaves;
  flow.freeContinue = body.freeContinue;
  return flow;
}

Flow Generator::GenReturn(const Place& place, bool braceless, const std::string& entry) {
  if (!current_.isVoid) {
    unsigned k = Take(1);
    Add("PR", "return", T(k));
    out_.Put("return (T[" + std::to_string(k) + "]++, " + GenExpr(place, 2) + ");");
    out_.EndLine();
    return JumpFlow(false);
  }
  if (braceless) {
    if (entry.empty())
      return GenAssign(place, "");
    Add("PR", "return", entry);
    out_.Put("return;");
    out_.EndLine();
    return JumpFlow(false);
  }
  unsigned k = Take(1);
  Add("PR", "return", T(k));
  out_.Put("T[" + std::to_string(k) + "]++; return;");
  out_.EndLine();
  return JumpFlow(false);
}

Flow Generator::GenJump(const Place& place) {
  unsigned roll = rng_.Below(3);
  if (roll == 0 && place.breakable > 0) {
    out_.Put("break;");
    out_.EndLine();
    Flow flow = JumpFlow(true);
    flow.freeBreak = true;
    return flow;
  }
  if (roll == 1 && place.loops > 0) {
    out_.Put("continue;");
    out_.EndLine();
    Flow flow = JumpFlow(true);
    flow.freeContinue = true;
    return flow;
  }
  if (!features_.On("goto") || lists_.empty())
    return GenAssign(place, "");
  std::string label = "L" + std::to_string(labels_++);
  if (features_.On("goto-into") && rng_.Chance(40))
    lists_.back().into.push_back(label);
  else
    lists_[rng_.Below(static_cast<unsigned>(lists_.size()))].pending.push_back(label);
  out_.Put("goto " + label + ";");
  out_.EndLine();
  return JumpFlow(false);
}

Flow Generator::GenBackwardGoto(const Place& place) {
  std::vector<std::string> targets;
  for (const ListFrame& frame : lists_)
    targets.insert(targets.end(), frame.labels.begin(), frame.labels.end());
  if (targets.empty())
    return GenAssign(place, "");
  std::string target = targets[rng_.Below(static_cast<unsigned>(targets.size()))];
  return GenGuard(place, "fuel++ < 2u", "goto " + target + ";");
}

Flow Generator::GenExit() {
  unsigned k = Take(1);
  Add("AP", "exit", T(k));
  Add("PR", "term", T(k));
  out_.Put("exit((T[" + std::to_string(k) + "]++, 3));");
  out_.EndLine();
  return JumpFlow(false);
}

}  // namespace oracle
