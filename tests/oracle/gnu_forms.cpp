// GNU C forms: complex parts in conditions, __extension__, __typeof__,
// computed gotos through a table of label addresses.
#include "generator.h"

namespace oracle {

// __imag__ ((__complex__ double)x * 1.0i) >= 3.0: exact for small values.
std::string Generator::ComplexRelation() {
  static const char* const relations[] = {" < ", " > ", " <= ", " >= ", " == ", " != "};
  std::string value = "(__complex__ double)" + Var(true);
  std::string part = rng_.Chance(50) ? "__imag__ (" + value + " * 1.0i)" : "__real__ (" + value + " + 2.0i)";
  return part + relations[rng_.Below(6)] + std::to_string(rng_.Below(12)) + ".0";
}

// __typeof__ does not evaluate its operand: what it holds gets no records
// and never runs.
std::string Generator::TypeofName(const Place& place) {
  quiet_++;
  std::string operand = ValueDecision(place);
  quiet_--;
  return "__typeof__((" + operand + ") + 0u)";
}

// A loop (in no other loop) whose body jumps through a table of label
// addresses to one of two labels after the jump: quorbcc1 gives it no
// iteration branches. The sequence block after the jump starts behind the
// first label and counts every arrival there.
Flow Generator::GenComputedGotoLoop(const Place& place) {
  return GenEnteredLoop(place, [this](const Place& inner) {
    std::string n = std::to_string(labels_++);
    std::string table = "q" + n, first = "La" + n, second = "Lb" + n;
    ListPut(inner, "void *const " + table + "[] = { &&" + first + ", &&" + second + " };", Flow{});
    // a goto from outside must not skip the table
    lists_.back().floor = lists_.size() - 1;
    if (rng_.Chance(50))
      ListStep(inner);
    SequenceBlock(inner);
    out_.Put("goto *" + table + "[" + GenExpr(inner, 1) + " & 1u];");
    out_.EndLine();
    Note(JumpFlow(false));
    for (const std::string& label : {first, second}) {
      unsigned k = Take(1);
      if (lists_.back().last.mayNotContinue)
        Add("BL", "simple " + inner.path + "/seq", T(k));
      out_.Put(label + ": T[" + std::to_string(k) + "]++;");
      out_.EndLine();
      lists_.back().labels.push_back(label);
      Note(Flow{});
      if (rng_.Chance(50))
        ListStep(inner);
    }
  });
}

}  // namespace oracle
