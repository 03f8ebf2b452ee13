/* Truth support of the generated programs: linked in uninstrumented.
 *
 * The program owns the counters T[] and a table of its decisions and
 * switches (tq_tables); this unit counts basic conditions, decision rows and
 * outcomes, switch dispatches and loop exits for it, and prints every
 * counter at exit ("truth <k> <count>", "row <d> <M|F> <row> <count>"). */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "truth_support.h"

extern unsigned long T[];
extern const unsigned tq_count;
extern const char *const tq_tables[];
extern unsigned g0, g1, g2, g3;

enum { kMaxWidth = 12 };

struct decision {
  unsigned out;            /* T index of the true outcome; false is out + 1 */
  const char *prefix;      /* "A" and, "O" or, "N" not, "." a condition */
  unsigned width;
  int pure;                /* values given at once by tv() */
  unsigned base;           /* pure: T index of condition 0 (four per condition) */
  char values[kMaxWidth];  /* 'T', 'F' or 0 while an evaluation runs */
  unsigned long *shortRows;  /* 3^width, by row (X 0, T 1, F 2 per digit) */
  unsigned long *forcedRows; /* 2^width, by vector (bit i: condition i true) */
};

struct position {
  int decision;  /* -1 when the counter is not a condition of a decision */
  unsigned index;
};

struct switchTable {
  unsigned k;
  unsigned count;
  long *values;
};

struct state {
  struct decision *decisions;
  unsigned decisionCount;
  struct position *positions;  /* by T index of a condition */
  struct switchTable *switches;
  unsigned switchCount;
};

static struct state *State(void);

static void Fail(const char *what)
{
  fprintf(stderr, "truth support: %s\n", what);
  abort();
}

static unsigned Power(unsigned base, unsigned exponent)
{
  unsigned result = 1;
  while (exponent--)
    result *= base;
  return result;
}

/* Short-circuit evaluation of the prefix form at *p. Leaves on a live path
 * take their value (row 'T'/'F'), skipped ones 'X'. Returns the value, or -1
 * when a live leaf has no value yet. */
static int Evaluate(const char **p, const char *values, char *row, unsigned *leaf, int live)
{
  char c = *(*p)++;
  int a, b;
  if (c == '.') {
    unsigned i = (*leaf)++;
    if (!live) {
      row[i] = 'X';
      return 0;
    }
    if (!values[i])
      return -1;
    row[i] = values[i];
    return values[i] == 'T';
  }
  if (c == 'N') {
    a = Evaluate(p, values, row, leaf, live);
    return a < 0 ? -1 : !a;
  }
  if (c != 'A' && c != 'O')
    Fail("bad prefix form");
  a = Evaluate(p, values, row, leaf, live);
  if (a < 0)
    return -1;
  b = Evaluate(p, values, row, leaf, live && (c == 'A' ? a : !a));
  if (b < 0)
    return -1;
  return c == 'A' ? (a && b) : (a || b);
}

static unsigned RowIndex(const char *row, unsigned width)
{
  unsigned index = 0, i;
  for (i = 0; i < width; i++)
    index = index * 3 + (row[i] == 'X' ? 0 : row[i] == 'T' ? 1 : 2);
  return index;
}

/* Completes the evaluation of d when its values decide it: counts the row
 * and the outcome. */
static void TryComplete(struct decision *d)
{
  const char *p = d->prefix;
  char row[kMaxWidth];
  unsigned leaf = 0;
  int value = Evaluate(&p, d->values, row, &leaf, 1);
  if (value < 0)
    return;
  d->shortRows[RowIndex(row, d->width)]++;
  T[d->out + (value ? 0 : 1)]++;
  memset(d->values, 0, sizeof d->values);
}

int tc(unsigned k, int v)
{
  struct state *s = State();
  struct position at;
  struct decision *d;
  v = v != 0;
  T[k + (v ? 0 : 1)]++;
  at = s->positions[k];
  if (at.decision < 0)
    return v;
  d = &s->decisions[at.decision];
  if (at.index == 0)
    memset(d->values, 0, sizeof d->values);
  d->values[at.index] = v ? 'T' : 'F';
  TryComplete(d);
  return v;
}

void tv(unsigned index, ...)
{
  struct state *s = State();
  struct decision *d;
  const char *p;
  char values[kMaxWidth], row[kMaxWidth];
  unsigned i, leaf = 0, vector = 0;
  int value;
  va_list args;
  if (index >= s->decisionCount || !s->decisions[index].pure)
    Fail("tv() of a decision that is not pure");
  d = &s->decisions[index];
  va_start(args, index);
  for (i = 0; i < d->width; i++) {
    values[i] = va_arg(args, int) ? 'T' : 'F';
    if (values[i] == 'T')
      vector |= 1U << i;
  }
  va_end(args);
  p = d->prefix;
  value = Evaluate(&p, values, row, &leaf, 1);
  for (i = 0; i < d->width; i++) {
    unsigned base = d->base + 4 * i;
    if (row[i] != 'X')
      T[base + (row[i] == 'T' ? 0 : 1)]++;
    T[base + 2 + (values[i] == 'T' ? 0 : 1)]++;
  }
  d->shortRows[RowIndex(row, d->width)]++;
  d->forcedRows[vector]++;
  T[d->out + (value ? 0 : 1)]++;
}

long tq_sw(unsigned k, long v)
{
  struct state *s = State();
  unsigned i, j;
  for (i = 0; i < s->switchCount; i++) {
    struct switchTable *t = &s->switches[i];
    if (t->k != k)
      continue;
    T[k]++;
    for (j = 0; j < t->count; j++)
      if (t->values[j] == v) {
        T[k + 2 + j]++;
        return v;
      }
    T[k + 1]++;
    return v;
  }
  Fail("tq_sw() of an unknown switch");
  return v;
}

void tq_leave(struct tq_loop *loop)
{
  if (loop->n < 2 && loop->n >= loop->lowest)
    T[loop->k + loop->n - loop->lowest]++;
}

static void ReadDecision(struct state *s, const char *line, int pure)
{
  struct decision *d = &s->decisions[s->decisionCount];
  const char *p = line + 2;
  char *end;
  unsigned i;
  d->out = (unsigned)strtoul(p, &end, 10);
  p = end + 1;
  end = strchr(p, ' ');
  if (!end)
    end = (char *)p + strlen(p);
  d->prefix = strndup(p, (size_t)(end - p));
  d->width = 0;
  for (i = 0; d->prefix[i]; i++)
    d->width += d->prefix[i] == '.';
  if (d->width == 0 || d->width > kMaxWidth)
    Fail("bad decision width");
  d->pure = pure;
  d->shortRows = calloc(Power(3, d->width), sizeof *d->shortRows);
  d->forcedRows = calloc(Power(2, d->width), sizeof *d->forcedRows);
  p = end;
  if (pure) {
    d->base = (unsigned)strtoul(p, &end, 10);
  } else {
    for (i = 0; i < d->width; i++) {
      unsigned k = (unsigned)strtoul(p, &end, 10);
      if (end == p || k >= tq_count)
        Fail("bad condition of a decision");
      s->positions[k].decision = (int)s->decisionCount;
      s->positions[k].index = i;
      p = end;
    }
  }
  s->decisionCount++;
}

static void ReadSwitch(struct state *s, const char *line)
{
  struct switchTable *t = &s->switches[s->switchCount++];
  const char *p = line + 2;
  char *end;
  t->k = (unsigned)strtoul(p, &end, 10);
  t->count = 0;
  t->values = calloc(strlen(line), sizeof *t->values);
  for (p = end; *p;) {
    long v = strtol(p, &end, 10);
    if (end == p)
      break;
    t->values[t->count++] = v;
    p = end;
  }
}

static void PrintRow(unsigned d, char mode, const char *row, unsigned long count)
{
  if (count)
    printf("row %u %c %s %lu\n", d, mode, row, count);
}

static void PrintTruth(void)
{
  struct state *s = State();
  unsigned k, d, r, i;
  char row[kMaxWidth + 1];
  printf("checksum %u %u %u %u\n", g0, g1, g2, g3);
  for (k = 0; k < tq_count; k++)
    if (T[k])
      printf("truth %u %lu\n", k, T[k]);
  for (d = 0; d < s->decisionCount; d++) {
    struct decision *dec = &s->decisions[d];
    unsigned rows = Power(3, dec->width);
    for (r = 0; r < rows; r++) {
      unsigned rest = r;
      for (i = dec->width; i-- > 0; rest /= 3)
        row[i] = "XTF"[rest % 3];
      row[dec->width] = 0;
      PrintRow(d, 'M', row, dec->shortRows[r]);
    }
    if (!dec->pure)
      continue;
    for (r = 0; r < Power(2, dec->width); r++) {
      for (i = 0; i < dec->width; i++)
        row[i] = r >> i & 1 ? 'T' : 'F';
      row[dec->width] = 0;
      PrintRow(d, 'F', row, dec->forcedRows[r]);
    }
  }
  fflush(stdout);
}

static struct state *State(void)
{
  static struct state s;
  static int ready;
  unsigned lines = 0, k;
  if (ready)
    return &s;
  ready = 1;
  while (tq_tables[lines])
    lines++;
  s.decisions = calloc(lines + 1, sizeof *s.decisions);
  s.switches = calloc(lines + 1, sizeof *s.switches);
  s.positions = calloc(tq_count + 1, sizeof *s.positions);
  for (k = 0; k < tq_count; k++)
    s.positions[k].decision = -1;
  for (k = 0; k < lines; k++) {
    const char *line = tq_tables[k];
    if (line[0] == 'D' || line[0] == 'P')
      ReadDecision(&s, line, line[0] == 'P');
    else if (line[0] == 'S')
      ReadSwitch(&s, line);
    else
      Fail("bad table line");
  }
  return &s;
}

static void Start(void) __attribute__((constructor));
static void Start(void)
{
  State();
  atexit(PrintTruth);
}
