// Generates a random, terminating C program that counts, in its own C, every
// branch quorbcc1 should make of it, and the manifest mapping each branch
// record to the counters that tell its count.
//
// Counters are T[k] of the program; a basic condition k counts true in T[k]
// and false in T[k + 1] (through the truth support's tc()). A manifest value
// is a sum of counters ("T4+T9", "0" for none).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "emitter.h"
#include "features.h"
#include "rng.h"

namespace oracle {

/// What the instrumenter's statement walker concludes about a statement.
struct Flow {
  bool mayNotContinue = false;  // the next statement of the list gets a sequence block
  bool fallsThrough = true;     // control may leave it at its end (closing brace rule)
  bool leaves = false;          // holds a return, a goto or a terminating call
  bool freeBreak = false;       // holds a break of an enclosing loop or switch
  bool freeContinue = false;    // holds a continue of an enclosing loop
  bool neverNext = false;       // a jump: control never reaches the next statement from it
};

/// A jump: break, continue, goto, return, exit; `fallsThrough` as Flow's.
Flow JumpFlow(bool fallsThrough);

/// A condition ready to be written: its text and the counters of its outcomes.
struct Control {
  std::string text;
  std::string whenTrue = "0", whenFalse = "0";
  bool constant = false;
  bool value = false;  // of a constant condition
};

/// A basic-condition tree over tc() calls or pure relations.
struct Tree {
  std::string text, prefix;
  std::vector<std::string> leaves;  // pure relations (tv arguments)
  std::vector<unsigned> conditions; // tc() counters, left to right
  bool binary = false;
};

/// One open statement list: its labels and the labels forward gotos wait for.
struct ListFrame {
  std::vector<std::string> labels;
  std::vector<std::string> pending;
  std::vector<std::string> into;  // forward gotos a nested list may take
  std::size_t floor = 0;          // lists from this index on may jump into this one
  bool declarations = true;       // no jump (case label) may skip a declaration in it
  std::vector<std::size_t> varMarks;
  Flow last;       // of the latest statement
  Flow gathered;   // leaves, freeBreak, freeContinue of all statements
  bool any = false;
};

/// Where a statement stands.
struct Place {
  std::string path;
  int loops = 0;      // enclosing loops: continue allowed
  int breakable = 0;  // enclosing loops and switches: break allowed
  int depth = 0;      // statement nesting, bounds recursion
  bool inLoop = false;
  std::size_t intoFloor = 0;  // no goto from a list below this index enters here
};

struct FunctionInfo {
  std::string name;
  bool isVoid = false;
};

class Generator {
 public:
  Generator(std::uint64_t seed, Features features) : rng_(seed), features_(std::move(features)) {}

  void Generate();
  std::string ProgramText() const;
  std::string ManifestText() const { return out_.ManifestText(); }

 private:
  // counters and records
  unsigned Take(unsigned n);
  static std::string T(unsigned k) { return "T" + std::to_string(k); }
  void Add(const std::string& tag, const std::string& fields, const std::string& value);
  static std::string Sum(const std::string& a, const std::string& b);
  std::string Path(const std::string& segment) const;

  // conditions (conditions.cpp)
  Control GenControl(const Place& place, bool atStatementStart, bool allowConstant, const std::string& mustHold = "");
  Tree GenCallTree(const Place& place, int depth, int& budget, const std::string& mustHold);
  Tree GenPureTree(int depth, int& budget, const std::string& mustHold);
  Tree CallLeaf(const std::string& relation);
  void RegisterCallDecision(const Tree& tree, Control& control);
  void PureDecision(const Tree& tree, bool atStatementStart, bool control, Control& result);
  static std::string PureKey(const Tree& tree);
  bool PureKeyFree(const Tree& tree) const;
  std::string Relation(const Place& place);
  std::string PureRelation();
  std::string ValueDecision(const Place& place);

  // expressions (expressions.cpp)
  std::string GenExpr(const Place& place, int depth);
  std::string GenCall(const Place& place, bool wantValue);
  /// A variable to read; `plain`: no array element.
  std::string Var(bool plain = false);
  std::string Lvalue();
  std::string Constant();
  std::string GenStatementExpr(const Place& place);
  std::string GenPointerTernary(const Place& place);

  // GNU forms (gnu_forms.cpp)
  std::string ComplexRelation();
  std::string TypeofName(const Place& place);
  Flow GenComputedGotoLoop(const Place& place);

  // statements (statements.cpp)
  Flow GenStatement(const Place& place, bool braceless, const std::string& prefix, const std::string& entry,
                    bool allowIf = true);
  Flow GenCompound(const Place& place, const std::string& firstLine, int count);
  Flow GenBody(const Place& place, const std::string& prefix, const std::string& entry, bool allowBraceless,
               bool allowIf = true);
  void OpenList(const Place& place, bool allowDeclaration = true);
  void ListStep(const Place& place);
  bool GenMidDeclaration(const Place& place);
  void ListPut(const Place& place, const std::string& text, const Flow& flow);
  void SequenceBlock(const Place& place);
  void Note(const Flow& flow);
  void FlushPending(const Place& place);
  Flow CloseList();
  Flow GenAssign(const Place& place, const std::string& prefix);
  Flow GenIf(const Place& place, bool atStart);
  Flow GenGuard(const Place& place, const std::string& relation, const std::string& jump);
  Flow GenLoop(const Place& place);
  Flow GenSwitch(const Place& place);
  Flow GenReturn(const Place& place, bool braceless, const std::string& entry);
  Flow GenJump(const Place& place);
  Flow GenBackwardGoto(const Place& place);
  Flow GenExit();

  // constructs entered by jumps from outside (entered.cpp)
  Flow GenEnteredLoop(const Place& place, const std::function<void(const Place&)>& fill);
  Flow GenGotoLoop(const Place& place, const std::string& label);
  Flow GenDuffSwitch(const Place& place);
  void CaseLabel(const Place& place, const std::string& label, const std::string& count, const std::string& text);
  std::string TakeIntoLabel(std::size_t floor, std::size_t end);
  std::size_t ChildFloor(const Place& place) const;

  // functions (functions.cpp)
  void GenFunction(unsigned index);
  void GenMain();

  Rng rng_;
  Features features_;
  Emitter out_;
  unsigned next_ = 0;
  std::vector<std::string> tables_;
  unsigned decisions_ = 0;
  unsigned quiet_ = 0;  // inside a statement expression: no records
  std::vector<FunctionInfo> functions_;
  // the function being written
  FunctionInfo current_;
  std::vector<std::string> vars_;
  std::vector<ListFrame> lists_;
  unsigned labels_ = 0, loops_ = 0, statements_ = 0;
  // pure decisions per line, told apart by their conditions' text
  std::map<unsigned, std::set<std::string>> pureKeys_;
};

}  // namespace oracle
