// Unsigned arithmetic with calls, conditional operators and decisions as
// operands: no overflow of signed types, no division.
#include "generator.h"

namespace oracle {

std::string Generator::Constant() { return std::to_string(rng_.Below(12)) + "u"; }

std::string Generator::Var(bool plain) {
  static const char* const fixed[] = {"a", "b", "g0", "g1", "g2", "g3"};
  unsigned n = static_cast<unsigned>(vars_.size());
  unsigned pick = rng_.Below(n + 6);
  if (pick >= n)
    return fixed[pick - n];
  // an array element may fault: a decision reading one is not forced
  return plain && vars_[pick].find('[') != std::string::npos ? fixed[rng_.Below(6)] : vars_[pick];
}

// Only functions without a value write globals: they are called as
// statements, never inside an expression that may also read a global.
std::string Generator::Lvalue() {
  static const char* const globals[] = {"g0", "g1", "g2", "g3"};
  unsigned n = static_cast<unsigned>(vars_.size());
  unsigned pick = rng_.Below(n + (current_.isVoid ? 2 : 0));
  return pick < n ? vars_[pick] : globals[rng_.Below(4)];
}

std::string Generator::GenCall(const Place& place, bool wantValue) {
  std::vector<unsigned> candidates;
  for (unsigned i = 0; i < functions_.size(); i++)
    if (functions_[i].isVoid != wantValue)
      candidates.push_back(i);
  if (candidates.empty())
    return wantValue ? Var() : "";
  const FunctionInfo& callee = functions_[candidates[rng_.Below(static_cast<unsigned>(candidates.size()))]];
  unsigned site = Take(1);
  Add("AP", callee.name, T(site));
  Place inner = place;
  inner.depth += 2;
  return callee.name + "(" + std::to_string(site) + "u, " + GenExpr(inner, 1) + ", " + GenExpr(inner, 1) + ")";
}

std::string Generator::GenExpr(const Place& place, int depth) {
  unsigned choice = depth <= 0 ? 0 : rng_.Below(10);
  switch (choice) {
    case 0:
    case 1:
      return rng_.Chance(70) ? Var() : Constant();
    case 2:
      if (place.depth < 4 && !functions_.empty())
        return GenCall(place, true);
      break;
    case 3:
      if (place.depth < 4 && features_.On("ternary")) {
        Place inner = place;
        inner.depth++;
        Control c = GenControl(inner, false, true);
        std::string yes, no;
        inner.path = place.path + "/?T:";
        if (c.constant && c.value) {
          unsigned k = Take(1);
          Add("BL", "simple " + inner.path, T(k));
          yes = "(T[" + std::to_string(k) + "]++, " + GenExpr(inner, depth - 1) + ")";
        } else {
          Add("BL", "simple " + inner.path, c.constant ? "0" : c.whenTrue);
          yes = GenExpr(inner, depth - 1);
        }
        inner.path = place.path + "/?:F";
        if (c.constant && !c.value) {
          unsigned k = Take(1);
          Add("BL", "simple " + inner.path, T(k));
          no = "(T[" + std::to_string(k) + "]++, " + GenExpr(inner, depth - 1) + ")";
        } else {
          Add("BL", "simple " + inner.path, c.constant ? "0" : c.whenFalse);
          no = GenExpr(inner, depth - 1);
        }
        return "(" + c.text + " ? " + yes + " : " + no + ")";
      }
      break;
    case 4:
      if (place.depth < 3)
        return ValueDecision(place);
      break;
    case 5:
      if (place.depth < 3 && features_.On("statement-expressions") && rng_.Chance(40))
        return GenStatementExpr(place);
      if (place.depth < 4 && features_.On("pointer-ternary") && rng_.Chance(40))
        return GenPointerTernary(place);
      if (place.depth < 3 && features_.On("compound-literals") && rng_.Chance(30))
        return "((unsigned[2]){ " + ValueDecision(place) + ", " + GenExpr(place, depth - 1) + " })[" + Var(true) +
               " & 1u]";
      // quorbcc1 copies "__extension__ (" ... ")" as it stands (the form of
      // the C library's statement expressions), so the operand starts with
      // a word here and stays instrumented.
      if (features_.On("gnu") && rng_.Chance(30))
        return "(__extension__ 0u + " + GenExpr(place, depth - 1) + ")";
      break;
    default:
      break;
  }
  static const char* const ops[] = {" + ", " - ", " * ", " ^ ", " & ", " | "};
  if (rng_.Chance(15))
    return "(" + GenExpr(place, depth - 1) + " >> " + std::to_string(1 + rng_.Below(4)) + "u)";
  return "(" + GenExpr(place, depth - 1) + ops[rng_.Below(6)] + GenExpr(place, depth - 1) + ")";
}

}  // namespace oracle
