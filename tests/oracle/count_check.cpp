#include "count_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>

#include "case_table.h"

namespace oracle {

namespace {

using Count = std::uint64_t;

std::string Squeeze(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ')
      out += c;
  return out;
}

// The identifying prefix "tc(<k>," or "tv(<d>," of a condition's text, or
// empty for any other condition.
std::string ConditionKey(const std::string& text) {
  std::string s = Squeeze(text);
  std::size_t start = s.find_first_not_of('(');
  if (start == std::string::npos)
    return "";
  s = s.substr(start);
  if (s.rfind("tc(", 0) != 0 && s.rfind("tv(", 0) != 0)
    return "";
  std::size_t comma = s.find(',');
  return comma == std::string::npos ? "" : s.substr(0, comma + 1);
}

std::string CaseKey(const std::string& text) {
  std::string s = Squeeze(text);
  while (!s.empty() && s.back() == ':')
    s.pop_back();
  return s;
}

const char* const kProcKinds[] = {"proc", "endproc", "return", "term"};
const char* const kBlockKinds[] = {"simple", "implicit", "logical", "qbc"};

class Checker {
 public:
  explicit Checker(const CheckInput& input) : in_(input) { SumResults(); }

  std::vector<std::string> Run() {
    MatchKeyed();
    MatchConditions();
    return problems_;
  }

 private:
  void SumResults() {
    for (const report::ResultsGroup& group : in_.results->groups) {
      if (group.key != in_.unit->key || group.checksum != in_.unit->checksum)
        continue;
      for (const report::BranchHit& hit : group.hits)
        hits_[static_cast<int>(hit.kind)][hit.branch] += hit.count;
    }
  }

  Count Hit(report::BranchKind kind, std::uint32_t branch) const {
    const auto& table = hits_[static_cast<int>(kind)];
    auto found = table.find(branch);
    return found == table.end() ? 0 : found->second;
  }

  Count Value(const ManifestEntry& entry, std::size_t i) {
    Count value = 0;
    if (i >= entry.values.size() || !in_.truth->Evaluate(entry.values[i], value))
      Problem("manifest line " + std::to_string(entry.sourceLine) + " has a malformed value");
    return value;
  }

  void Problem(const std::string& text) { problems_.push_back(text); }

  static std::string Describe(const ManifestEntry& e) {
    std::string text = e.tag + " in " + e.function + " at line " + std::to_string(e.line);
    for (const std::string& field : e.fields)
      text += " " + field;
    return text;
  }

  // PR, AP, BL and CA: records and counters grouped by what identifies the
  // construct; each group must hold as many records as counters, with the
  // same counts.
  void MatchKeyed() {
    std::map<std::string, std::vector<Count>> recorded;
    std::map<std::string, std::vector<std::pair<Count, std::string>>> expected;
    const report::FdcUnit& u = *in_.unit;
    for (const auto& r : u.procs)
      recorded["PR " + std::string(kProcKinds[static_cast<int>(r.kind)]) + " in " + r.function + " at line " +
               std::to_string(r.first)]
          .push_back(Hit(report::BranchKind::kProc, r.id));
    for (const auto& r : u.calls)
      recorded["AP " + r.callee + " in " + r.function + " at line " + std::to_string(r.first)].push_back(
          Hit(report::BranchKind::kCall, r.id));
    for (const auto& r : u.blocks)
      recorded["BL " + std::string(kBlockKinds[static_cast<int>(r.kind)]) + " " + (r.path.empty() ? "-" : r.path) +
               " in " + r.function + " at line " + std::to_string(r.first)]
          .push_back(Hit(report::BranchKind::kBlock, r.id));
    for (const auto& r : u.cases)
      if (r.isCase)
        recorded["CA " + CaseKey(r.text) + " in " + r.function + " at line " + std::to_string(r.first)].push_back(
            Hit(report::BranchKind::kCondition, r.id));
    for (const ManifestEntry& e : *in_.manifest) {
      std::string key;
      std::string where = " in " + e.function + " at line " + std::to_string(e.line);
      if (e.tag == "PR" && e.fields.size() == 1)
        key = "PR " + e.fields[0] + where;
      else if (e.tag == "AP" && e.fields.size() == 1)
        key = "AP " + e.fields[0] + where;
      else if (e.tag == "BL" && e.fields.size() == 2)
        key = "BL " + e.fields[0] + " " + e.fields[1] + where;
      else if (e.tag == "CA" && e.fields.size() == 1)
        key = "CA " + e.fields[0] + where;
      else
        continue;
      expected[key].emplace_back(Value(e, 0), e.values[0]);
    }
    for (auto& [key, wanted] : expected) {
      std::vector<Count> got = recorded.count(key) ? recorded[key] : std::vector<Count>{};
      recorded.erase(key);
      std::vector<Count> want;
      for (const auto& w : wanted)
        want.push_back(w.first);
      std::sort(want.begin(), want.end());
      std::sort(got.begin(), got.end());
      if (got.empty()) {
        Problem("missing record: " + key + " (expected count " + std::to_string(want[0]) + " from " +
                wanted[0].second + ")");
        continue;
      }
      if (want == got)
        continue;
      std::string w, g;
      for (Count c : want)
        w += " " + std::to_string(c);
      for (Count c : got)
        g += " " + std::to_string(c);
      Problem("count mismatch: " + key + ": expected" + w + " (" + wanted[0].second + "), got" + g);
    }
    for (const auto& [key, got] : recorded)
      Problem("unexplained record: " + key + " (" + std::to_string(got.size()) + " record(s), count " +
              std::to_string(got[0]) + ")");
  }

  static std::string OperandTexts(const report::DecisionRecord& d,
                                  std::map<std::uint32_t, const report::CaseRecord*>& byId) {
    std::string key;
    for (std::uint32_t id : d.operands) {
      if (!key.empty())
        key += ';';
      key += byId.count(id) ? Squeeze(byId[id]->text) : "?";
    }
    return key;
  }

  void CheckCondition(const report::CaseRecord& r, Count wantTrue, Count wantFalse, const std::string& what) {
    Count gotTrue = Hit(report::BranchKind::kCondition, r.id);
    Count gotFalse = Hit(report::BranchKind::kCondition, r.id + 1);
    if (gotTrue != wantTrue || gotFalse != wantFalse)
      Problem("count mismatch: CE " + what + " \"" + r.text + "\" in " + r.function + " at line " +
              std::to_string(r.first) + ": expected true/false " + std::to_string(wantTrue) + "/" +
              std::to_string(wantFalse) + ", got " + std::to_string(gotTrue) + "/" + std::to_string(gotFalse));
  }

  // CE by their tc()/tv() text, CC by their first condition, the conditions
  // of pure decisions through their CC record.
  void MatchConditions() {
    std::map<std::string, const report::CaseRecord*> byKey;
    std::map<std::uint32_t, const report::CaseRecord*> byId;
    std::set<std::uint32_t> unmatched;
    for (const auto& r : in_.unit->cases) {
      if (r.isCase)
        continue;
      byId[r.id] = &r;
      unmatched.insert(r.id);
      std::string key = ConditionKey(r.text);
      if (key.empty())
        continue;
      if (byKey.count(key))
        Problem("two CE records for " + key + " in " + r.function + " at lines " + std::to_string(byKey[key]->first) +
                " and " + std::to_string(r.first));
      byKey[key] = &r;
    }
    std::map<std::string, const ManifestEntry*> callDecisions;
    std::map<std::string, const ManifestEntry*> pureDecisions;  // "function line"
    std::map<std::string, std::vector<const ManifestEntry*>> pureConditions;  // decision number
    for (const ManifestEntry& e : *in_.manifest) {
      if (e.tag == "CE" && e.fields.size() == 1) {
        auto found = byKey.find(e.fields[0]);
        if (found == byKey.end()) {
          Problem("missing record: CE " + e.fields[0] + " in " + e.function + " at line " + std::to_string(e.line));
          continue;
        }
        unmatched.erase(found->second->id);
        CheckCondition(*found->second, Value(e, 0), Value(e, 1), e.fields[0]);
      } else if (e.tag == "CC" && e.fields.size() == 4) {
        if (e.fields[1] == "tc")
          callDecisions[e.fields[3]] = &e;
        else
          pureDecisions[e.function + " " + std::to_string(e.line) + " " + e.fields[3]] = &e;
      } else if (e.tag == "CP" && e.fields.size() == 2) {
        pureConditions[e.fields[0]].push_back(&e);
      }
    }
    std::set<const ManifestEntry*> decisionsSeen;
    for (const report::DecisionRecord& d : in_.unit->decisions) {
      const report::CaseRecord* first = d.operands.empty() || !byId.count(d.operands[0]) ? nullptr : byId[d.operands[0]];
      if (!first) {
        Problem("CC record " + std::to_string(d.id) + " names no known first condition");
        continue;
      }
      std::string key = ConditionKey(first->text);
      const ManifestEntry* entry = nullptr;
      if (!key.empty() && callDecisions.count(key))
        entry = callDecisions[key];
      else if (key.empty())
        entry = FindPure(pureDecisions, first->function + " " + std::to_string(first->first) + " ", OperandTexts(d, byId));
      std::string where = " in " + first->function + " at line " + std::to_string(first->first);
      if (!entry) {
        Problem("unexplained record: CC " + std::to_string(d.id) + " \"" + d.text + "\" whose first condition is \"" +
                first->text + "\"" + where);
        continue;
      }
      if (!decisionsSeen.insert(entry).second) {
        Problem("two CC records for the decision" + where);
        continue;
      }
      CheckDecision(d, *entry, where, byId, pureConditions, unmatched);
    }
    for (const auto* group : {&callDecisions, &pureDecisions})
      for (const auto& [key, entry] : *group) {
        bool expectRecord = !in_.forced || entry->fields[1] == "pure";
        bool seen = decisionsSeen.count(entry) != 0;
        if (expectRecord && !seen)
          Problem("missing record: CC of decision " + entry->fields[0] + " (" + entry->fields[2] + ") in " +
                  entry->function + " at line " + std::to_string(entry->line));
        if (!expectRecord && seen)
          Problem("unexpected forced decision " + entry->fields[0] + " (its conditions call functions) in " +
                  entry->function + " at line " + std::to_string(entry->line));
        if (!expectRecord && !seen && entry->fields[1] == "unforced")
          MatchUnforced(*entry, byId, pureConditions, unmatched);
      }
    for (std::uint32_t id : unmatched)
      Problem("unexplained record: CE \"" + byId[id]->text + "\" in " + byId[id]->function + " at line " +
              std::to_string(byId[id]->first));
  }

  void CheckDecision(const report::DecisionRecord& d, const ManifestEntry& entry, const std::string& where,
                     std::map<std::uint32_t, const report::CaseRecord*>& byId,
                     std::map<std::string, std::vector<const ManifestEntry*>>& pureConditions,
                     std::set<std::uint32_t>& unmatched) {
    // The decision is the outermost && or ||: a ! around it is not part of it.
    std::string prefix = entry.fields[2];
    prefix.erase(0, prefix.find_first_not_of('N'));
    std::size_t width = static_cast<std::size_t>(std::count(prefix.begin(), prefix.end(), '.'));
    unsigned number = static_cast<unsigned>(std::stoul(entry.fields[0]));
    if (d.operands.size() != width) {
      Problem("CC" + where + ": " + std::to_string(d.operands.size()) + " conditions, expected " +
              std::to_string(width) + " (" + prefix + ")");
      return;
    }
    if (in_.forced && entry.fields[1] != "pure") {
      Problem("unexpected forced decision " + entry.fields[0] + " (its conditions call functions)" + where);
      return;
    }
    auto decisionRows = in_.truth->rows.find(number);
    std::map<std::string, Count> truthRows;
    if (decisionRows != in_.truth->rows.end()) {
      auto mode = decisionRows->second.find(in_.forced ? 'F' : 'M');
      if (mode != decisionRows->second.end())
        truthRows = std::map<std::string, Count>(mode->second.begin(), mode->second.end());
    }
    std::map<std::string, std::uint32_t> rows;  // row text -> branch offset
    if (in_.forced) {
      if (d.text != prefix || !d.Forced())
        Problem("CC" + where + ": forced decision \"" + d.text + "\", expected prefix form " + prefix);
      for (std::uint32_t v = 0; v < (1u << width); v++) {
        std::string row;
        for (std::size_t i = 0; i < width; i++)
          row += (v >> i & 1) ? 'T' : 'F';
        rows[row] = v;
      }
    } else {
      if (d.Forced() || d.text.size() != width * d.branchCount)
        Problem("CC" + where + ": case table \"" + d.text + "\" does not have " + std::to_string(d.branchCount) +
                " rows of " + std::to_string(width));
      CheckTable(d, prefix, where);
      for (std::uint32_t r = 0; (r + 1) * width <= d.text.size(); r++)
        rows[d.text.substr(r * width, width)] = r;
    }
    for (const auto& [row, offset] : rows) {
      Count got = Hit(report::BranchKind::kCondition, d.id + offset);
      Count want = truthRows.count(row) ? truthRows[row] : 0;
      if (got != want)
        Problem("count mismatch: CC row " + row + " of " + prefix + where + ": expected " + std::to_string(want) +
                ", got " + std::to_string(got));
    }
    for (const auto& [row, count] : truthRows)
      if (!rows.count(row))
        Problem("CC" + where + ": row " + row + " ran " + std::to_string(count) + " times but is not in the table \"" +
                d.text + "\"");
    if (entry.fields[1] == "tc")
      return;
    for (const ManifestEntry* condition : pureConditions[entry.fields[0]]) {
      std::size_t i = std::stoul(condition->fields[1]);
      if (i >= d.operands.size() || !byId.count(d.operands[i]))
        continue;
      const report::CaseRecord& r = *byId[d.operands[i]];
      unmatched.erase(r.id);
      std::size_t base = in_.forced ? 2 : 0;
      CheckCondition(r, Value(*condition, base), Value(*condition, base + 1),
                     "condition " + std::to_string(i) + " of " + prefix);
    }
  }

  // The pure decision at `where` ("function line ") whose condition texts are
  // `texts`; a "*" of the manifest's key stands for any one text (a
  // condition the printer abbreviates, such as a _Generic selection).
  static const ManifestEntry* FindPure(const std::map<std::string, const ManifestEntry*>& pure,
                                       const std::string& where, const std::string& texts) {
    auto exact = pure.find(where + texts);
    if (exact != pure.end())
      return exact->second;
    for (auto it = pure.lower_bound(where); it != pure.end() && it->first.rfind(where, 0) == 0; ++it)
      if (KeyMatches(it->first.substr(where.size()), texts))
        return it->second;
    return nullptr;
  }

  static bool KeyMatches(const std::string& key, const std::string& texts) {
    std::size_t k = 0, t = 0;
    while (k <= key.size() && t <= texts.size()) {
      std::size_t keyEnd = std::min(key.find(';', k), key.size());
      std::size_t textEnd = std::min(texts.find(';', t), texts.size());
      std::string part = key.substr(k, keyEnd - k);
      if (part != "*" && part != texts.substr(t, textEnd - t))
        return false;
      if ((keyEnd == key.size()) != (textEnd == texts.size()))
        return false;
      if (keyEnd == key.size())
        return true;
      k = keyEnd + 1;
      t = textEnd + 1;
    }
    return false;
  }

  // A pure decision quorbcc1 may not force keeps its short-circuit
  // evaluation and no CC record: its conditions are the CE records on its
  // line, in a row, whose texts are its conditions'.
  void MatchUnforced(const ManifestEntry& entry, std::map<std::uint32_t, const report::CaseRecord*>& byId,
                     std::map<std::string, std::vector<const ManifestEntry*>>& pureConditions,
                     std::set<std::uint32_t>& unmatched) {
    std::vector<std::string> texts;
    std::string key = entry.fields[3];
    for (std::size_t at = 0, end; at <= key.size(); at = end + 1) {
      end = std::min(key.find(';', at), key.size());
      texts.push_back(key.substr(at, end - at));
    }
    for (std::uint32_t first : unmatched) {
      const report::CaseRecord& r = *byId[first];
      if (r.function != entry.function || r.first != entry.line)
        continue;
      bool all = true;
      for (std::size_t i = 0; i < texts.size() && all; i++) {
        auto found = byId.find(first + 2 * static_cast<std::uint32_t>(i));
        all = found != byId.end() && unmatched.count(found->first) &&
              (texts[i] == "*" || Squeeze(found->second->text) == texts[i]);
      }
      if (!all)
        continue;
      for (const ManifestEntry* condition : pureConditions[entry.fields[0]]) {
        std::uint32_t id = first + 2 * static_cast<std::uint32_t>(std::stoul(condition->fields[1]));
        if (!byId.count(id))
          continue;
        unmatched.erase(id);
        CheckCondition(*byId[id], Value(*condition, 0), Value(*condition, 1), "condition of unforced " + entry.fields[2]);
      }
      return;
    }
    Problem("missing record: the CE records of unforced decision " + entry.fields[0] + " (" + entry.fields[2] +
            ") in " + entry.function + " at line " + std::to_string(entry.line));
  }

  // The whole case table against one built from the definition.
  void CheckTable(const report::DecisionRecord& d, const std::string& prefix, const std::string& where) {
    CaseTable table;
    if (!BuildCaseTable(prefix, table)) {
      Problem("manifest: malformed prefix form " + prefix + where);
      return;
    }
    std::string rows;
    for (const auto* part : {&table.trueRows, &table.falseRows})
      for (const std::string& row : *part)
        rows += row;
    std::size_t trueRows = table.trueRows.size();
    std::size_t count = trueRows + table.falseRows.size();
    if (d.text == rows && d.trueRows == trueRows && d.branchCount == count)
      return;
    Problem("CC" + where + ": case table \"" + d.text + "\" with " + std::to_string(d.trueRows.value_or(0)) +
            " true rows of " + std::to_string(d.branchCount) + ", expected \"" + rows + "\" with " +
            std::to_string(trueRows) + " of " + std::to_string(count) + " (" + prefix + ")");
  }

  const CheckInput& in_;
  std::array<std::map<std::uint32_t, Count>, 4> hits_;
  std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> CheckCounts(const CheckInput& input) { return Checker(input).Run(); }

}  // namespace oracle
