// A test-only text form of a syntax tree: each node as its kind's name (with
// ":" and the spelling when it has one), its children in brackets. The names
// serve the lexer's token codes too.
#pragma once

#include "frontend/syntax_tree.h"
#include "support/name_table.h"

#include <map>
#include <string>

namespace frontend {

inline std::string KindName(NodeKind kind) {
  static const std::map<int, std::string> names = {
      {258, "DOUBLE"}, {259, "INT"}, {260, "STRUCT"}, {261, "BREAK"}, {262, "ELSE"}, {263, "LONG"},
      {264, "SWITCH"}, {265, "CASE"}, {269, "CHAR"}, {270, "EXTERN"}, {271, "RETURN"}, {272, "UNION"},
      {273, "CONST"}, {274, "FLOAT"}, {275, "SHORT"}, {276, "UNSIGNED"}, {277, "CONTINUE"}, {278, "FOR"},
      {279, "SIGNED"}, {280, "VOID"}, {281, "DEFAULT"}, {282, "GOTO"}, {283, "SIZEOF"}, {284, "VOLATILE"},
      {285, "DO"}, {286, "IF"}, {288, "WHILE"}, {289, "ID"}, {290, "STR"}, {291, "FLOAT_C"}, {292, "DEC"},
      {293, "CHAR_C"}, {294, "OCT"}, {295, "HEX"}, {296, "TYPEDEF_NAME"}, {297, "->"}, {298, "POST++"},
      {299, "POST--"}, {300, "<<"}, {301, ">>"}, {302, "<="}, {303, ">="}, {304, "=="}, {305, "!="},
      {306, "&&"}, {307, "||"}, {308, "..."}, {309, "*="}, {312, "+="}, {314, "<<="}, {319, "!"}, {320, "?"},
      {321, "."}, {322, "&"}, {323, "~"}, {324, "="}, {325, "<"}, {326, ">"}, {327, "+"}, {328, "-"},
      {329, "*"}, {330, "/"}, {331, ";"}, {332, ","}, {333, ":"}, {334, "("}, {335, ")"}, {336, "["},
      {337, "]"}, {338, "{"}, {339, "}"}, {340, "%"}, {348, "BIN"},
      {349, "TRANSLATION_UNIT"}, {351, "FUNCTION_DEFINITION"}, {352, "FUNCTION_HEADER"}, {353, "CALL"},
      {354, "INIT_DECLARATOR"}, {355, "DECLARATION_GROUP"}, {356, "INIT_VALUE"}, {357, "STATIC_INIT_VALUE"},
      {358, "CAST"}, {359, "TYPE_NAME"}, {360, "LABEL"}, {361, "PRE_INC"}, {362, "PRE_DEC"},
      {363, "STRING_CONCAT"}, {364, "INITIALIZER"}, {365, "EXPRESSION_STATEMENT"},
      {366, "FUNCTION_DECLARATOR"}, {367, "EMPTY"}, {368, "ASM"}, {370, "DROPPED"}};
  auto found = names.find(static_cast<int>(kind));
  return found == names.end() ? std::to_string(static_cast<int>(kind)) : found->second;
}

inline std::string DumpTree(const TreeNode* node) {
  if (!node) return "null";
  std::string text = KindName(node->kind);
  if (node->kind != BLOCK_STATICS && node->alpha) text += ":" + node->alpha->text;
  if (!node->sons) return text;
  text += "[";
  for (const TreeNode* child = node->sons; child; child = child->next) {
    if (child != node->sons) text += " ";
    text += DumpTree(child);
  }
  return text + "]";
}

/// "line:column" of a position, or "-" when it is unset.
inline std::string At(const TokenPosition& position) {
  if (position.physical.line == 0) return "-";
  return std::to_string(position.physical.line) + ":" + std::to_string(position.physical.column);
}

}  // namespace frontend
