#include "output/rik_tags.h"

#include "support/translate.h"

#include <charconv>
#include <iterator>
#include <variant>

namespace output {
namespace {

constexpr std::uint16_t kStatementBlocks = 0x0008;
constexpr std::uint16_t kImplicitBlocks = 0x0020;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

const std::string& TextOf(const RikItem& item) {
  static const std::string kNone;
  const auto* text = std::get_if<RikText>(&item.payload);
  return text ? text->text : kNone;
}

std::string_view NodeTypeName(RikNodeType type) {
  switch (type) {
    case RikNodeType::kMethod:
      return "METHOD";
    case RikNodeType::kConstructor:
      return "CONSTRUCTOR";
    case RikNodeType::kDestructor:
      return "DESTRUCTOR";
    default:
      return "FUNCTION";
  }
}

std::string FunctionTag(const RikFunction& function) {
  std::string tag = "@NODE TYPE=" + std::string(NodeTypeName(function.nodeType)) + " NAME=" + Quoted(function.name);
  if (function.vg != 0) tag += " VG=" + std::to_string(function.vg);
  if (function.statements != kNoRikId && function.nesting != kNoRikId) {
    tag += " INST=" + std::to_string(function.statements) + "," + std::to_string(function.nesting);
  }
  return tag + "@";
}

std::string DecisionTag(const RikItem& item, std::uint16_t coverage) {
  std::string tag = "@DECISION SUM=";
  if (coverage & kStatementBlocks) tag += "20";
  if ((coverage & kStatementBlocks) && (coverage & kImplicitBlocks)) tag += "+";
  if (coverage & kImplicitBlocks) tag += "21";
  // The walk completes a decision's entry once its blocks are known; one
  // left without a table (a switch of fewer than two blocks) lists none.
  const auto* decision = std::get_if<RikDecision>(&item.payload);
  if (decision && !decision->ids.empty()) {
    const bool extra = decision->extra != kNoRikId;
    tag += extra ? " ID=(" : " ID=";
    for (std::size_t i = 0; i < decision->ids.size(); ++i) {
      if (i > 0) tag += "|";
      tag += std::to_string(decision->ids[i]);
    }
    if (extra) tag += ")|" + std::to_string(decision->extra);
  }
  return tag + "@";
}

std::string PopupEnd(const RikItem& item) {
  std::string text = "@-POPUP@";
  if (const auto* alternatives = std::get_if<std::vector<RikAlternative>>(&item.payload)) {
    for (const RikAlternative& alternative : *alternatives) {
      if (alternative.branch) text += BranchTag(*alternative.branch, false);
      text += DoubleAts(alternative.text);
      if (alternative.branch) text += "@/BRANCH@";
    }
  }
  return text + "@/POPUP@";
}

std::string ConditionTableEnd(const RikItem& item) {
  std::string text = "@-POPUP BITCOND=(";
  if (const auto* box = std::get_if<std::unique_ptr<RikBitCond>>(&item.payload); box && *box) {
    const RikBitCond* table = box->get();
    for (std::size_t i = 0; i < table->texts.size(); ++i) {
      if (i > 0) text += ",";
      text += "@" + table->texts[i] + "@";
    }
    text += "," + Quoted(table->text) + "," + std::to_string(table->number) + ",TE,31,32";
    for (const std::string& operand : table->operands) text += ",@" + operand + "@";
  }
  return text + ") /POPUP@";
}

template <typename Number>
void AppendDecimal(std::string& text, Number value) {
  char digits[24];
  const auto written = std::to_chars(std::begin(digits), std::end(digits), value);
  text.append(digits, written.ptr);
}

}  // namespace

std::string_view RikMark(std::int8_t sum) {
  static constexpr std::string_view kMarks[] = {"TP", "TA", "TB", "TE"};
  const int index = sum / 10;
  return kMarks[index < 0 ? 0 : index > 3 ? 3 : index];
}

// Every listed branch gets one: built in place, without temporaries.
std::string BranchTag(const RikBranch& branch, bool start) {
  std::string tag;
  tag.reserve(48);
  tag += start ? "@BRANCH START MARK=" : "@BRANCH MARK=";
  tag += RikMark(branch.sum);
  tag += " ID=";
  if (!branch.couples || branch.couples->empty()) {
    AppendDecimal(tag, branch.id);
  } else {
    const auto& couples = *branch.couples;
    for (std::size_t i = 0; i < couples.size(); ++i) {
      if (i > 0) tag += '|';
      AppendDecimal(tag, couples[i].first);
      tag += '&';
      AppendDecimal(tag, couples[i].second);
    }
  }
  tag += " SUM=";
  AppendDecimal(tag, branch.sum);
  tag += '@';
  return tag;
}

std::string OpeningTag(const RikItem& item, std::uint16_t coverage) {
  switch (item.kind) {
    case RikKind::kClass:
      return "@NODE TYPE=CLASS NAME=" + Quoted(TextOf(item)) + "@";
    case RikKind::kFunction:
      if (const RikFunction* function = FunctionOf(item)) return FunctionTag(*function);
      return {};
    case RikKind::kBranch:
    case RikKind::kBranchStart:
      if (const auto* branch = std::get_if<RikBranch>(&item.payload)) {
        return BranchTag(*branch, item.kind == RikKind::kBranchStart);
      }
      return {};
    case RikKind::kBranchNo:
      return "@BRANCH NO@";
    case RikKind::kDecision:
      return DecisionTag(item, coverage);
    case RikKind::kPopup:
    case RikKind::kBitCond:
      return "@POPUP@";
    case RikKind::kJump:
      return "@JUMP NAME=" + Quoted(TextOf(item)) + "@";
    case RikKind::kLink:
      return "@LINK NAME=" + Quoted(TextOf(item)) + "@";
    case RikKind::kUnreachable:
      return "@BRANCH UNREACHABLE@";
    case RikKind::kShortcut: {
      const auto* id = std::get_if<std::uint32_t>(&item.payload);
      return "@SHORTCUT MARK=TB ID=" + std::to_string(id ? *id : 0) + "@";
    }
  }
  return {};
}

std::string ClosingTag(const RikItem& item) {
  switch (item.kind) {
    case RikKind::kClass:
    case RikKind::kFunction:
      return "@/NODE@";
    case RikKind::kBranch:
    case RikKind::kBranchNo:
      return "@/BRANCH@";
    case RikKind::kDecision:
      return "@/DECISION@";
    case RikKind::kPopup:
      return PopupEnd(item);
    case RikKind::kBitCond:
      return ConditionTableEnd(item);
    case RikKind::kJump:
      return "@/JUMP@";
    default:
      return {};
  }
}

std::string DoubleAts(std::string_view text) {
  std::string doubled;
  doubled.reserve(text.size());
  for (const char c : text) {
    doubled.push_back(c);
    if (c == '@') doubled.push_back(c);
  }
  return doubled;
}

std::string CoverageText(const char* source) {
  return support::ToLocal(support::Translate("Code Coverage", source));
}

}  // namespace output
