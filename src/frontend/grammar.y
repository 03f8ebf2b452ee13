/* The C grammar: an LALR(1) grammar for C89 with the C99/C11 and GNU forms
 * that real compiler output contains, building the syntax tree.
 *
 * Every symbol's value is a TokenValue: the spelling and position of the
 * symbol's first token (the default action copies $1) and the node built for
 * it. A construct's position is therefore that of its first token unless an
 * action says otherwise. Actions call the tree builder (syntax_tree.h), the
 * step helpers of parser_actions.h and the scope operations of
 * symbol_tables.h; the typedef feedback to the lexer goes through the name
 * flags that DeclareName, OpenScope and CloseScope set and clear.
 *
 * The token numbers below are the node kinds of node_kind.h, which are also
 * the lexer's codes and the codes users write in accept and reduce pragmas;
 * node_kind_check.cpp fails the build when the two disagree.
 */
%code requires {
#include "frontend/syntax_tree.h"
/* Values are plain data: the parser stack may grow by copying them. */
#define YYSTYPE_IS_TRIVIAL 1
}

%code {
#include "frontend/front_end.h"
#include "frontend/grammar_support.h"
#include "frontend/name_flags.h"
#include "frontend/parser_actions.h"
#include "frontend/symbol_tables.h"

using namespace frontend;

namespace {

int qclex(TokenValue* value) { return NextGrammarToken(value); }
void qcerror(const char* message) { ReportSyntaxError(message); }

}  // namespace

#define YYINITDEPTH 150
#define YYMAXDEPTH 100000000
}

%define api.prefix {qc}
%define api.pure full
%define api.value.type {frontend::TokenValue}
%define parse.error simple

/* Destroyed symbols are those popped while recovering from a syntax error.
 * An action that frees a part it does not keep clears its own node, since
 * the value it leaves defaults to that of its first symbol; an empty rule
 * has no first symbol and always sets its whole value. */
%destructor { FreeChain($$.node); } <>

%token T_AUTO 257 "auto"
%token T_DOUBLE 258 "double"
%token T_INT 259 "int"
%token T_STRUCT 260 "struct"
%token T_BREAK 261 "break"
%token T_ELSE 262 "else"
%token T_LONG 263 "long"
%token T_SWITCH 264 "switch"
%token T_CASE 265 "case"
%token T_ENUM 266 "enum"
%token T_REGISTER 267 "register"
%token T_TYPEDEF 268 "typedef"
%token T_CHAR 269 "char"
%token T_EXTERN 270 "extern"
%token T_RETURN 271 "return"
%token T_UNION 272 "union"
%token T_CONST 273 "const"
%token T_FLOAT 274 "float"
%token T_SHORT 275 "short"
%token T_UNSIGNED 276 "unsigned"
%token T_CONTINUE 277 "continue"
%token T_FOR 278 "for"
%token T_SIGNED 279 "signed"
%token T_VOID 280 "void"
%token T_DEFAULT 281 "default"
%token T_GOTO 282 "goto"
%token T_SIZEOF 283 "sizeof"
%token T_VOLATILE 284 "volatile"
%token T_DO 285 "do"
%token T_IF 286 "if"
%token T_STATIC 287 "static"
%token T_WHILE 288 "while"
%token T_IDENTIFIER 289
%token T_STRING_LITERAL 290
%token T_FLOAT_CONSTANT 291
%token T_DEC_CONSTANT 292
%token T_CHAR_CONSTANT 293
%token T_OCT_CONSTANT 294
%token T_HEX_CONSTANT 295
%token T_TYPEDEF_NAME 296
%token T_PTR_OP 297 "->"
%token T_INC_OP 298 "++"
%token T_DEC_OP 299 "--"
%token T_LEFT_OP 300 "<<"
%token T_RIGHT_OP 301 ">>"
%token T_LE_OP 302 "<="
%token T_GE_OP 303 ">="
%token T_EQ_OP 304 "=="
%token T_NE_OP 305 "!="
%token T_AND_OP 306 "&&"
%token T_OR_OP 307 "||"
%token T_ELLIPSIS 308 "..."
%token T_MUL_ASSIGN 309 "*="
%token T_DIV_ASSIGN 310 "/="
%token T_MOD_ASSIGN 311 "%="
%token T_ADD_ASSIGN 312 "+="
%token T_SUB_ASSIGN 313 "-="
%token T_LEFT_ASSIGN 314 "<<="
%token T_RIGHT_ASSIGN 315 ">>="
%token T_AND_ASSIGN 316 "&="
%token T_XOR_ASSIGN 317 "^="
%token T_OR_ASSIGN 318 "|="
%token T_NOT 319 "!"
%token T_QUESTION 320 "?"
%token T_DOT 321 "."
%token T_AMPERSAND 322 "&"
%token T_TILDE 323 "~"
%token T_ASSIGN 324 "="
%token T_LESS 325 "<"
%token T_GREATER 326 ">"
%token T_PLUS 327 "+"
%token T_MINUS 328 "-"
%token T_STAR 329 "*"
%token T_SLASH 330 "/"
%token T_SEMICOLON 331 ";"
%token T_COMMA 332 ","
%token T_COLON 333 ":"
%token T_LEFT_PAREN 334 "("
%token T_RIGHT_PAREN 335 ")"
%token T_LEFT_BRACKET 336 "["
%token T_RIGHT_BRACKET 337 "]"
%token T_LEFT_BRACE 338 "{"
%token T_RIGHT_BRACE 339 "}"
%token T_PERCENT 340 "%"
%token T_CARET 341 "^"
%token T_BAR 342 "|"
%token T_TRY 344 "__try"
%token T_EXCEPT 345 "__except"
%token T_FINALLY 346 "__finally"
%token T_LEAVE 347 "__leave"
%token T_BIN_CONSTANT 348
%token T_ASM 368
%token T_DROPPED_GROUP 370

/* The else of "if (a) if (b) x; else y;" belongs to the inner if. */
%nonassoc LOWER_THAN_ELSE
%nonassoc "else"

/* Two shift/reduce conflicts, both resolved by shifting as C requires: a
 * TYPEDEF_NAME after storage classes or qualifiers only is the type, not the
 * declared name ("static T x;" in a declaration, "const T x;" in a struct
 * member); reducing the specifiers first would make T the declarator. */
%expect 2

%start translation_unit

%%

/* translation_unit = external_declaration* : TRANSLATION_UNIT [items...] */
translation_unit
  : external_declarations_reversed { FinishTranslationUnit(ListInOrder($1.node)); $$.node = nullptr; }
  ;

/* Long lists (declarations, block items, initializers, arguments) are built
 * newest first, each item pushed in constant time per node, and put in
 * order once complete: appending at the end of a long chain would walk it
 * for every item. */
external_declarations_reversed
  : %empty { $$ = {}; }
  | external_declarations_reversed external_declaration
      { $$.node = PushItems($1.node, $2.node); ForgetParameterNames(); }
  | external_declarations_reversed error
      { ResetDeclaration(); ForgetParameterNames(); $$.node = $1.node; }
  ;

/* A dropped group before ";" (a file-level assembler statement or
 * assertion) declares nothing. */
external_declaration
  : function_definition
  | declaration
  | ";" { $$.node = nullptr; }
  | T_DROPPED_GROUP ";" { $$.node = nullptr; }
  ;

/* Function definitions: FUNCTION_DEFINITION [FUNCTION_HEADER, '{'] */
function_definition
  : declaration_specifiers declarator compound_statement
      { $$.node = MakeFunctionDefinition($1.node, $2, nullptr, $3.node); ResetDeclaration(); }
  | declaration_specifiers declarator kr_parameter_declarations compound_statement
      { $$.node = MakeFunctionDefinition($1.node, $2, $3.node, $4.node); ResetDeclaration(); }
  | inner_declarator compound_statement
      { $$.node = MakeFunctionDefinition(nullptr, $1, nullptr, $2.node); ResetDeclaration(); }
  | inner_declarator kr_parameter_declarations compound_statement
      { $$.node = MakeFunctionDefinition(nullptr, $1, $2.node, $3.node); ResetDeclaration(); }
  ;

/* Old-style parameter declarations between the declarator and the body. */
kr_parameter_declarations
  : kr_parameter_declaration
  | kr_parameter_declarations kr_parameter_declaration { $$.node = AppendSibling($1.node, $2.node); }
  ;

kr_parameter_declaration
  : declaration_specifiers kr_parameter_declarators ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = EndItemsAt($2.node, $3); }
  | declaration_specifiers kr_parameter_declarators T_DROPPED_GROUP ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = EndItemsAt($2.node, $4); }
  ;

kr_parameter_declarators
  : declarator
      { CollectParameterName(DeclaratorName($1.node)); $$.node = MakeInitDeclarator($1, nullptr, nullptr); }
  | kr_parameter_declarators "," declarator
      { CollectParameterName(DeclaratorName($3.node));
        $$.node = AppendSibling($1.node, MakeInitDeclarator($3, nullptr, nullptr)); }
  ;

/* declaration = specifiers init_declarator ("," init_declarator)* ";" :
 * the INIT_DECLARATOR items, each ending at the ";" */
declaration
  : declaration_specifiers ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | declaration_specifiers T_DROPPED_GROUP ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | declaration_specifiers init_declarators ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = EndItemsAt($2.node, $3); }
  | declaration_specifiers init_declarators T_DROPPED_GROUP ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = EndItemsAt($2.node, $4); }
  ;

init_declarators
  : init_declarators_reversed { $$.node = ListInOrder($1.node); }
  ;

init_declarators_reversed
  : init_declarator
  | init_declarators_reversed "," init_declarator { $$.node = PushItems($1.node, $3.node); }
  ;

init_declarator
  : declared_declarator { $$.node = MakeInitDeclarator($1, nullptr, nullptr); }
  | declared_declarator "=" initializer { $$.node = MakeInitDeclarator($1, &$2, $3.node); }
  ;

/* The name is in scope from the end of its declarator on. */
declared_declarator
  : declarator { DeclareName(DeclaratorName($1.node), $1.node); }
  ;

/* Declaration specifiers: storage classes only set the declaration state;
 * qualifiers and type specifiers are kept as a chain of leaves. A typedef
 * name is a type specifier only while no other type specifier was seen, so
 * that "int T" declares T even when T names a type. */
declaration_specifiers
  : specifiers_without_type
  | specifiers_with_type
  ;

specifiers_without_type
  : storage_or_qualifier
  | specifiers_without_type storage_or_qualifier { $$.node = AppendSibling($1.node, $2.node); }
  ;

specifiers_with_type
  : type_specifier
  | specifiers_without_type type_specifier { $$.node = AppendSibling($1.node, $2.node); }
  | specifiers_with_type storage_or_qualifier { $$.node = AppendSibling($1.node, $2.node); }
  | specifiers_with_type basic_type_specifier { $$.node = AppendSibling($1.node, $2.node); }
  ;

storage_or_qualifier
  : storage_class_specifier { $$.node = nullptr; }
  | type_qualifier
  ;

storage_class_specifier
  : "typedef" { Symbols().declaration.storage = StorageClass::Typedef; }
  | "extern" { Symbols().declaration.storage = StorageClass::Extern; }
  | "static" { Symbols().declaration.storage = StorageClass::Static; }
  | "auto" { Symbols().declaration.storage = StorageClass::Auto; }
  | "register" { Symbols().declaration.storage = StorageClass::Register; }
  ;

type_qualifier
  : "const" { $$.node = MakeNode(NodeKind::CONST, $1); }
  | "volatile" { $$.node = MakeNode(NodeKind::VOLATILE, $1); }
  ;

type_qualifiers
  : type_qualifier
  | type_qualifiers type_qualifier { $$.node = AppendSibling($1.node, $2.node); }
  ;

type_specifier
  : basic_type_specifier
  | struct_or_union_specifier { NoteType($1.node); }
  | enum_specifier { $$.node = nullptr; }
  | T_TYPEDEF_NAME { $$.node = NoteType(MakeLeaf(NodeKind::TYPEDEF_NAME, $1)); }
  ;

basic_type_specifier
  : "void" { $$.node = NoteType(MakeNode(NodeKind::VOID, $1)); }
  | "char" { $$.node = NoteType(MakeNode(NodeKind::CHAR, $1)); }
  | "short" { $$.node = NoteType(MakeNode(NodeKind::SHORT, $1)); }
  | "int" { $$.node = NoteType(MakeNode(NodeKind::INT, $1)); }
  | "long" { $$.node = NoteType(MakeNode(NodeKind::LONG, $1)); }
  | "float" { $$.node = NoteType(MakeNode(NodeKind::FLOAT, $1)); }
  | "double" { $$.node = NoteType(MakeNode(NodeKind::DOUBLE, $1)); }
  | "signed" { $$.node = NoteType(MakeNode(NodeKind::SIGNED, $1)); }
  | "unsigned" { $$.node = NoteType(MakeNode(NodeKind::UNSIGNED, $1)); }
  ;

/* struct_or_union tag? ("{" member_declaration* "}")? : STRUCT or UNION,
 * followed by the tag; the members are parsed but not kept. */
struct_or_union_specifier
  : struct_or_union tag
      { $$.node = AppendSibling($1.node, $2.node); }
  | struct_or_union tag "{" save_declaration member_declarations "}"
      { RestoreDeclaration(); $$.node = AppendSibling($1.node, $2.node); }
  | struct_or_union "{" save_declaration member_declarations "}"
      { RestoreDeclaration(); }
  ;

struct_or_union
  : "struct" { $$.node = MakeNode(NodeKind::STRUCT, $1); }
  | "union" { $$.node = MakeNode(NodeKind::UNION, $1); }
  ;

tag
  : T_IDENTIFIER { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | T_TYPEDEF_NAME { $$.node = MakeLeaf(NodeKind::TYPEDEF_NAME, $1); }
  ;

save_declaration
  : %empty { $$ = {}; SaveDeclaration(); }
  ;

member_declarations
  : %empty { $$ = {}; }
  | member_declarations member_declaration
  ;

member_declaration
  : specifier_qualifiers member_declarators ";" { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | specifier_qualifiers member_declarators T_DROPPED_GROUP ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | specifier_qualifiers ";" { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | specifier_qualifiers T_DROPPED_GROUP ";" { FreeChain($1.node); ResetDeclaration(); $$.node = nullptr; }
  | ";"
  | T_DROPPED_GROUP ";"
  ;

member_declarators
  : member_declarator
  | member_declarators "," member_declarator
  ;

member_declarator
  : declarator { FreeChain($1.node); $$.node = nullptr; }
  | ":" constant_expression { FreeChain($2.node); }
  | declarator ":" constant_expression { FreeChain($1.node); FreeChain($3.node); $$.node = nullptr; }
  ;

/* Specifiers and qualifiers of type names and members, with the same rule
 * for typedef names as declaration specifiers. */
specifier_qualifiers
  : qualifiers_without_type
  | qualifiers_with_type
  ;

qualifiers_without_type
  : type_qualifier
  | qualifiers_without_type type_qualifier { $$.node = AppendSibling($1.node, $2.node); }
  ;

qualifiers_with_type
  : type_specifier
  | qualifiers_without_type type_specifier { $$.node = AppendSibling($1.node, $2.node); }
  | qualifiers_with_type type_qualifier { $$.node = AppendSibling($1.node, $2.node); }
  | qualifiers_with_type basic_type_specifier { $$.node = AppendSibling($1.node, $2.node); }
  ;

/* "enum" tag? ("{" enumerator ("," enumerator)* ","? "}")? : no node */
enum_specifier
  : "enum" "{" enumerators "}"
  | "enum" "{" enumerators "," "}"
  | "enum" tag "{" enumerators "}" { FreeChain($2.node); }
  | "enum" tag "{" enumerators "," "}" { FreeChain($2.node); }
  | "enum" tag { FreeChain($2.node); }
  ;

enumerators
  : enumerator
  | enumerators "," enumerator
  ;

enumerator
  : T_IDENTIFIER
  | T_IDENTIFIER "=" constant_expression { FreeChain($3.node); }
  ;

/* Declarators: IDENTIFIER; '*' [qualifiers..., declarator]; '(' [inner];
 * a size '[' [size] or a parameter part appended to the part it follows. */
declarator
  : pointer direct_declarator { $$.node = AttachPointer($1.node, $2.node); }
  | direct_declarator
  ;

direct_declarator
  : T_IDENTIFIER { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | T_TYPEDEF_NAME { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | "(" inner_declarator ")" { $$.node = MakeNode(NodeKind::LEFT_PAREN, $1, $2.node); }
  | direct_declarator declarator_suffix { $$.node = $2.node; }
  ;

/* Inside parentheses a typedef name is a parameter type (see %expect), so a
 * parenthesised declarator never starts with one; nor does the declarator of
 * a definition without specifiers, where it would be the return type. */
inner_declarator
  : pointer direct_declarator { $$.node = AttachPointer($1.node, $2.node); }
  | inner_direct_declarator
  ;

inner_direct_declarator
  : T_IDENTIFIER { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | "(" inner_declarator ")" { $$.node = MakeNode(NodeKind::LEFT_PAREN, $1, $2.node); }
  | inner_direct_declarator declarator_suffix { $$.node = $2.node; }
  ;

/* The suffix action appends to the part before it, which is the value just
 * below it on the stack ($0), and gives the resulting part. */
declarator_suffix
  : "[" array_size "]" { $$.node = AppendBracket($0.node, $1, $2.node, $3); }
  | "(" save_declaration parameter_part ")"
      { RestoreDeclaration(); $$.node = AppendParameters($0.node, $1, $3.node); }
  ;

/* What stands between the brackets of an array declarator: the size, or
 * nothing. The qualifiers and the "static" of a C99 array parameter
 * ("int a[static const 10]") and the "*" of a variable length array of
 * unspecified size are not kept. The "static" here is no storage class of
 * the declaration. */
array_size
  : %empty { $$ = {}; }
  | constant_expression
  | "*" { $$.node = nullptr; }
  | type_qualifiers { FreeChain($1.node); $$.node = nullptr; }
  | type_qualifiers "*" { FreeChain($1.node); $$.node = nullptr; }
  | type_qualifiers constant_expression { FreeChain($1.node); $$ = $2; }
  | "static" constant_expression { $$ = $2; }
  | "static" type_qualifiers constant_expression { FreeChain($2.node); $$ = $3; }
  | type_qualifiers "static" constant_expression { FreeChain($1.node); $$ = $3; }
  ;

parameter_part
  : %empty { $$ = {}; }
  | parameter_types
  | identifiers
  ;

identifiers
  : T_IDENTIFIER { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | identifiers "," T_IDENTIFIER { $$.node = AppendSibling($1.node, MakeLeaf(NodeKind::IDENTIFIER, $3)); }
  ;

/* A list of "..." alone is C23's and clang's overloadable functions'. */
parameter_types
  : parameters
  | parameters "," "..." { $$.node = AppendSibling($1.node, MakeNode(NodeKind::ELLIPSIS, $3)); }
  | "..." { $$.node = MakeNode(NodeKind::ELLIPSIS, $1); }
  ;

parameters
  : parameter
  | parameters "," parameter { $$.node = AppendSibling($1.node, $3.node); }
  ;

/* A parameter is the chain of its specifiers and its declarator. */
parameter
  : declaration_specifiers declarator
      { CollectParameterName(DeclaratorName($2.node)); ResetDeclaration();
        $$.node = AppendSibling($1.node, $2.node); }
  | declaration_specifiers abstract_declarator
      { ResetDeclaration(); $$.node = AppendSibling($1.node, $2.node); }
  | declaration_specifiers { ResetDeclaration(); }
  ;

pointer
  : "*" { $$.node = MakePointer($1, nullptr, nullptr); }
  | "*" type_qualifiers { $$.node = MakePointer($1, $2.node, nullptr); }
  | "*" pointer { $$.node = MakePointer($1, nullptr, $2.node); }
  | "*" type_qualifiers pointer { $$.node = MakePointer($1, $2.node, $3.node); }
  ;

/* type_name = specifier_qualifiers abstract_declarator? : TYPE_NAME */
type_name
  : specifier_qualifiers { $$.node = MakeNode(NodeKind::TYPE_NAME, $1, $1.node); }
  | specifier_qualifiers abstract_declarator { $$.node = MakeNode(NodeKind::TYPE_NAME, $1, $1.node, $2.node); }
  ;

abstract_declarator
  : pointer
  | direct_abstract_declarator
  | pointer direct_abstract_declarator { $$.node = AttachPointer($1.node, $2.node); }
  ;

direct_abstract_declarator
  : "(" abstract_declarator ")" { $$.node = MakeNode(NodeKind::LEFT_PAREN, $1, $2.node); }
  | "[" array_size "]" { $$.node = EndAfter(MakeNode(NodeKind::LEFT_BRACKET, $1, $2.node), $3); }
  | "(" ")" { $$.node = MakeNode(NodeKind::LEFT_PAREN, $1); }
  | "(" save_declaration parameter_types ")"
      { RestoreDeclaration(); $$.node = MakeNode(NodeKind::LEFT_PAREN, $1, $3.node); }
  | direct_abstract_declarator "[" array_size "]"
      { $$.node = AppendBracket($1.node, $2, $3.node, $4); }
  | direct_abstract_declarator "(" ")"
      { $$.node = AppendParameters($1.node, $2, nullptr); }
  | direct_abstract_declarator "(" save_declaration parameter_types ")"
      { RestoreDeclaration(); $$.node = AppendParameters($1.node, $2, $4.node); }
  ;

/* initializer = assignment_expression | "{" items ","? "}" : INITIALIZER */
initializer
  : assignment_expression
  | "{" "}" { $$.node = EndAfter(MakeNode(NodeKind::INITIALIZER, $1), $2); }
  | "{" initializer_items "}" { $$.node = EndAfter(MakeNode(NodeKind::INITIALIZER, $1, $2.node), $3); }
  ;

/* The items of a brace list, with or without a final ",". */
initializer_items
  : initializer_items_reversed { $$.node = ListInOrder($1.node); }
  | initializer_items_reversed "," { $$.node = ListInOrder($1.node); }
  ;

initializer_items_reversed
  : initializer_item
  | initializer_items_reversed "," initializer_item { $$.node = PushItems($1.node, $3.node); }
  ;

/* A designated item: '=' [designator, value]. The obsolete GNU forms
 * "member: value" and "[index] value" (no "=") build the same shape, the
 * '=' node then at the position of the ":" or of the "[". */
initializer_item
  : initializer
  | designation "=" initializer { $$.node = MakeNode(NodeKind::ASSIGN, $2, $1.node, $3.node); }
  | designation initializer { $$.node = MakeNode(NodeKind::ASSIGN, $1, $1.node, $2.node); }
  | member_name ":" initializer
      { $$.node = MakeNode(NodeKind::ASSIGN, $2, MakeNode(NodeKind::DOT, $2, MakeEmpty($1), $1.node), $3.node); }
  ;

/* Designators: '.' [object, member] and '[' [array, index], the first with
 * an EMPTY object or array. */
designation
  : designator_start
  | designation "." member_name { $$.node = MakeNode(NodeKind::DOT, $2, $1.node, $3.node); }
  | designation "[" constant_expression "]"
      { $$.node = EndAfter(MakeNode(NodeKind::LEFT_BRACKET, $2, $1.node, $3.node), $4); }
  ;

designator_start
  : "." member_name { $$.node = MakeNode(NodeKind::DOT, $1, MakeEmpty($1), $2.node); }
  | "[" constant_expression "]"
      { $$.node = EndAfter(MakeNode(NodeKind::LEFT_BRACKET, $1, MakeEmpty($1), $2.node), $3); }
  | "[" constant_expression "..." constant_expression "]"
      { $$.node = EndAfter(MakeNode(NodeKind::LEFT_BRACKET, $1, MakeEmpty($1),
                                    MakeNode(NodeKind::ELLIPSIS, $3, $2.node, $4.node)), $5); }
  ;

member_name
  : T_IDENTIFIER { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  | T_TYPEDEF_NAME { $$.node = MakeLeaf(NodeKind::IDENTIFIER, $1); }
  ;

/* Statements */
statement
  : labeled_statement
  | compound_statement
  | expression_statement
  | selection_statement
  | iteration_statement
  | jump_statement
  | try_statement
  | T_ASM { $$.node = MakeEmpty($1); }
  | dropped_group_statement
  ;

/* An attribute, assembler statement or assertion with its ";"
 * ("__attribute__((fallthrough));", "[[fallthrough]];", "__asm__("nop");",
 * also as the body of "while (busy) __asm__("pause");") is EMPTY from the
 * group's first character to the ";": text put before it cannot come
 * between the group and its ";". After a function declarator the same
 * token stands before a declaration's ";" ("void f(void) __asm__("g");"). */
dropped_group_statement
  : T_DROPPED_GROUP ";" { $$.node = EndAt(MakeEmpty($1), $2); }
  ;

/* label ":" statement : LABEL [identifier, statement], ending at ":".
 * A label right before "}" is a tolerated anachronism. */
labeled_statement
  : label_name ":" arm_label statement
      { DisarmAnachronism();
        $$.node = EndAt(MakeNode(NodeKind::LABEL, $1, MakeLeaf(NodeKind::IDENTIFIER, $1), $4.node), $2); }
  | label_name ":" arm_label error
      { DisarmAnachronism();
        $$.node = EndAt(MakeNode(NodeKind::LABEL, $1, MakeLeaf(NodeKind::IDENTIFIER, $1), MakeEmpty($2)), $2); }
  | "case" constant_expression ":" arm_case statement
      { DisarmAnachronism(); $$.node = EndAt(MakeNode(NodeKind::CASE, $1, $2.node, $5.node), $3); }
  | "case" constant_expression ":" arm_case error
      { DisarmAnachronism(); $$.node = EndAt(MakeNode(NodeKind::CASE, $1, $2.node, MakeEmpty($3)), $3); }
  | "case" constant_expression "..." constant_expression ":" arm_case statement
      { DisarmAnachronism();
        $$.node = EndAt(MakeNode(NodeKind::CASE, $1, MakeNode(NodeKind::ELLIPSIS, $3, $2.node, $4.node), $7.node), $5); }
  | "default" ":" arm_default statement
      { DisarmAnachronism(); $$.node = EndAt(MakeNode(NodeKind::DEFAULT, $1, $4.node), $2); }
  | "default" ":" arm_default error
      { DisarmAnachronism(); $$.node = EndAt(MakeNode(NodeKind::DEFAULT, $1, MakeEmpty($2)), $2); }
  ;

/* Labels have a name space of their own: a typedef name is a label name
 * too ("T: x++; goto T;"). */
label_name
  : T_IDENTIFIER
  | T_TYPEDEF_NAME
  ;

arm_label : %empty { $$ = {}; ArmAnachronism(Anachronism::Label); } ;
arm_case : %empty { $$ = {}; ArmAnachronism(Anachronism::Case); } ;
arm_default : %empty { $$ = {}; ArmAnachronism(Anachronism::Default); } ;

/* "{" block_item* "}" : '{' [BLOCK_STATICS?, items...] */
compound_statement
  : "{" open_scope block_items_reversed "}"
      { $$.node = MakeCompound($1, CloseScope(), ListInOrder($3.node), $4); }
  ;

open_scope
  : %empty { $$ = {}; OpenScope(); }
  ;

block_items_reversed
  : %empty { $$ = {}; }
  | block_items_reversed block_item { $$.node = PushItems($1.node, $2.node); }
  ;

/* A statement ends whatever a type name inside it noted as declaration. */
block_item
  : declaration
  | statement { ResetDeclaration(); }
  | nested_function_definition
  | labeled_declaration
  ;

/* Labels right before a declaration (C23, and GCC in every mode): each
 * label with an EMPTY statement at the token that follows it, then the
 * declaration's items ("a: case 1: int x;" gives LABEL, CASE, the items). */
labeled_declaration
  : label_name ":" arm_label labeled_declaration_tail
      { DisarmAnachronism();
        $$.node = PrefixLabel(EndAt(MakeNode(NodeKind::LABEL, $1, MakeLeaf(NodeKind::IDENTIFIER, $1)), $2), $4); }
  | "case" constant_expression ":" arm_case labeled_declaration_tail
      { DisarmAnachronism(); $$.node = PrefixLabel(EndAt(MakeNode(NodeKind::CASE, $1, $2.node), $3), $5); }
  | "case" constant_expression "..." constant_expression ":" arm_case labeled_declaration_tail
      { DisarmAnachronism();
        $$.node = PrefixLabel(EndAt(MakeNode(NodeKind::CASE, $1, MakeNode(NodeKind::ELLIPSIS, $3, $2.node, $4.node)),
                                    $5), $7); }
  | "default" ":" arm_default labeled_declaration_tail
      { DisarmAnachronism(); $$.node = PrefixLabel(EndAt(MakeNode(NodeKind::DEFAULT, $1), $2), $4); }
  ;

labeled_declaration_tail
  : declaration
  | labeled_declaration
  ;

/* A GNU nested function: EMPTY from its first token to its closing brace,
 * which the instrumentation copies as it is. */
nested_function_definition
  : declaration_specifiers declarator compound_statement
      { $$.node = MakeNestedFunction($1, $1.node, $2.node, nullptr, $3.node); ResetDeclaration(); }
  | declaration_specifiers declarator kr_parameter_declarations compound_statement
      { $$.node = MakeNestedFunction($1, $1.node, $2.node, $3.node, $4.node); ResetDeclaration(); }
  ;

/* expression? ";" : EXPRESSION_STATEMENT [expression or EMPTY] at the ";" */
expression_statement
  : ";" { $$.node = EndAt(MakeNode(NodeKind::EXPRESSION_STATEMENT, $1, MakeEmpty($1)), $1); }
  | expression ";" { $$.node = EndAt(MakeNode(NodeKind::EXPRESSION_STATEMENT, $2, $1.node), $2); }
  ;

selection_statement
  : "if" "(" expression ")" statement %prec LOWER_THAN_ELSE
      { $$.node = MakeNode(NodeKind::IF, $1, $3.node, $5.node); }
  | "if" "(" expression ")" statement "else" statement
      { $$.node = AppendChild(MakeNode(NodeKind::IF, $1, $3.node, $5.node), MakeNode(NodeKind::ELSE, $6, $7.node)); }
  | "switch" "(" expression ")" statement
      { $$.node = EndAt(MakeNode(NodeKind::SWITCH, $1, $3.node, $5.node), $4); }
  ;

/* FOR [initialisation, condition, step, body], absent parts EMPTY; the
 * initialisation may be a declaration, in a scope of its own. */
iteration_statement
  : "while" "(" expression ")" statement
      { $$.node = MakeNode(NodeKind::WHILE, $1, $3.node, $5.node); }
  | "do" statement "while" "(" expression ")" ";"
      { $$.node = EndAt(MakeNode(NodeKind::DO, $1, $5.node, $2.node), $7); }
  | "for" "(" open_scope for_initialisation optional_expression ";" optional_expression ")" statement
      { CloseForScope($1);
        $$.node = AppendChild(AppendChild(MakeNode(NodeKind::FOR, $1, $4.node, $5.node), $7.node), $9.node); }
  ;

for_initialisation
  : optional_expression ";"
  | declaration_specifiers init_declarators ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = MakeForDeclaration(EndItemsAt($2.node, $3)); }
  | declaration_specifiers init_declarators T_DROPPED_GROUP ";"
      { FreeChain($1.node); ResetDeclaration(); $$.node = MakeForDeclaration(EndItemsAt($2.node, $4)); }
  ;

/* An absent expression is EMPTY at the token that follows it. */
optional_expression
  : %empty { $$ = LookaheadToken(); $$.node = MakeEmpty(LookaheadToken()); }
  | expression
  ;

jump_statement
  : "goto" label_name ";"
      { $$.node = EndAt(MakeNode(NodeKind::GOTO, $1, MakeLeaf(NodeKind::IDENTIFIER, $2)), $3); }
  | "goto" "*" expression ";"
      { $$.node = EndAt(MakeNode(NodeKind::GOTO, $1, MakeNode(NodeKind::STAR, $2, $3.node)), $4); }
  | "continue" ";" { $$.node = EndAt(MakeNode(NodeKind::CONTINUE, $1), $2); }
  | "__leave" ";" { $$.node = EndAt(MakeNode(NodeKind::CONTINUE, $1), $2); }
  | "break" ";" { $$.node = EndAt(MakeNode(NodeKind::BREAK, $1), $2); }
  | "return" ";" { $$.node = EndAt(MakeNode(NodeKind::RETURN, $1, MakeEmpty($2)), $2); }
  | "return" expression ";" { $$.node = EndAt(MakeNode(NodeKind::RETURN, $1, $2.node), $3); }
  ;

/* "__try" block ("__except" block | "__finally" block) : TRY [body, handler] */
try_statement
  : "__try" compound_statement "__except" compound_statement
      { $$.node = MakeNode(NodeKind::TRY, $1, $2.node, MakeNode(NodeKind::EXCEPT, $3, $4.node)); }
  | "__try" compound_statement "__finally" compound_statement
      { $$.node = MakeNode(NodeKind::TRY, $1, $2.node, MakeNode(NodeKind::FINALLY, $3, $4.node)); }
  ;

/* Expressions, loosest first. Binary operators: op [left, right]. */
expression
  : assignment_expression
  | expression "," assignment_expression { $$.node = MakeNode(NodeKind::COMMA, $2, $1.node, $3.node); }
  ;

assignment_expression
  : conditional_expression
  | unary_expression "=" assignment_expression { $$.node = MakeNode(NodeKind::ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "*=" assignment_expression { $$.node = MakeNode(NodeKind::MUL_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "/=" assignment_expression { $$.node = MakeNode(NodeKind::DIV_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "%=" assignment_expression { $$.node = MakeNode(NodeKind::MOD_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "+=" assignment_expression { $$.node = MakeNode(NodeKind::ADD_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "-=" assignment_expression { $$.node = MakeNode(NodeKind::SUB_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "<<=" assignment_expression { $$.node = MakeNode(NodeKind::LEFT_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression ">>=" assignment_expression { $$.node = MakeNode(NodeKind::RIGHT_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "&=" assignment_expression { $$.node = MakeNode(NodeKind::AND_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "^=" assignment_expression { $$.node = MakeNode(NodeKind::XOR_ASSIGN, $2, $1.node, $3.node); }
  | unary_expression "|=" assignment_expression { $$.node = MakeNode(NodeKind::OR_ASSIGN, $2, $1.node, $3.node); }
  ;

/* cond "?" value ":" value : '?' [cond, value, ':' [value]]; an omitted
 * middle operand is a tolerated anachronism giving EMPTY. */
conditional_expression
  : logical_or_expression
  | logical_or_expression "?" arm_conditional expression disarm ":" conditional_expression
      { $$.node = MakeNode(NodeKind::QUESTION, $2, $1.node, $4.node);
        AppendChild($$.node, MakeNode(NodeKind::COLON, $6, $7.node)); }
  | logical_or_expression "?" arm_conditional error ":" conditional_expression
      { DisarmAnachronism();
        $$.node = MakeNode(NodeKind::QUESTION, $2, $1.node, MakeEmpty($5));
        AppendChild($$.node, MakeNode(NodeKind::COLON, $5, $6.node)); }
  ;

arm_conditional : %empty { $$ = {}; ArmAnachronism(Anachronism::Conditional); } ;
disarm : %empty { $$ = {}; DisarmAnachronism(); } ;

constant_expression
  : conditional_expression
  ;

logical_or_expression
  : logical_and_expression
  | logical_or_expression "||" logical_and_expression { $$.node = MakeNode(NodeKind::OR_OP, $2, $1.node, $3.node); }
  ;

logical_and_expression
  : inclusive_or_expression
  | logical_and_expression "&&" inclusive_or_expression { $$.node = MakeNode(NodeKind::AND_OP, $2, $1.node, $3.node); }
  ;

inclusive_or_expression
  : exclusive_or_expression
  | inclusive_or_expression "|" exclusive_or_expression { $$.node = MakeNode(NodeKind::BAR, $2, $1.node, $3.node); }
  ;

exclusive_or_expression
  : and_expression
  | exclusive_or_expression "^" and_expression { $$.node = MakeNode(NodeKind::CARET, $2, $1.node, $3.node); }
  ;

and_expression
  : equality_expression
  | and_expression "&" equality_expression { $$.node = MakeNode(NodeKind::AMPERSAND, $2, $1.node, $3.node); }
  ;

equality_expression
  : relational_expression
  | equality_expression "==" relational_expression { $$.node = MakeNode(NodeKind::EQ_OP, $2, $1.node, $3.node); }
  | equality_expression "!=" relational_expression { $$.node = MakeNode(NodeKind::NE_OP, $2, $1.node, $3.node); }
  ;

relational_expression
  : shift_expression
  | relational_expression "<" shift_expression { $$.node = MakeNode(NodeKind::LESS, $2, $1.node, $3.node); }
  | relational_expression ">" shift_expression { $$.node = MakeNode(NodeKind::GREATER, $2, $1.node, $3.node); }
  | relational_expression "<=" shift_expression { $$.node = MakeNode(NodeKind::LE_OP, $2, $1.node, $3.node); }
  | relational_expression ">=" shift_expression { $$.node = MakeNode(NodeKind::GE_OP, $2, $1.node, $3.node); }
  ;

shift_expression
  : additive_expression
  | shift_expression "<<" additive_expression { $$.node = MakeNode(NodeKind::LEFT_OP, $2, $1.node, $3.node); }
  | shift_expression ">>" additive_expression { $$.node = MakeNode(NodeKind::RIGHT_OP, $2, $1.node, $3.node); }
  ;

additive_expression
  : multiplicative_expression
  | additive_expression "+" multiplicative_expression { $$.node = MakeNode(NodeKind::PLUS, $2, $1.node, $3.node); }
  | additive_expression "-" multiplicative_expression { $$.node = MakeNode(NodeKind::MINUS, $2, $1.node, $3.node); }
  ;

multiplicative_expression
  : cast_expression
  | multiplicative_expression "*" cast_expression { $$.node = MakeNode(NodeKind::STAR, $2, $1.node, $3.node); }
  | multiplicative_expression "/" cast_expression { $$.node = MakeNode(NodeKind::SLASH, $2, $1.node, $3.node); }
  | multiplicative_expression "%" cast_expression { $$.node = MakeNode(NodeKind::PERCENT, $2, $1.node, $3.node); }
  ;

/* "(" type_name ")" operand : CAST [operand]; the type is not kept. */
cast_expression
  : unary_expression
  | "(" type_name ")" cast_expression
      { FreeChain($2.node); $$.node = EndAt(MakeNode(NodeKind::CAST, $1, $4.node), $3); }
  ;

/* Unary operators: a leaf from the operator with the operand appended; a
 * unary plus keeps the word it was read from (__real__ and __imag__). The
 * GNU address of a label, "&&" label, is AND_OP [label identifier]; the
 * label is no variable, so it gets no referenced bit. */
unary_expression
  : postfix_expression
  | "++" unary_expression { $$.node = MakeNode(NodeKind::PRE_INC, $1, $2.node); }
  | "--" unary_expression { $$.node = MakeNode(NodeKind::PRE_DEC, $1, $2.node); }
  | "&" cast_expression { $$.node = MakeNode(NodeKind::AMPERSAND, $1, $2.node); }
  | "*" cast_expression { $$.node = MakeNode(NodeKind::STAR, $1, $2.node); }
  | "+" cast_expression { $$.node = MakeNode(NodeKind::PLUS, $1, $2.node); $$.node->alpha = $1.alpha; }
  | "-" cast_expression { $$.node = MakeNode(NodeKind::MINUS, $1, $2.node); }
  | "~" cast_expression { $$.node = MakeNode(NodeKind::TILDE, $1, $2.node); }
  | "!" cast_expression { $$.node = MakeNode(NodeKind::NOT, $1, $2.node); }
  | "&&" label_name { $$.node = MakeNode(NodeKind::AND_OP, $1, MakeLeaf(NodeKind::IDENTIFIER, $2)); }
  | "sizeof" unary_expression { $$.node = MakeSizeofExpression($1, $2.node); }
  | "sizeof" "(" type_name ")" { $$.node = EndAt(MakeNode(NodeKind::SIZEOF, $1, $3.node), $4); }
  ;

/* Postfix operators; a compound literal "(" type ")" "{" items "}", the
 * items possibly none, is CAST [INITIALIZER] without its type. */
postfix_expression
  : primary_expression
  | postfix_expression "[" expression "]"
      { $$.node = EndAfter(MakeNode(NodeKind::LEFT_BRACKET, $2, $1.node, $3.node), $4); }
  | postfix_expression "(" ")"
      { $$.node = EndAt(MakeNode(NodeKind::CALL, $2, $1.node), $3); }
  | postfix_expression "(" arguments ")"
      { $$.node = EndAt(MakeNode(NodeKind::CALL, $2, $1.node, $3.node), $4); }
  | postfix_expression "." member_name { $$.node = MakeNode(NodeKind::DOT, $2, $1.node, $3.node); }
  | postfix_expression "->" member_name { $$.node = MakeNode(NodeKind::PTR_OP, $2, $1.node, $3.node); }
  | postfix_expression "++" { $$.node = MakePostfix(NodeKind::INC_OP, $2, $1.node); }
  | postfix_expression "--" { $$.node = MakePostfix(NodeKind::DEC_OP, $2, $1.node); }
  | "(" type_name ")" "{" "}"
      { FreeChain($2.node);
        $$.node = EndAt(MakeNode(NodeKind::CAST, $1, EndAfter(MakeNode(NodeKind::INITIALIZER, $4), $5)), $3); }
  | "(" type_name ")" "{" initializer_items "}"
      { FreeChain($2.node);
        $$.node = EndAt(MakeNode(NodeKind::CAST, $1, EndAfter(MakeNode(NodeKind::INITIALIZER, $4, $5.node), $6)), $3); }
  ;

arguments
  : arguments_reversed { $$.node = ListInOrder($1.node); }
  ;

arguments_reversed
  : assignment_expression
  | arguments_reversed "," assignment_expression { $$.node = PushItems($1.node, $3.node); }
  ;

/* Names, constants, literals (adjacent strings joined into STRING_CONCAT),
 * parenthesised expressions and GNU statement expressions. */
primary_expression
  : T_IDENTIFIER { $$.node = MakeReference($1); }
  | T_DEC_CONSTANT { $$.node = MakeLeaf(NodeKind::DEC_CONSTANT, $1); }
  | T_OCT_CONSTANT { $$.node = MakeLeaf(NodeKind::OCT_CONSTANT, $1); }
  | T_HEX_CONSTANT { $$.node = MakeLeaf(NodeKind::HEX_CONSTANT, $1); }
  | T_BIN_CONSTANT { $$.node = MakeLeaf(NodeKind::BIN_CONSTANT, $1); }
  | T_FLOAT_CONSTANT { $$.node = MakeLeaf(NodeKind::FLOAT_CONSTANT, $1); }
  | T_CHAR_CONSTANT { $$.node = MakeLeaf(NodeKind::CHAR_CONSTANT, $1); }
  | strings
  | "(" expression ")" { $$.node = EndAt(MakeNode(NodeKind::LEFT_PAREN, $1, $2.node), $3); }
  | "(" compound_statement ")" { $$.node = EndAt(MakeNode(NodeKind::LEFT_PAREN, $1, $2.node), $3); }
  ;

strings
  : T_STRING_LITERAL { $$.node = MakeLeaf(NodeKind::STRING_LITERAL, $1); }
  | strings T_STRING_LITERAL
      { $$ = $2; $$.node = MakeNode(NodeKind::STRING_CONCAT, $2, $1.node, MakeLeaf(NodeKind::STRING_LITERAL, $2)); }
  ;

%%
