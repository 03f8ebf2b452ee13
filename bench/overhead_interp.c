/* The branch-heavy workload of the runtime benchmark: a tokenizer and a
 * recursive-descent parser that evaluate generated assignments over eight
 * variables, as an interpreter's front end does. Almost every step is a
 * decision or a call, on data the branch predictor cannot learn.
 *
 *   overhead_interp [kilobytes [rounds]]
 *
 * Prints the count of statements and a checksum of their values. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { VARIABLES = 8, MAX_DEPTH = 6 };

typedef enum {
  T_END, T_NUMBER, T_NAME, T_PLUS, T_MINUS, T_STAR, T_SLASH, T_PERCENT, T_LESS, T_EQUAL,
  T_AND, T_OR, T_NOT, T_OPEN, T_CLOSE, T_ASSIGN, T_SEMICOLON, T_QUESTION, T_COLON
} TokenKind;

typedef struct {
  const char *at;
  TokenKind kind;
  long value;
  long variables[VARIABLES];
} Parser;

static unsigned long long randomState = 0x9E3779B97F4A7C15ULL;

static unsigned nextRandom(void) {
  randomState ^= randomState << 13;
  randomState ^= randomState >> 7;
  randomState ^= randomState << 17;
  return (unsigned)(randomState >> 32);
}

static size_t put(char *text, size_t at, size_t size, const char *piece) {
  while (*piece && at < size)
    text[at++] = *piece++;
  return at;
}

/* A random expression of at most `depth` levels of operators. */
static size_t generateExpression(char *text, size_t at, size_t size, int depth) {
  static const char *const operators[] = {" + ", " - ", " * ", " / ", " % ", " < ", " == ", " && ", " || "};
  char number[16];
  unsigned pick = nextRandom();
  if (depth == 0 || pick % 5 == 0) {
    if (pick & 32) {
      snprintf(number, sizeof number, "%u", pick >> 20);
      return put(text, at, size, number);
    }
    number[0] = (char)('a' + (pick >> 8) % VARIABLES);
    number[1] = 0;
    return put(text, at, size, number);
  }
  switch (pick >> 29) {
    case 0:
      at = put(text, at, size, "!(");
      at = generateExpression(text, at, size, depth - 1);
      return put(text, at, size, ")");
    case 1:
      at = put(text, at, size, "(");
      at = generateExpression(text, at, size, depth - 1);
      at = put(text, at, size, " ? ");
      at = generateExpression(text, at, size, depth - 1);
      at = put(text, at, size, " : ");
      at = generateExpression(text, at, size, depth - 1);
      return put(text, at, size, ")");
    default:
      at = put(text, at, size, "(");
      at = generateExpression(text, at, size, depth - 1);
      at = put(text, at, size, operators[(pick >> 4) % (sizeof operators / sizeof operators[0])]);
      at = generateExpression(text, at, size, depth - 1);
      return put(text, at, size, ")");
  }
}

/* Statements "x = expression;" until the text is full; the last complete
 * statement ends the text. */
static void generateProgram(char *text, size_t size) {
  size_t at = 0, end = 0;
  char target[5] = "a = ";
  while (at < size) {
    target[0] = (char)('a' + nextRandom() % VARIABLES);
    at = put(text, at, size, target);
    at = generateExpression(text, at, size, MAX_DEPTH);
    at = put(text, at, size, ";\n");
    if (at < size)
      end = at;
  }
  text[end] = 0;
}

static void nextToken(Parser *parser) {
  const char *p = parser->at;
  while (*p == ' ' || *p == '\n')
    p++;
  if (*p >= '0' && *p <= '9') {
    long value = 0;
    while (*p >= '0' && *p <= '9')
      value = value * 10 + (*p++ - '0');
    parser->kind = T_NUMBER;
    parser->value = value;
    parser->at = p;
    return;
  }
  if (*p >= 'a' && *p < 'a' + VARIABLES) {
    parser->kind = T_NAME;
    parser->value = *p - 'a';
    parser->at = p + 1;
    return;
  }
  switch (*p) {
    case 0: parser->kind = T_END; break;
    case '+': parser->kind = T_PLUS; break;
    case '-': parser->kind = T_MINUS; break;
    case '*': parser->kind = T_STAR; break;
    case '/': parser->kind = T_SLASH; break;
    case '%': parser->kind = T_PERCENT; break;
    case '<': parser->kind = T_LESS; break;
    case '!': parser->kind = T_NOT; break;
    case '(': parser->kind = T_OPEN; break;
    case ')': parser->kind = T_CLOSE; break;
    case ';': parser->kind = T_SEMICOLON; break;
    case '?': parser->kind = T_QUESTION; break;
    case ':': parser->kind = T_COLON; break;
    case '=':
      if (p[1] == '=') {
        parser->kind = T_EQUAL;
        p++;
      } else {
        parser->kind = T_ASSIGN;
      }
      break;
    case '&': parser->kind = T_AND; p++; break;
    case '|': parser->kind = T_OR; p++; break;
    default:
      fprintf(stderr, "unexpected character %c\n", *p);
      exit(1);
  }
  parser->at = p + (*p != 0);
}

static void expect(Parser *parser, TokenKind kind) {
  if (parser->kind != kind) {
    fprintf(stderr, "syntax error at %.20s\n", parser->at);
    exit(1);
  }
  nextToken(parser);
}

static long parseExpression(Parser *parser);

static long parsePrimary(Parser *parser) {
  long value;
  switch (parser->kind) {
    case T_NUMBER:
      value = parser->value;
      nextToken(parser);
      return value;
    case T_NAME:
      value = parser->variables[parser->value];
      nextToken(parser);
      return value;
    case T_NOT:
      nextToken(parser);
      return !parsePrimary(parser);
    case T_OPEN:
      nextToken(parser);
      value = parseExpression(parser);
      if (parser->kind == T_QUESTION) {
        long then, otherwise;
        nextToken(parser);
        then = parseExpression(parser);
        expect(parser, T_COLON);
        otherwise = parseExpression(parser);
        value = value ? then : otherwise;
      }
      expect(parser, T_CLOSE);
      return value;
    default:
      fprintf(stderr, "unexpected token at %.20s\n", parser->at);
      exit(1);
  }
}

/* Division by zero yields zero, so that every generated program runs. */
static long applyOperator(TokenKind kind, long left, long right) {
  switch (kind) {
    case T_PLUS: return left + right;
    case T_MINUS: return left - right;
    case T_STAR: return (left * right) % 1000003;
    case T_SLASH: return right ? left / right : 0;
    case T_PERCENT: return right ? left % right : 0;
    case T_LESS: return left < right;
    case T_EQUAL: return left == right;
    case T_AND: return left && right;
    case T_OR: return left || right;
    default: return 0;
  }
}

static int isOperator(TokenKind kind) {
  return kind >= T_PLUS && kind <= T_OR;
}

static long parseExpression(Parser *parser) {
  long value = parsePrimary(parser);
  while (isOperator(parser->kind)) {
    TokenKind kind = parser->kind;
    nextToken(parser);
    value = applyOperator(kind, value, parsePrimary(parser));
  }
  return value;
}

/* Runs the statements; returns their count and adds their values to *sum. */
static unsigned long runProgram(Parser *parser, const char *text, unsigned long *sum) {
  unsigned long statements = 0;
  parser->at = text;
  nextToken(parser);
  while (parser->kind != T_END) {
    long target;
    if (parser->kind != T_NAME) {
      fprintf(stderr, "statement without target at %.20s\n", parser->at);
      exit(1);
    }
    target = parser->value;
    nextToken(parser);
    expect(parser, T_ASSIGN);
    parser->variables[target] = parseExpression(parser);
    *sum = *sum * 31 + (unsigned long)parser->variables[target];
    expect(parser, T_SEMICOLON);
    statements++;
  }
  return statements;
}

int main(int argc, char **argv) {
  size_t size = (size_t)(argc > 1 ? atol(argv[1]) : 256) * 1024;
  int rounds = argc > 2 ? atoi(argv[2]) : 8;
  char *text = malloc(size + 1);
  Parser parser;
  unsigned long statements = 0, sum = 0;
  int round, i;
  if (!text)
    return 1;
  generateProgram(text, size);
  memset(&parser, 0, sizeof parser);
  for (i = 0; i < VARIABLES; i++)
    parser.variables[i] = i + 1;
  for (round = 0; round < rounds; round++)
    statements += runProgram(&parser, text, &sum);
  printf("%lu statements, checksum %lu\n", statements, sum);
  free(text);
  return 0;
}
