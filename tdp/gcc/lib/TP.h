/*
 * TP.h - target runtime of quorbcc1 for GCC and Clang on Linux.
 *
 * quorbcc1 writes, at the top of every instrumented file, a few defines
 * (USE_QBC, QBC_INFORMATION, _QBC_FORCEEVALUATION, USE_QBT, ...), an include
 * of this header and the declaration tables of each FDC file; it then splices
 * macro calls into the preprocessed source.  This header defines every one of
 * those macros.  The whole runtime lives here: nothing is added to the
 * compiler or linker command.
 *
 * What is recorded
 *   Coverage: per FDC file (identified in a translation unit by its serial
 *   number f, in the results by its key and checksum) and per branch kind,
 *   procedures P (entries, exits, returns, terminating calls), calls C,
 *   blocks B (statement, implicit, ternary, sequence and loop-iteration
 *   blocks) and conditions K (basic conditions, case conditions, modified and
 *   forced conditions), which branches ran.  QBC_INFORMATION chooses the
 *   cell kept per branch: 0 one byte flag, 1 one bit (-COMPACT), 2 a 32-bit
 *   count that saturates at 0xFFFFFFFF (-COUNT).
 *   Tracing (_QBT_), memory profiling (_QBP_) and performance profiling
 *   (_QBQ_) record nothing in this port: their statement forms expand to
 *   nothing and their expression forms evaluate to 0 or keep the value,
 *   type and single evaluation of the expression they wrap.
 *
 * How
 *   The tables of a translation unit are static.  _QBC_LINK(f), run at the
 *   start of every instrumented function, appends the unit's descriptor of
 *   FDC file f to a process-wide list on its first run.  The list head lives
 *   in one weak global object (_qbc_runtime_state_v1) that the linker merges
 *   across all instrumented units of a program; every unit carries its own
 *   static copy of the functions below and they all work on that one list.
 *   Descriptors carry their unit's cell mode, so units instrumented with
 *   different QBC_INFORMATION values mix in one program.
 *
 *   At the end of the run one section is appended to the results file named
 *   by QBC_RESULTS (default "quorb.qbr" in the current directory), at the
 *   first of: _QBL_END_EXEC (main's returns and closing brace, terminating
 *   calls), return from main or exit() (a destructor in every unit), the
 *   unloading of an instrumented shared library.  Later triggers write
 *   nothing.  A section is skipped when no FDC file was linked.
 *
 *       R <pid> <unix time>
 *       F 0x<KEY> 0x<CHECKSUM>           one line per linked FDC file,
 *       <kind> <branch> <count>          then one line per branch that ran
 *
 *   Kinds are P, C, B, K, in that order, branches ascending; the count is 1
 *   in flag and bit modes.  The same FDC file linked from several units gives
 *   several F groups; readers add them up.  _QBCPQ_DUMP writes an extra
 *   section at once (and clears every table with _QBCPQ_RESET).
 *   Failing to open the results file is silent, and errno is preserved.
 *
 * Conditions
 *   A basic condition B becomes ((B) ? mark(n), 1 : mark(n + 1), 0): n for
 *   true, n + 1 for false.  A decision D of w basic conditions uses w slots
 *   of the function's slot array (declared by _QBC_DECLARE_COND_ELT) where
 *   each basic condition stores 2 (true) or 1 (false); the slots start at 0
 *   (not evaluated).  When D is done, the slots are compared with the rows
 *   of its compound condition table (two bits per condition, as written by
 *   _QBC_SET_COND_CONST_*) and the matching row r marks condition branch
 *   d + r.  With _QBC_FORCEEVALUATION every basic condition is evaluated and
 *   one slot per decision collects bit i for basic condition i true; branch
 *   d + that bit pattern is marked.
 *
 * Loops
 *   _QBC_LOOP_bef declares a small per-execution counter whose cleanup
 *   (a GCC/Clang cleanup attribute) marks the "0 loop" or "1 loop" branch
 *   when the loop's block is left; "2 loops or more" is marked on entering
 *   the body the second time.  Clang refuses jumps from outside into an
 *   instrumented loop (Duff's device) because they bypass that counter.
 *
 * The header includes no system header: the instrumented file holds the
 * user's already expanded declarations, before or after this header.  The
 * few C library functions used are declared under private names bound to
 * the library symbols with asm labels, so they cannot conflict with those
 * declarations.  It compiles warning-free as C89 (-pedantic), C99 and gnu11
 * with -Wall -Wextra.  Single-threaded: no locking.
 */
#ifndef QBL_TP_H_INCLUDED
#define QBL_TP_H_INCLUDED

#ifndef QBC_INFORMATION
#define QBC_INFORMATION 0
#endif

#define _QBCRT_UNUSED __attribute__((__unused__))

/* ---- Cells: one flag, one bit or one saturating 32-bit count per branch. */

/* Marks stand inside expressions, where two of them may be unsequenced (call
 * arguments, operands of a forced decision). Distinct branches are distinct
 * objects in flag and count modes; in bit mode they share bytes, so there a
 * mark is a call, which sequences the updates. */
#if QBC_INFORMATION == 1
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (((n) + 7) / 8)
#define _QBCRT_MARK(tab, n) _qbc_mark((tab), (n))
#define _QBCRT_MARK_CELL(tab, n) ((void)((tab)[(n) >> 3] |= (unsigned char)(1U << ((n) & 7))))
#elif QBC_INFORMATION == 2
#define _QBCRT_CELL unsigned int
#define _QBCRT_CELLS(n) (n)
#define _QBCRT_MARK(tab, n) ((void)((tab)[n] != 0xFFFFFFFFU && ++(tab)[n]))
#define _QBCRT_MARK_CELL(tab, n) _QBCRT_MARK(tab, n)
#else
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (n)
#define _QBCRT_MARK(tab, n) ((void)((tab)[n] = 1))
#define _QBCRT_MARK_CELL(tab, n) _QBCRT_MARK(tab, n)
#endif

/* ---- C library, under private names (see the header comment). */

struct _qbc_file;
extern struct _qbc_file *_qbc_libc_fopen(const char *, const char *) __asm__("fopen");
extern int _qbc_libc_fprintf(struct _qbc_file *, const char *, ...) __asm__("fprintf");
extern int _qbc_libc_fclose(struct _qbc_file *) __asm__("fclose");
extern char *_qbc_libc_getenv(const char *) __asm__("getenv");
extern int _qbc_libc_getpid(void) __asm__("getpid");
extern long _qbc_libc_time(long *) __asm__("time");
extern int *_qbc_libc_errno(void) __asm__("__errno_location");

/* ---- Process-wide registry.  ORDER RUNTIME LAYOUT: every unit of a program
 * must agree on these two structures; change the _v1 suffix with them. */

enum { _QBCRT_PROC, _QBCRT_CALL, _QBCRT_BLOC, _QBCRT_COND, _QBCRT_KINDS };

struct _qbc_fdc_v1 {
  unsigned long key, checksum;        /* of the FDC file, from _QBC_DECLARE */
  int mode;                           /* QBC_INFORMATION of the owning unit */
  const char *owner;                  /* identifies the owning unit */
  unsigned long count[_QBCRT_KINDS];  /* branches per kind P, C, B, K */
  void *table[_QBCRT_KINDS];          /* their cells, 0 when count is 0 */
  struct _qbc_fdc_v1 *next;           /* registry list, in link order */
  int linked;
};

struct _qbc_runtime_v1 {
  struct _qbc_fdc_v1 *first, *last;
  int written;                        /* the end-of-run section is out */
};

extern struct _qbc_runtime_v1 _qbc_runtime_state_v1;
struct _qbc_runtime_v1 _qbc_runtime_state_v1 __attribute__((__weak__));

static const char _qbc_unit _QBCRT_UNUSED = 0;

static _QBCRT_UNUSED void _qbc_mark(_QBCRT_CELL *tab, unsigned long n)
{
  _QBCRT_MARK_CELL(tab, n);
}

static _QBCRT_UNUSED void _qbc_link(struct _qbc_fdc_v1 *fdc)
{
  struct _qbc_runtime_v1 *rt = &_qbc_runtime_state_v1;
  fdc->linked = 1;
  fdc->next = 0;
  if (rt->last)
    rt->last->next = fdc;
  else
    rt->first = fdc;
  rt->last = fdc;
}

/* Value of cell i of one kind of a descriptor, whatever unit owns it. */
static _QBCRT_UNUSED unsigned long _qbc_cell(const struct _qbc_fdc_v1 *fdc, int kind,
                                            unsigned long i)
{
  const void *tab = fdc->table[kind];
  if (fdc->mode == 1)
    return (((const unsigned char *)tab)[i >> 3] >> (i & 7)) & 1U;
  if (fdc->mode == 2)
    return ((const unsigned int *)tab)[i];
  return ((const unsigned char *)tab)[i] != 0;
}

static _QBCRT_UNUSED void _qbc_clear_tables(void)
{
  struct _qbc_fdc_v1 *fdc;
  unsigned long bytes, i;
  int kind;
  for (fdc = _qbc_runtime_state_v1.first; fdc; fdc = fdc->next) {
    for (kind = 0; kind < _QBCRT_KINDS; kind++) {
      if (!fdc->table[kind])
        continue;
      bytes = fdc->count[kind];
      if (fdc->mode == 1)
        bytes = (bytes + 7) / 8;
      else if (fdc->mode == 2)
        bytes *= sizeof(unsigned int);
      for (i = 0; i < bytes; i++)
        ((unsigned char *)fdc->table[kind])[i] = 0;
    }
  }
}

/* Appends one section to the results file; leaves errno as it found it. */
static _QBCRT_UNUSED void _qbc_write_section(void)
{
  static const char kinds[_QBCRT_KINDS] = { 'P', 'C', 'B', 'K' };
  struct _qbc_fdc_v1 *fdc;
  struct _qbc_file *out;
  const char *path;
  unsigned long i, value;
  int kind, savedErrno = *_qbc_libc_errno();

  if (!_qbc_runtime_state_v1.first)
    return;
  path = _qbc_libc_getenv("QBC_RESULTS");
  if (!path || !*path)
    path = "quorb.qbr";
  out = _qbc_libc_fopen(path, "a");
  if (out) {
    _qbc_libc_fprintf(out, "R %d %ld\n", _qbc_libc_getpid(), _qbc_libc_time(0));
    for (fdc = _qbc_runtime_state_v1.first; fdc; fdc = fdc->next) {
      _qbc_libc_fprintf(out, "F 0x%lX 0x%lX\n", fdc->key, fdc->checksum);
      for (kind = 0; kind < _QBCRT_KINDS; kind++) {
        if (!fdc->table[kind])
          continue;
        for (i = 0; i < fdc->count[kind]; i++) {
          value = _qbc_cell(fdc, kind, i);
          if (value)
            _qbc_libc_fprintf(out, "%c %lu %lu\n", kinds[kind], i, value);
        }
      }
    }
    _qbc_libc_fclose(out);
  }
  *_qbc_libc_errno() = savedErrno;
}

/* End of execution: the first call writes the section, later ones nothing.
 * Returns 0 so that it can stand in sums and before a comma. */
static _QBCRT_UNUSED int _qbc_end_exec(void)
{
  if (!_qbc_runtime_state_v1.written) {
    _qbc_runtime_state_v1.written = 1;
    _qbc_write_section();
  }
  return 0;
}

static _QBCRT_UNUSED void _qbc_dump_section(int reset)
{
  _qbc_write_section();
  if (reset)
    _qbc_clear_tables();
}

/* Runs at return from main, exit() and unloading of this unit: writes the
 * section if nobody did, then drops this unit's descriptors from the list so
 * that no other unit follows them once this unit's code and data are gone. */
static void _qbc_unit_end(void) __attribute__((__destructor__));
static void _qbc_unit_end(void)
{
  struct _qbc_runtime_v1 *rt = &_qbc_runtime_state_v1;
  struct _qbc_fdc_v1 **link = &rt->first;
  (void)_qbc_end_exec();
  rt->last = 0;
  while (*link) {
    if ((*link)->owner == &_qbc_unit) {
      (*link)->linked = 0;
      *link = (*link)->next;
    } else {
      rt->last = *link;
      link = &(*link)->next;
    }
  }
}

/* ---- Declarations per FDC file (file scope, written by the prologue). */

#define _QBC_TAB_PROC(f) _qbc_proc_##f
#define _QBC_TAB_CALL(f) _qbc_call_##f
#define _QBC_TAB_BLOC(f) _qbc_bloc_##f
#define _QBC_TAB_COND(f) _qbc_cond_##f
#define _QBC_DECLARE_PROC(f, n) static _QBCRT_CELL _QBC_TAB_PROC(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_CALL(f, n) static _QBCRT_CELL _QBC_TAB_CALL(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_BLOC(f, n) static _QBCRT_CELL _QBC_TAB_BLOC(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_COND(f, n) static _QBCRT_CELL _QBC_TAB_COND(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE(f, key, sum, np, tp, nc, tc, nb, tb, nk, tk)                 \
  static struct _qbc_fdc_v1 _qbc_fdc_##f _QBCRT_UNUSED = {                        \
    (key), (sum), QBC_INFORMATION, &_qbc_unit, { (np), (nc), (nb), (nk) },        \
    { (tp), (tc), (tb), (tk) }, 0, 0 };

/* Compound condition tables: one const array of 16-bit words per entry,
 * ceil(w / 8) words per row, defined by the FIRST/MIDDLE/LAST row lines. */
#define _QBC_INIT_CONST_COMPOUND_DECLARE
#define _QBC_INIT_CONST_COMPOUND_STUFF_OK
#define _QBC_DECLARE_COND_CONST(x, cases, w)
#define _QBC_START_COND_CONST
#define _QBC_END_COND_CONST
#define _QBCRT_ROWS(x, r, w) \
  static const unsigned short _qbc_cc_##x[(r) * (((w) + 7) / 8)] _QBCRT_UNUSED = {
#define _QBC_SET_COND_CONST_FIRST1(x, r, w, a) _QBCRT_ROWS(x, r, w) a
#define _QBC_SET_COND_CONST_FIRST2(x, r, w, a, b) _QBCRT_ROWS(x, r, w) a, b
#define _QBC_SET_COND_CONST_FIRST3(x, r, w, a, b, c) _QBCRT_ROWS(x, r, w) a, b, c
#define _QBC_SET_COND_CONST_FIRST4(x, r, w, a, b, c, d) _QBCRT_ROWS(x, r, w) a, b, c, d
#define _QBC_SET_COND_CONST_MIDDLE1(x, r, w, row, a) , a
#define _QBC_SET_COND_CONST_MIDDLE2(x, r, w, row, a, b) , a, b
#define _QBC_SET_COND_CONST_MIDDLE3(x, r, w, row, a, b, c) , a, b, c
#define _QBC_SET_COND_CONST_MIDDLE4(x, r, w, row, a, b, c, d) , a, b, c, d
#define _QBC_SET_COND_CONST_LAST(x, r) };

/* ---- Functions: links, entries and exits. */

#define _QBC_LINK(f) ((void)(_qbc_fdc_##f.linked || (_qbc_link(&_qbc_fdc_##f), 0)))
#define _QBC_PROC_IN(f, n) _QBCRT_MARK(_QBC_TAB_PROC(f), n)
#define _QBC_PROC(f, n) _QBCRT_MARK(_QBC_TAB_PROC(f), n)
#define _QBC_PROC_exp(f, n) _QBCRT_MARK(_QBC_TAB_PROC(f), n)
#define _QBC_CALL(f, n) _QBCRT_MARK(_QBC_TAB_CALL(f), n)

/* ---- Blocks, loops and switches. */

#define _QBC_BLOC(f, n) _QBCRT_MARK(_QBC_TAB_BLOC(f), n)
#define _QBC_BLOC_exp(f, n) _QBCRT_MARK(_QBC_TAB_BLOC(f), n)

struct _qbc_loop {
  _QBCRT_CELL *tab;     /* block cells of the loop's FDC file */
  unsigned long first;  /* branch of the fewest iterations */
  unsigned int lowest;  /* 0 for while and for, 1 for do */
  unsigned int runs;    /* iterations so far, stops at 2 */
};

static _QBCRT_UNUSED void _qbc_loop_in(struct _qbc_loop *loop)
{
  if (loop->runs < 2 && ++loop->runs == 2)
    _qbc_mark(loop->tab, loop->first + 2 - loop->lowest);
}

static _QBCRT_UNUSED void _qbc_loop_end(struct _qbc_loop *loop)
{
  if (loop->runs < 2 && loop->runs >= loop->lowest)
    _qbc_mark(loop->tab, loop->first + loop->runs - loop->lowest);
}

#define _QBCRT_LOOP(f, n, lowest)                                                  \
  struct _qbc_loop _qbc_loop_##f##_##n _QBCRT_UNUSED                               \
    __attribute__((__cleanup__(_qbc_loop_end))) = { _QBC_TAB_BLOC(f), (n), (lowest), 0 }
#define _QBC_LOOP_bef(f, n) _QBCRT_LOOP(f, n, 0)
#define _QBC_LOOP_bef1(f, n) _QBCRT_LOOP(f, n, 1)
#define _QBC_LOOP_in(f, n) _qbc_loop_in(&_qbc_loop_##f##_##n)
#define _QBC_LOOP_in1(f, n) _qbc_loop_in(&_qbc_loop_##f##_##n)
#define _QBC_SWITCH ((void)0)
#define _QBC_COND_CASE(f, n) _QBCRT_MARK(_QBC_TAB_COND(f), n)

/* ---- Conditions. */

#define _QBC_COND_ELEM_1()
#define _QBC_COND_ELEM_2(f, n) \
  ? (_QBCRT_MARK(_QBC_TAB_COND(f), n), 1) : (_QBCRT_MARK(_QBC_TAB_COND(f), (n) + 1), 0)
#define _QBC_COND_SYNC_1()

#ifdef _QBC_FORCEEVALUATION

#define _QBC_DECLARE_COND_ELT(f, n) unsigned long _qbc_slot_##f[n] _QBCRT_UNUSED
/* The basic conditions of a forced decision share one slot and are operands
 * of one bitwise operator: the update is a call, so that the updates are
 * sequenced one after the other. */
#define _QBC_COND_SYNC_2(f, slot, i) \
  ? _qbc_set_bit(&_qbc_slot_##f[slot], (i), 1) : _qbc_set_bit(&_qbc_slot_##f[slot], (i), 0)
#define _QBC_COND_END_1(f, d, slot) (_qbc_slot_##f[slot] = 0),
#define _QBC_COND_END_2(f, d, slot)                                        \
  ? (_qbc_mark(_QBC_TAB_COND(f), (d) + _qbc_slot_##f[slot]), 1)            \
  : (_qbc_mark(_QBC_TAB_COND(f), (d) + _qbc_slot_##f[slot]), 0)

#else

#define _QBC_DECLARE_COND_ELT(f, n) unsigned char _qbc_slot_##f[n] _QBCRT_UNUSED
#define _QBC_COND_SYNC_2(f, slot) ? (_qbc_slot_##f[slot] = 2, 1) : (_qbc_slot_##f[slot] = 1, 0)
#define _QBC_COND_END_1(f, d, slot, w, x, t) _qbc_clear_slots(&_qbc_slot_##f[slot], (w)),
#define _QBC_COND_END_2(f, d, slot, w, x, t)                                   \
  ? _qbc_decide(_QBC_TAB_COND(f), (d), &_qbc_slot_##f[slot], (w), _qbc_cc_##x, \
                sizeof _qbc_cc_##x / sizeof _qbc_cc_##x[0], 1)                 \
  : _qbc_decide(_QBC_TAB_COND(f), (d), &_qbc_slot_##f[slot], (w), _qbc_cc_##x, \
                sizeof _qbc_cc_##x / sizeof _qbc_cc_##x[0], 0)

#endif

static _QBCRT_UNUSED int _qbc_set_bit(unsigned long *slot, unsigned int i, int value)
{
  if (value)
    *slot |= 1UL << i;
  return value;
}

static _QBCRT_UNUSED void _qbc_clear_slots(unsigned char *slots, unsigned int w)
{
  unsigned int i;
  for (i = 0; i < w; i++)
    slots[i] = 0;
}

/* Marks branch d + r for the row r of the table that equals the slots of a
 * decision of w basic conditions; returns the decision's value. */
static _QBCRT_UNUSED int _qbc_decide(_QBCRT_CELL *tab, unsigned long d,
                                     const unsigned char *slots, unsigned int w,
                                     const unsigned short *rows, unsigned long words,
                                     int value)
{
  unsigned int perRow = (w + 7) / 8, i;
  unsigned long r;
  for (r = 0; (r + 1) * perRow <= words; r++) {
    for (i = 0; i < w; i++)
      if (((rows[r * perRow + i / 8] >> (2 * (i % 8))) & 3U) != slots[i])
        break;
    if (i == w) {
      _qbc_mark(tab, d + r);
      break;
    }
  }
  return value;
}

/* ---- End of execution and dumps. */

#define _QBL_END_EXEC _qbc_end_exec()
#define _QBL_END_EXEC_EXPR _qbc_end_exec()
#define _QBCPQ_RESET 1
#define _QBCPQ_DUMP(reset) _qbc_dump_section(reset)

/* ---- Tracing and profiling: nothing is recorded.  Statement forms are
 * empty (they stand side by side, without semicolons); expression forms are
 * 0 inside sums or leave the wrapped expression's value. */

#define _QBL_STACK_DECLARE(t, key, sum)
#define _QBL_STACK_IN(t, r)
#define _QBL_STACK_OUT
#define _QBT_IN(t)
#define _QBP_IN(t)
#define _QBQ_IN(t)
#define _QBT_OUT
#define _QBP_OUT
#define _QBQ_OUT
#define _QBT_OUT_EXPR 0
#define _QBP_OUT_EXPR 0
#define _QBQ_OUT_EXPR 0
#define _QBT_START_DUMP
#define _QBT_START_DUMP_EXPR ((void)0)
#define _QBQ_DECLARE(t, n)

/* return ((E)_QBL_STACK_OUT_EXPR_END(+hooks)): E of integral type. */
#define _QBL_STACK_OUT_EXPR_END(hooks) +(0 * (hooks))

/* {return-commented-out _QBL_STACK_OUT_EXPR_TYPE_START(type)(E)
 * _QBL_STACK_OUT_EXPR_TYPE_END(+hooks);}: E is kept in a local of its own
 * type, the hooks run after it, the local is returned (and converted to the
 * function's type, as the plain return would).  The printed type is only
 * used by compilers without __auto_type. */
#if defined(__clang__) || (defined(__GNUC__) && (__GNUC__ > 4 || (__GNUC__ == 4 && __GNUC_MINOR__ >= 9)))
#define _QBL_STACK_OUT_EXPR_TYPE_START(type) { __extension__ __auto_type _qbc_result =
#define _QBL_STACK_OUT_EXPR_FTYPE_START(type) { __extension__ __auto_type _qbc_result =
#else
#define _QBL_STACK_OUT_EXPR_TYPE_START(type) { type _qbc_result =
#define _QBL_STACK_OUT_EXPR_FTYPE_START(type) { type *_qbc_result =
#endif
#define _QBL_STACK_OUT_EXPR_TYPE_END(hooks) ; (void)(hooks); return _qbc_result; }
#define _QBL_STACK_OUT_EXPR_FTYPE_END(hooks) ; (void)(hooks); return _qbc_result; }

/* (_QBL_STACK_OUT_VOID_EXPR_START(+hooks), terminating call) */
#define _QBL_STACK_OUT_VOID_EXPR_START(hooks) ((void)(hooks))

#define _QBP_LINE_OFFSET(t, n)
#define _QBP_LINE_OFFSET_EXPR(t, n) 0
#define _QBP_LINE_OFFSET_EXPR_START(t, n) ((void)0)
#define _QBP_USE_DEEP_GLOBAL(name, n)
#define _QBP_DEFINE_PARSE_GLOBALS
#define _QBP_DEFINE_DEEP_GLOBAL(n)
#define _QBP_LINK_PARSE_GLOBALS_
#define _QBP_START_PARSE_GLOBALS
#define _QBP_PARSE_GLOBAL(name)
#define _QBP_PARSE_DEEP_GLOBALS(n)
#define _QBP_END_PARSE_GLOBALS
#define _QBU_QBP_START_OF_MAIN

#endif /* QBL_TP_H_INCLUDED */
