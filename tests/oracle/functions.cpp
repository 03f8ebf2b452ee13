// Functions and main: entry counters, returns, a reachable closing brace.
#include "generator.h"

namespace oracle {

void Generator::GenFunction(unsigned index) {
  current_ = FunctionInfo{"f" + std::to_string(index), rng_.Chance(35)};
  vars_ = {"x", "y", "z"};
  lists_.clear();
  statements_ = 0;
  unsigned entry = Take(1);
  Add("PR", "proc", T(entry));
  Add("BL", "simple -", T(entry));
  out_.Put(std::string(current_.isVoid ? "void " : "unsigned ") + current_.name + "(unsigned s, unsigned a, unsigned b) {");
  out_.EndLine();
  Place place;
  lists_.push_back(ListFrame{});
  lists_.back().varMarks.push_back(vars_.size());
  ListPut(place, "unsigned x = a ^ 5u, y = b + 1u, z = 3u, fuel = 0u, jw = 0u;", Flow{});
  ListPut(place, "T[" + std::to_string(entry) + "]++, T[s]++;", Flow{});
  int count = 2 + static_cast<int>(rng_.Below(5));
  for (int i = 0; i < count; i++)
    ListStep(place);
  FlushPending(place);
  SequenceBlock(place);
  if (!current_.isVoid) {
    unsigned k = Take(1);
    Add("PR", "return", T(k));
    ListPut(place, "return (T[" + std::to_string(k) + "]++, x ^ y ^ z);", Flow{});
  } else if (lists_.back().last.fallsThrough) {
    unsigned k = Take(1);
    ListPut(place, "T[" + std::to_string(k) + "]++;", Flow{});
    Add("PR", "endproc", T(k));
  }
  CloseList();
  out_.Put("}");
  out_.EndLine();
  functions_.push_back(current_);
}

void Generator::GenMain() {
  current_ = FunctionInfo{"main", false};
  vars_.clear();
  lists_.clear();
  unsigned entry = Take(1);
  Add("PR", "proc", T(entry));
  Add("BL", "simple -", T(entry));
  out_.Put("int main(void) {");
  out_.EndLine();
  out_.Put("T[" + std::to_string(entry) + "]++;");
  out_.EndLine();
  for (std::size_t i = functions_.size(); i-- > 0;) {
    if (i + 3 < functions_.size() && rng_.Chance(50))
      continue;
    const FunctionInfo& f = functions_[i];
    unsigned site = Take(1);
    Add("AP", f.name, T(site));
    std::string call = f.name + "(" + std::to_string(site) + "u, " + std::to_string(rng_.Below(10)) + "u, " +
                       std::to_string(rng_.Below(10)) + "u)";
    out_.Put(f.isVoid ? call + ";" : "g" + std::to_string(i % 4) + " += " + call + ";");
    out_.EndLine();
  }
  unsigned k = Take(1);
  Add("PR", "return", T(k));
  out_.Put("return (T[" + std::to_string(k) + "]++, 0);");
  out_.EndLine();
  out_.Put("}");
  out_.EndLine();
}

}  // namespace oracle
