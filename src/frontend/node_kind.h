// Node kinds of the syntax tree, which are also the token codes of the lexer
// and of the grammar.
//
// The codes are shared with the grammar's token declarations (T_<name>) and
// with the codes users write in the accept and reduce pragmas: never
// renumber a kind. The two lists below are the only place a kind is named;
// node_kind_check.cpp fails the build when the grammar's tokens and
// QUORB_TOKEN_KINDS disagree, or when two kinds share a code.
#pragma once

#include <cstdint>

/// X(name, code) for every kind that is a token of the lexer and of the
/// grammar, in code order.
#define QUORB_TOKEN_KINDS(X)                                                          \
  /* Reserved words. */                                                               \
  X(AUTO, 257)                                                                        \
  X(DOUBLE, 258)                                                                      \
  X(INT, 259)                                                                         \
  X(STRUCT, 260)                                                                      \
  X(BREAK, 261)                                                                       \
  X(ELSE, 262)                                                                        \
  X(LONG, 263)                                                                        \
  X(SWITCH, 264)                                                                      \
  X(CASE, 265)                                                                        \
  X(ENUM, 266)                                                                        \
  X(REGISTER, 267)                                                                    \
  X(TYPEDEF, 268)                                                                     \
  X(CHAR, 269)                                                                        \
  X(EXTERN, 270) /* also the BLOCK_STATICS node */                                    \
  X(RETURN, 271)                                                                      \
  X(UNION, 272)                                                                       \
  X(CONST, 273)                                                                       \
  X(FLOAT, 274)                                                                       \
  X(SHORT, 275)                                                                       \
  X(UNSIGNED, 276)                                                                    \
  X(CONTINUE, 277)                                                                    \
  X(FOR, 278)                                                                         \
  X(SIGNED, 279)                                                                      \
  X(VOID, 280)                                                                        \
  X(DEFAULT, 281)                                                                     \
  X(GOTO, 282)                                                                        \
  X(SIZEOF, 283)                                                                      \
  X(VOLATILE, 284)                                                                    \
  X(DO, 285)                                                                          \
  X(IF, 286)                                                                          \
  X(STATIC, 287)                                                                      \
  X(WHILE, 288)                                                                       \
  /* Names, constants and literals. */                                                \
  X(IDENTIFIER, 289)                                                                  \
  X(STRING_LITERAL, 290)                                                              \
  X(FLOAT_CONSTANT, 291)                                                              \
  X(DEC_CONSTANT, 292)                                                                \
  X(CHAR_CONSTANT, 293)                                                               \
  X(OCT_CONSTANT, 294)                                                                \
  X(HEX_CONSTANT, 295)                                                                \
  X(TYPEDEF_NAME, 296)                                                                \
  /* Operators and punctuators. */                                                    \
  X(PTR_OP, 297)        /* -> */                                                      \
  X(INC_OP, 298)        /* ++ (postfix) */                                            \
  X(DEC_OP, 299)        /* -- (postfix) */                                            \
  X(LEFT_OP, 300)       /* << */                                                      \
  X(RIGHT_OP, 301)      /* >> */                                                      \
  X(LE_OP, 302)         /* <= */                                                      \
  X(GE_OP, 303)         /* >= */                                                      \
  X(EQ_OP, 304)         /* == */                                                      \
  X(NE_OP, 305)         /* != */                                                      \
  X(AND_OP, 306)        /* && */                                                      \
  X(OR_OP, 307)         /* || */                                                      \
  X(ELLIPSIS, 308)      /* ... */                                                     \
  X(MUL_ASSIGN, 309)    /* *= */                                                      \
  X(DIV_ASSIGN, 310)    /* /= */                                                      \
  X(MOD_ASSIGN, 311)    /* %= */                                                      \
  X(ADD_ASSIGN, 312)    /* += */                                                      \
  X(SUB_ASSIGN, 313)    /* -= */                                                      \
  X(LEFT_ASSIGN, 314)   /* <<= */                                                     \
  X(RIGHT_ASSIGN, 315)  /* >>= */                                                     \
  X(AND_ASSIGN, 316)    /* &= */                                                      \
  X(XOR_ASSIGN, 317)    /* ^= */                                                      \
  X(OR_ASSIGN, 318)     /* |= */                                                      \
  X(NOT, 319)           /* '!' */                                                     \
  X(QUESTION, 320)      /* '?' */                                                     \
  X(DOT, 321)           /* '.' */                                                     \
  X(AMPERSAND, 322)     /* '&' */                                                     \
  X(TILDE, 323)         /* '~' */                                                     \
  X(ASSIGN, 324)        /* '=' */                                                     \
  X(LESS, 325)          /* '<' */                                                     \
  X(GREATER, 326)       /* '>' */                                                     \
  X(PLUS, 327)          /* '+' */                                                     \
  X(MINUS, 328)         /* '-' */                                                     \
  X(STAR, 329)          /* '*' */                                                     \
  X(SLASH, 330)         /* '/' */                                                     \
  X(SEMICOLON, 331)     /* ';' */                                                     \
  X(COMMA, 332)         /* ',' */                                                     \
  X(COLON, 333)         /* ':' */                                                     \
  X(LEFT_PAREN, 334)    /* '(' */                                                     \
  X(RIGHT_PAREN, 335)   /* ')' */                                                     \
  X(LEFT_BRACKET, 336)  /* '[' */                                                     \
  X(RIGHT_BRACKET, 337) /* ']' */                                                     \
  X(LEFT_BRACE, 338)    /* '{' */                                                     \
  X(RIGHT_BRACE, 339)   /* '}' */                                                     \
  X(PERCENT, 340)       /* '%' */                                                     \
  X(CARET, 341)         /* '^' */                                                     \
  X(BAR, 342)           /* '|' */                                                     \
  /* 343 is reserved and never used. */                                               \
  /* Extension tokens. */                                                             \
  X(TRY, 344)                                                                         \
  X(EXCEPT, 345)                                                                      \
  X(FINALLY, 346)                                                                     \
  X(LEAVE, 347)                                                                       \
  X(BIN_CONSTANT, 348)                                                                \
  X(ASM, 368) /* inline-assembler token */                                            \
  /* 369 is reserved and never used. */                                               \
  /* A group the lexer dropped (an attribute, an assembler statement, an assertion) */ \
  /* right before the ";" of a statement or of a declaration without declarators;  */ \
  /* never a node. */                                                                 \
  X(DROPPED_GROUP, 370)

/// X(name, code) for every kind built by the parser only, in code order.
#define QUORB_NODE_ONLY_KINDS(X) \
  X(TRANSLATION_UNIT, 349)       \
  X(PARSE_SCRATCH, 350)          \
  X(FUNCTION_DEFINITION, 351)    \
  X(FUNCTION_HEADER, 352)        \
  X(CALL, 353)                   \
  X(INIT_DECLARATOR, 354)        \
  X(DECLARATION_GROUP, 355)      \
  X(INIT_VALUE, 356)             \
  X(STATIC_INIT_VALUE, 357)      \
  X(CAST, 358)                   \
  X(TYPE_NAME, 359)              \
  X(LABEL, 360)                  \
  X(PRE_INC, 361)                \
  X(PRE_DEC, 362)                \
  X(STRING_CONCAT, 363)          \
  X(INITIALIZER, 364)            \
  X(EXPRESSION_STATEMENT, 365)   \
  X(FUNCTION_DECLARATOR, 366)    \
  X(EMPTY, 367)

namespace frontend {

enum class NodeKind : std::uint16_t {
  NONE = 0,  // end of input as a token code; never a node
#define QUORB_KIND_ENUMERATOR(name, code) name = code,
  QUORB_TOKEN_KINDS(QUORB_KIND_ENUMERATOR) QUORB_NODE_ONLY_KINDS(QUORB_KIND_ENUMERATOR)
#undef QUORB_KIND_ENUMERATOR
};

/// The kind of a compound statement's first child that holds its statics.
inline constexpr NodeKind BLOCK_STATICS = NodeKind::EXTERN;

/// The token code of a kind, as the lexer returns it.
constexpr int TokenCode(NodeKind kind) { return static_cast<int>(kind); }

}  // namespace frontend
