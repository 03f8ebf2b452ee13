// Constructs that jumps enter from outside: loops holding the target of a
// goto or the case labels of their switch (Duff's device), blocks entered by
// a forward goto. quorbcc1 gives such loops no iteration branches; their
// iterations are bounded by the function's jw, advanced at every entry into
// the body from its top and at every case label in it.
#include "generator.h"

namespace oracle {

std::size_t Generator::ChildFloor(const Place& place) const {
  return std::max(place.intoFloor, lists_.empty() ? std::size_t{0} : lists_.back().floor);
}

// A label of a forward goto written in a list of [floor, end), to be placed
// deeper; empty when none waits.
std::string Generator::TakeIntoLabel(std::size_t floor, std::size_t end) {
  std::vector<std::size_t> candidates;
  for (std::size_t j = floor; j < end && j < lists_.size(); j++)
    if (!lists_[j].into.empty())
      candidates.push_back(j);
  if (candidates.empty())
    return "";
  std::vector<std::string>& into = lists_[candidates[rng_.Below(static_cast<unsigned>(candidates.size()))]].into;
  std::string label = into.back();
  into.pop_back();
  return label;
}

Flow Generator::GenEnteredLoop(const Place& place, const std::function<void(const Place&)>& fill) {
  static const char* const segments[] = {"/while", "/for", "/do"};
  unsigned kind = rng_.Below(3);
  unsigned body = Take(1);
  std::string term = "jw < " + std::to_string(3 + rng_.Below(6)) + "u";
  Place inner = place;
  inner.path = place.path + segments[kind];
  inner.depth++;
  inner.loops++;
  inner.breakable++;
  // the clauses are walked under the loop's segment
  Place head = place;
  head.path = inner.path;
  if (kind == 0)
    out_.Put("while (" + GenControl(head, false, false, term).text + ") ");
  else if (kind == 1)
    out_.Put("for (; " + GenControl(head, false, false, term).text + "; jw++) ");
  else
    out_.Put("do ");
  Add("BL", "simple " + inner.path, T(body));
  out_.Put("{");
  out_.EndLine();
  OpenList(inner, false);
  ListPut(inner, "T[" + std::to_string(body) + "]++, jw++;", Flow{});
  fill(inner);
  FlushPending(inner);
  Flow bodyFlow = CloseList();
  out_.Put("}");
  if (kind == 2)
    out_.Put(" while (" + GenControl(head, false, false, term).text + ");");
  out_.EndLine();
  Flow flow;
  flow.mayNotContinue = bodyFlow.leaves;
  flow.leaves = bodyFlow.leaves;
  return flow;
}

// A loop whose body holds the label of a goto written before it.
Flow Generator::GenGotoLoop(const Place& place, const std::string& label) {
  return GenEnteredLoop(place, [this, label](const Place& inner) {
    unsigned before = rng_.Below(3), after = rng_.Below(2);
    for (unsigned i = 0; i < before; i++)
      ListStep(inner);
    SequenceBlock(inner);
    out_.Put(label + ": ");
    lists_.back().labels.push_back(label);
    Note(GenStatement(inner, false, "", ""));
    for (unsigned i = 0; i < after; i++)
      ListStep(inner);
  });
}

// `label` ("case 3", "default") of the innermost switch; the labelled
// statement `text` counts, with `count`, every pass through the label.
void Generator::CaseLabel(const Place& place, const std::string& label, const std::string& count,
                          const std::string& text) {
  std::string name = label == "default" ? "default" : "case" + label.substr(5);
  Add("CA", name, count);
  Add("BL", "simple " + place.path + (label == "default" ? "/default" : "/case"), count);
  out_.Put(label + ": " + text);
  out_.EndLine();
  Note(Flow{});
}

// switch (v) { case 0: do { ... case 1: ... if (c) { case 2: ... } } while (...); break; case 3: ... }
Flow Generator::GenDuffSwitch(const Place& place) {
  std::vector<std::string> labels;
  std::vector<unsigned> values;
  for (unsigned v = 0; v < 8; v++)
    if (rng_.Chance(40))
      values.push_back(v);
  if (values.size() < 2)
    values = {rng_.Below(4), 4 + rng_.Below(4)};
  bool hasDefault = rng_.Chance(40);
  unsigned k = Take(2 + static_cast<unsigned>(values.size()));
  std::string table = "S " + std::to_string(k);
  std::vector<std::string> dispatched;  // counter of each label's dispatches
  for (unsigned j = 0; j < values.size(); j++) {
    table += " " + std::to_string(values[j]);
    labels.push_back("case " + std::to_string(values[j]));
    dispatched.push_back(T(k + 2 + j));
  }
  tables_.push_back(table);
  if (hasDefault) {
    labels.push_back("default");
    dispatched.push_back(T(k + 1));
  }
  for (std::size_t i = labels.size(); i > 1; i--) {
    unsigned j = rng_.Below(static_cast<unsigned>(i));
    std::swap(labels[i - 1], labels[j]);
    std::swap(dispatched[i - 1], dispatched[j]);
  }
  Add("AP", "tq_sw", T(k));
  if (!hasDefault) {
    Add("CA", "implicitdefault", T(k + 1));
    Add("BL", "implicit " + place.path + "/default", T(k + 1));
  }
  out_.Put("switch (tq_sw(" + std::to_string(k) + "u, " + GenExpr(place, 1) + " & 7u)) {");
  out_.EndLine();
  Place inner = place;
  inner.depth++;
  inner.breakable++;
  OpenList(inner, false);
  // where each label after the first goes: 0 the loop body, 1 an if in it,
  // 2 a section after the loop
  std::vector<std::size_t> where[3];
  for (std::size_t i = 1; i < labels.size(); i++)
    where[rng_.Chance(55) ? 0 : rng_.Chance(60) ? 1 : 2].push_back(i);
  // at least one label inside the loop, which makes it entered from outside
  if (where[0].empty() && where[1].empty()) {
    where[0].push_back(where[2].front());
    where[2].erase(where[2].begin());
  }
  // The first label, at times on the loop itself: nothing falls into it, so
  // its dispatches count it; the loop is then walked under its segment.
  Place loopPlace = inner;
  if (rng_.Chance(50)) {
    std::string segment = labels[0] == "default" ? "/default" : "/case";
    loopPlace.path += segment;
    Add("CA", labels[0] == "default" ? "default" : "case" + labels[0].substr(5), dispatched[0]);
    Add("BL", "simple " + loopPlace.path, dispatched[0]);
    out_.Put(labels[0] + ": ");
  } else {
    unsigned c = Take(1);
    CaseLabel(inner, labels[0], T(c), "T[" + std::to_string(c) + "]++;");
  }
  Flow loopFlow = GenEnteredLoop(loopPlace, [&](const Place& body) {
    std::vector<std::size_t> slots = where[0];
    if (!where[1].empty())
      slots.push_back(labels.size());  // the if
    for (std::size_t slot : slots) {
      if (rng_.Chance(50))
        ListStep(body);
      if (slot < labels.size()) {
        unsigned c = Take(1);
        CaseLabel(body, labels[slot], T(c), "T[" + std::to_string(c) + "]++, jw++;");
        continue;
      }
      SequenceBlock(body);
      Control cond = GenControl(body, true, false);
      Place then = body;
      then.path = body.path + "/then";
      then.depth++;
      Add("BL", "implicit " + body.path + "/else", cond.whenFalse);
      Add("BL", "simple " + then.path, cond.whenTrue);
      out_.Put("if (" + cond.text + ") {");
      out_.EndLine();
      OpenList(then, false);
      for (std::size_t i : where[1]) {
        if (rng_.Chance(50))
          ListStep(then);
        unsigned c = Take(1);
        CaseLabel(then, labels[i], T(c), "T[" + std::to_string(c) + "]++, jw++;");
      }
      if (rng_.Chance(50))
        ListStep(then);
      FlushPending(then);
      Flow thenFlow = CloseList();
      out_.Put("}");
      out_.EndLine();
      Flow flow = thenFlow;
      flow.mayNotContinue = thenFlow.mayNotContinue || thenFlow.leaves || thenFlow.freeBreak || thenFlow.freeContinue;
      flow.fallsThrough = true;
      Note(flow);
    }
    if (rng_.Chance(50))
      ListStep(body);
  });
  Note(loopFlow);
  for (std::size_t i : where[2]) {
    if (rng_.Chance(60))
      ListPut(inner, "break;", JumpFlow(true));
    unsigned c = Take(1);
    CaseLabel(inner, labels[i], T(c), "T[" + std::to_string(c) + "]++;");
    if (rng_.Chance(50))
      ListStep(inner);
  }
  if (rng_.Chance(50))
    ListPut(inner, "break;", JumpFlow(true));
  FlushPending(inner);
  Flow bodyFlow = CloseList();
  out_.Put("}");
  out_.EndLine();
  Flow flow;
  flow.mayNotContinue = bodyFlow.leaves || bodyFlow.freeContinue;
  flow.fallsThrough = !(hasDefault && !bodyFlow.freeBreak && !bodyFlow.fallsThrough);
  flow.leaves = bodyFlow.leaves;
  flow.freeContinue = bodyFlow.freeContinue;
  return flow;
}

}  // namespace oracle
