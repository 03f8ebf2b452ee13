// Node kinds of the syntax tree, which are also the token codes of the lexer
// and of the grammar.
//
// ORDER NODE-KIND: these numbers are shared with the grammar's token
// declarations and with the codes users write in the accept and reduce
// pragmas; never renumber a kind. Grep for "ORDER NODE-KIND" when changing
// anything here.
#pragma once

#include <cstdint>

namespace frontend {

enum class NodeKind : std::uint16_t {
  NONE = 0,  // end of input as a token code; never a node
  // Reserved words.
  AUTO = 257,
  DOUBLE = 258,
  INT = 259,
  STRUCT = 260,
  BREAK = 261,
  ELSE = 262,
  LONG = 263,
  SWITCH = 264,
  CASE = 265,
  ENUM = 266,
  REGISTER = 267,
  TYPEDEF = 268,
  CHAR = 269,
  EXTERN = 270,  // also the BLOCK_STATICS node
  RETURN = 271,
  UNION = 272,
  CONST = 273,
  FLOAT = 274,
  SHORT = 275,
  UNSIGNED = 276,
  CONTINUE = 277,
  FOR = 278,
  SIGNED = 279,
  VOID = 280,
  DEFAULT = 281,
  GOTO = 282,
  SIZEOF = 283,
  VOLATILE = 284,
  DO = 285,
  IF = 286,
  STATIC = 287,
  WHILE = 288,
  // Names, constants and literals.
  IDENTIFIER = 289,
  STRING_LITERAL = 290,
  FLOAT_CONSTANT = 291,
  DEC_CONSTANT = 292,
  CHAR_CONSTANT = 293,
  OCT_CONSTANT = 294,
  HEX_CONSTANT = 295,
  TYPEDEF_NAME = 296,
  // Operators and punctuators.
  PTR_OP = 297,        // ->
  INC_OP = 298,        // ++ (postfix)
  DEC_OP = 299,        // -- (postfix)
  LEFT_OP = 300,       // <<
  RIGHT_OP = 301,      // >>
  LE_OP = 302,         // <=
  GE_OP = 303,         // >=
  EQ_OP = 304,         // ==
  NE_OP = 305,         // !=
  AND_OP = 306,        // &&
  OR_OP = 307,         // ||
  ELLIPSIS = 308,      // ...
  MUL_ASSIGN = 309,    // *=
  DIV_ASSIGN = 310,    // /=
  MOD_ASSIGN = 311,    // %=
  ADD_ASSIGN = 312,    // +=
  SUB_ASSIGN = 313,    // -=
  LEFT_ASSIGN = 314,   // <<=
  RIGHT_ASSIGN = 315,  // >>=
  AND_ASSIGN = 316,    // &=
  XOR_ASSIGN = 317,    // ^=
  OR_ASSIGN = 318,     // |=
  NOT = 319,           // '!'
  QUESTION = 320,      // '?'
  DOT = 321,           // '.'
  AMPERSAND = 322,     // '&'
  TILDE = 323,         // '~'
  ASSIGN = 324,        // '='
  LESS = 325,          // '<'
  GREATER = 326,       // '>'
  PLUS = 327,          // '+'
  MINUS = 328,         // '-'
  STAR = 329,          // '*'
  SLASH = 330,         // '/'
  SEMICOLON = 331,     // ';'
  COMMA = 332,         // ','
  COLON = 333,         // ':'
  LEFT_PAREN = 334,    // '('
  RIGHT_PAREN = 335,   // ')'
  LEFT_BRACKET = 336,  // '['
  RIGHT_BRACKET = 337, // ']'
  LEFT_BRACE = 338,    // '{'
  RIGHT_BRACE = 339,   // '}'
  PERCENT = 340,       // '%'
  CARET = 341,         // '^'
  BAR = 342,           // '|'
  // 343 is reserved and never used.
  // Extension tokens.
  TRY = 344,
  EXCEPT = 345,
  FINALLY = 346,
  LEAVE = 347,
  BIN_CONSTANT = 348,
  // Kinds built by the parser only.
  TRANSLATION_UNIT = 349,
  PARSE_SCRATCH = 350,
  FUNCTION_DEFINITION = 351,
  FUNCTION_HEADER = 352,
  CALL = 353,
  INIT_DECLARATOR = 354,
  DECLARATION_GROUP = 355,
  INIT_VALUE = 356,
  STATIC_INIT_VALUE = 357,
  CAST = 358,
  TYPE_NAME = 359,
  LABEL = 360,
  PRE_INC = 361,
  PRE_DEC = 362,
  STRING_CONCAT = 363,
  INITIALIZER = 364,
  EXPRESSION_STATEMENT = 365,
  FUNCTION_DECLARATOR = 366,
  EMPTY = 367,
  ASM = 368,  // inline-assembler token
  // 369 is reserved and never used.
  // Token only: a group the lexer dropped (an attribute, an assembler
  // statement, an assertion) right before the ";" of a statement or of a
  // declaration without declarators; never a node.
  DROPPED_GROUP = 370,
};

/// The kind of a compound statement's first child that holds its statics.
inline constexpr NodeKind BLOCK_STATICS = NodeKind::EXTERN;

/// The token code of a kind, as the lexer returns it.
constexpr int TokenCode(NodeKind kind) { return static_cast<int>(kind); }

}  // namespace frontend
