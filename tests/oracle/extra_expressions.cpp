// Expressions with parts quorbcc1 must leave alone or treat specially:
// statement expressions (never instrumented inside) and conditional
// operators with null pointer constant arms (not wrapped: their mark goes
// into the condition).
#include "generator.h"

namespace oracle {

// ({ unsigned t = <decision>; t ^ <value>; }): the decisions, calls and
// conditional operators inside run and count, but get no records.
std::string Generator::GenStatementExpr(const Place& place) {
  Place inner = place;
  inner.depth++;
  std::string name = "t" + std::to_string(labels_++);
  quiet_++;
  std::string init = rng_.Chance(70) ? ValueDecision(inner) : GenExpr(inner, 2);
  std::string tail = GenExpr(inner, 1);
  quiet_--;
  return "({ unsigned " + name + " = " + init + "; " + name + " ^ " + tail + "; })";
}

// tc(k, (c ? (void *)0 : &g1) != 0) ? v : w, and the forms with a plain 0
// arm on either side.
std::string Generator::GenPointerTernary(const Place& place) {
  static const char* const nulls[] = {"(void *)0", "0", "0u"};
  Place inner = place;
  inner.depth++;
  Control c = GenControl(inner, false, false);
  Add("BL", "simple " + place.path + "/?T:", c.whenTrue);
  Add("BL", "simple " + place.path + "/?:F", c.whenFalse);
  std::string null = nulls[rng_.Below(3)];
  std::string object = std::string("&g") + std::to_string(rng_.Below(4));
  bool nullFirst = rng_.Chance(50);
  std::string pointer = "(" + c.text + " ? " + (nullFirst ? null : object) + " : " + (nullFirst ? object : null) + ")";
  Tree test = CallLeaf(pointer + (rng_.Chance(50) ? " != 0" : " == (void *)0"));
  unsigned k = test.conditions[0];
  Add("BL", "simple " + place.path + "/?T:", T(k));
  Add("BL", "simple " + place.path + "/?:F", T(k + 1));
  return "(" + test.text + " ? " + GenExpr(inner, 0) + " : " + GenExpr(inner, 0) + ")";
}

}  // namespace oracle
