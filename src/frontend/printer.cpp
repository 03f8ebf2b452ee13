// Each kind's text is a small pattern: literal characters, and "$" commands
// that print children or the spelling. The patterns are interpreted with an
// explicit stack, so that the deep left spine of a long expression cannot
// exhaust the call stack; the first truncation stops the whole print.
//
// Pattern commands: $0 $1 $2 print that child; $A the node's spelling; $*
// all children with nothing between; $, all children separated by ", "; $c
// the children after the first separated by ", ".
#include "frontend/printer.h"

#include "frontend/syntax_tree.h"
#include "support/name_table.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace frontend {
namespace {

int CountChildren(const TreeNode* node) {
  int count = 0;
  for (const TreeNode* child = node->sons; child && count < 3; child = child->next) ++count;
  return count;
}

const TreeNode* ChildAt(const TreeNode* node, int index) {
  const TreeNode* child = node->sons;
  while (child && index-- > 0) child = child->next;
  return child;
}

const char* KeywordPattern(NodeKind kind) {
  switch (kind) {
    case NodeKind::DOUBLE: return " double ";
    case NodeKind::INT: return " int ";
    case NodeKind::STRUCT: return " struct ";
    case NodeKind::LONG: return " long ";
    case NodeKind::CHAR: return " char ";
    case NodeKind::UNION: return " union ";
    case NodeKind::CONST: return " const ";
    case NodeKind::FLOAT: return " float ";
    case NodeKind::SHORT: return " short ";
    case NodeKind::UNSIGNED: return " unsigned ";
    case NodeKind::SIGNED: return " signed ";
    case NodeKind::VOID: return " void ";
    case NodeKind::VOLATILE: return " volatile ";
    default: return nullptr;
  }
}

const char* BinaryPattern(NodeKind kind) {
  switch (kind) {
    case NodeKind::LEFT_OP: return "$0 << $1";
    case NodeKind::RIGHT_OP: return "$0 >> $1";
    case NodeKind::LE_OP: return "$0 <= $1";
    case NodeKind::GE_OP: return "$0 >= $1";
    case NodeKind::EQ_OP: return "$0 == $1";
    case NodeKind::NE_OP: return "$0 != $1";
    case NodeKind::OR_OP: return "$0 || $1";
    case NodeKind::ELLIPSIS: return "$0 ... $1";
    case NodeKind::MUL_ASSIGN: return "$0 *= $1";
    case NodeKind::DIV_ASSIGN: return "$0 /= $1";
    case NodeKind::MOD_ASSIGN: return "$0 %= $1";
    case NodeKind::ADD_ASSIGN: return "$0 += $1";
    case NodeKind::SUB_ASSIGN: return "$0 -= $1";
    case NodeKind::LEFT_ASSIGN: return "$0 <<= $1";
    case NodeKind::RIGHT_ASSIGN: return "$0 >>= $1";
    case NodeKind::AND_ASSIGN: return "$0 &= $1";
    case NodeKind::XOR_ASSIGN: return "$0 ^= $1";
    case NodeKind::OR_ASSIGN: return "$0 |= $1";
    case NodeKind::ASSIGN: return "$0 = $1";
    case NodeKind::LESS: return "$0 < $1";
    case NodeKind::GREATER: return "$0 > $1";
    case NodeKind::SLASH: return "$0 / $1";
    case NodeKind::PERCENT: return "$0 % $1";
    case NodeKind::CARET: return "$0 ^ $1";
    case NodeKind::BAR: return "$0 | $1";
    default: return nullptr;
  }
}

const char* StarPattern(const TreeNode* node, bool header) {
  switch (CountChildren(node)) {
    case 0: return "*";
    case 1: return "*$0";
    default: return header ? " * $0$1" : "$0 * $1";
  }
}

// A unary operator spelt as a word that the definition file reads as "+"
// (__real__, __imag__).
bool IsWordOperator(const TreeNode* node) {
  return node->alpha && !node->alpha->text.empty() && node->alpha->text.front() != '+';
}

const char* UnaryOrBinaryPattern(const TreeNode* node, const char* unary, const char* binary) {
  return CountChildren(node) <= 1 ? unary : binary;
}

const char* OtherPattern(const TreeNode* node, bool header) {
  switch (node->kind) {
    case NodeKind::CASE: return "case $0";
    case NodeKind::DEFAULT: return "default";
    case NodeKind::SIZEOF: return "sizeof ($0)";
    case NodeKind::IDENTIFIER: case NodeKind::STRING_LITERAL: case NodeKind::FLOAT_CONSTANT:
    case NodeKind::DEC_CONSTANT: case NodeKind::CHAR_CONSTANT: case NodeKind::OCT_CONSTANT:
    case NodeKind::HEX_CONSTANT: case NodeKind::TYPEDEF_NAME: case NodeKind::BIN_CONSTANT:
      return "$A";
    case NodeKind::PTR_OP: return "$0->$1";
    case NodeKind::DOT: return "$0.$1";
    case NodeKind::INC_OP: return "$0++";
    case NodeKind::DEC_OP: return "$0--";
    case NodeKind::PRE_INC: return "++$0";
    case NodeKind::PRE_DEC: return "--$0";
    case NodeKind::NOT: return "!$0";
    case NodeKind::TILDE: return "~$0";
    case NodeKind::AMPERSAND: return UnaryOrBinaryPattern(node, "&$0", "$0 & $1");
    case NodeKind::AND_OP: return UnaryOrBinaryPattern(node, "&&$0", "$0 && $1");
    case NodeKind::PLUS: return UnaryOrBinaryPattern(node, IsWordOperator(node) ? "$A $0" : "+$0", "$0 + $1");
    case NodeKind::MINUS: return UnaryOrBinaryPattern(node, "-$0", "$0 - $1");
    case NodeKind::STAR: return StarPattern(node, header);
    case NodeKind::QUESTION: return "$0 ? $1$2";
    case NodeKind::COLON: return " : $0";
    case NodeKind::COMMA: return "$,";
    case NodeKind::LEFT_PAREN: return "($0)";
    case NodeKind::LEFT_BRACKET: return "$0[$1]";
    case NodeKind::LEFT_BRACE: case NodeKind::INITIALIZER: return "{...}";
    case NodeKind::CALL: return "$0 ($c)";
    case NodeKind::CAST: return "(type-cast)$0";
    case NodeKind::STRING_CONCAT: return "$0 $1";
    case NodeKind::FUNCTION_HEADER: case NodeKind::TYPE_NAME: case NodeKind::FUNCTION_DECLARATOR:
      return "$*";
    case NodeKind::EXTERN: case NodeKind::EMPTY: return "";
    default: return "<?>";
  }
}

const char* PatternOf(const TreeNode* node, bool header) {
  if (const char* keyword = KeywordPattern(node->kind)) return node->alpha ? "" : keyword;
  if (const char* binary = BinaryPattern(node->kind)) return binary;
  return OtherPattern(node, header);
}

// One node being printed: where its pattern stands, and for the list
// commands the next child to print.
struct Frame {
  const TreeNode* node;
  const char* pattern;
  const TreeNode* listChild;
  bool listStarted;
};

struct Printer {
  PrinterState& state;
  std::vector<Frame> stack;
  std::string literal;

  bool Push(const TreeNode* node) {
    if (!node) return false;
    if (state.length > state.capacity) return true;
    stack.push_back({node, PatternOf(node, state.header), nullptr, false});
    return false;
  }

  // Continues a "$*", "$," or "$c" command; false when the list is done.
  bool StepList(Frame& frame, const char* separator, bool& truncated) {
    if (!frame.listStarted) {
      frame.listStarted = true;
      frame.listChild = frame.pattern[1] == 'c' ? ChildAt(frame.node, 1) : frame.node->sons;
    } else if (separator && frame.listChild && AppendText(state, separator)) {
      truncated = true;
      return true;
    }
    if (!frame.listChild) return false;
    const TreeNode* child = frame.listChild;
    frame.listChild = child->next;
    truncated = Push(child);
    return true;
  }

  // Runs the top frame until it pushes a child or ends; true on truncation.
  bool StepTop() {
    Frame& frame = stack.back();
    literal.clear();
    while (*frame.pattern && *frame.pattern != '$') literal += *frame.pattern++;
    if (!literal.empty() && AppendText(state, literal.c_str())) return true;
    if (!*frame.pattern) {
      stack.pop_back();
      return false;
    }
    const char command = frame.pattern[1];
    if (command == '*' || command == ',' || command == 'c') {
      bool truncated = false;
      if (StepList(frame, command == '*' ? nullptr : ", ", truncated)) return truncated;
      frame.pattern += 2;
      frame.listStarted = false;
      return false;
    }
    frame.pattern += 2;
    if (command == 'A') return frame.node->alpha && AppendText(state, frame.node->alpha->text.c_str());
    return Push(ChildAt(frame.node, command - '0'));
  }
};

}  // namespace

char* PrintNode(const TreeNode* node, char* buffer, std::int16_t capacity) {
  buffer[0] = '\0';
  if (!node) return buffer;
  PrinterState state{buffer, capacity, 0, node->kind == NodeKind::FUNCTION_HEADER};
  Printer printer{state, {}, {}};
  if (printer.Push(node)) return buffer;
  while (!printer.stack.empty()) {
    if (printer.StepTop()) break;
  }
  return buffer;
}

bool AppendText(PrinterState& state, const char* text) {
  const std::size_t size = std::strlen(text);
  if (state.length + size <= static_cast<std::size_t>(std::max<int>(state.capacity, 0))) {
    std::memcpy(state.buffer + state.length, text, size + 1);
    state.length = static_cast<std::int16_t>(state.length + size);
    return false;
  }
  // The marker overwrites the end when it would not fit; a capacity below 4
  // keeps only the part of the marker that fits.
  int at = state.length >= state.capacity - 3 ? state.capacity - 4 : state.length;
  at = std::max(at, 0);
  const int room = std::max(0, std::min<int>(4, state.capacity - at));
  std::memcpy(state.buffer + at, " ...", static_cast<std::size_t>(room));
  state.buffer[at + room] = '\0';
  state.length = std::max<std::int16_t>(state.capacity, 0);
  return true;
}

}  // namespace frontend
