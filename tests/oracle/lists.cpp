// Statement lists: sequence blocks after statements that may not continue,
// labels (targets of gotos waiting for them, or unused), block-scope
// declarations at the start of a list.
#include "generator.h"

namespace oracle {

void Generator::OpenList(const Place& place, bool allowDeclaration) {
  lists_.push_back(ListFrame{});
  lists_.back().varMarks.push_back(vars_.size());
  if (!allowDeclaration || !features_.On("declarations") || !rng_.Chance(30) || place.depth > 3)
    return;
  std::string name = "v" + std::to_string(labels_++);
  std::string init = GenExpr(place, 1);
  vars_.push_back(name);
  out_.Put("unsigned " + name + " = " + init + ";");
  out_.EndLine();
  lists_.back().any = true;
}

void Generator::Note(const Flow& flow) {
  ListFrame& frame = lists_.back();
  frame.last = flow;
  frame.any = true;
  frame.gathered.leaves |= flow.leaves;
  frame.gathered.freeBreak |= flow.freeBreak;
  frame.gathered.freeContinue |= flow.freeContinue;
}

// The statement after one that may not continue starts a sequence block,
// counted when control reaches it from above, not through a label on it.
void Generator::SequenceBlock(const Place& place) {
  ListFrame& frame = lists_.back();
  if (!frame.any || !frame.last.mayNotContinue)
    return;
  unsigned k = Take(1);
  Add("BL", "simple " + place.path + "/seq", T(k));
  out_.Put("T[" + std::to_string(k) + "]++;");
  out_.EndLine();
  Note(Flow{});
}

void Generator::ListPut(const Place& place, const std::string& text, const Flow& flow) {
  SequenceBlock(place);
  out_.Put(text);
  out_.EndLine();
  Note(flow);
}

void Generator::ListStep(const Place& place) {
  SequenceBlock(place);
  ListFrame& frame = lists_.back();
  if (!frame.pending.empty() && rng_.Chance(40)) {
    out_.Put(frame.pending.back() + ": ");
    frame.labels.push_back(frame.pending.back());
    frame.pending.pop_back();
  } else if (rng_.Chance(8)) {
    std::string label = "L" + std::to_string(labels_++);
    out_.Put(label + ": ");
    frame.labels.push_back(label);
  }
  Note(GenStatement(place, false, "", ""));
}

void Generator::FlushPending(const Place& place) {
  while (!lists_.back().pending.empty()) {
    SequenceBlock(place);
    std::string label = lists_.back().pending.back();
    lists_.back().pending.pop_back();
    lists_.back().labels.push_back(label);
    out_.Put(label + ": z += 1u;");
    out_.EndLine();
    Note(Flow{});
  }
}

Flow Generator::CloseList() {
  ListFrame frame = std::move(lists_.back());
  lists_.pop_back();
  vars_.resize(frame.varMarks.front());
  Flow flow = frame.gathered;
  flow.mayNotContinue = frame.last.mayNotContinue;
  flow.fallsThrough = frame.last.fallsThrough;
  return flow;
}

Flow Generator::GenCompound(const Place& place, const std::string& firstLine, int count) {
  out_.Put("{");
  out_.EndLine();
  OpenList(place);
  if (!firstLine.empty())
    ListPut(place, firstLine, Flow{});
  for (int i = 0; i < count; i++)
    ListStep(place);
  FlushPending(place);
  Flow flow = CloseList();
  out_.Put("}");
  out_.EndLine();
  return flow;
}

}  // namespace oracle
