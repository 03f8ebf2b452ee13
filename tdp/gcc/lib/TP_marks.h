/*
 * TP_marks.h - the macro texts quorbcc1 splices into instrumented sources,
 * shared by every runtime port of this compiler family.
 *
 * The port's TP.h defines, before including this header: the cell type and
 * marks (_QBCRT_CELL, _QBCRT_CELLS, _QBCRT_MARK), _QBCRT_UNUSED, the
 * per-FDC-file descriptor _QBC_DECLARE, and the triggers _qbc_end_exec()
 * and _qbc_dump_section(reset).  A port with tracing or profiling defines
 * _QBL_ANALYSIS and their macros; without it they expand to nothing.
 */
#ifndef QBL_TP_MARKS_H_INCLUDED
#define QBL_TP_MARKS_H_INCLUDED

/* A switch without default gets one ("break;default:") to mark the values
 * no case takes; on a truth-valued controlling expression whose cases take
 * both 0 and 1, GCC then warns "switch condition has boolean value", which
 * the original does not earn and which -Werror would turn into a failed
 * build.  The warning is about the user's code, and the original's compile
 * still gives it. */
#pragma GCC diagnostic ignored "-Wswitch-bool"

/* ---- Declarations per FDC file (file scope, written by the prologue). */

#define _QBC_TAB_PROC(f) _qbc_proc_##f
#define _QBC_TAB_CALL(f) _qbc_call_##f
#define _QBC_TAB_BLOC(f) _qbc_bloc_##f
#define _QBC_TAB_COND(f) _qbc_cond_##f
#define _QBC_DECLARE_PROC(f, n) static _QBCRT_CELL _QBC_TAB_PROC(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_CALL(f, n) static _QBCRT_CELL _QBC_TAB_CALL(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_BLOC(f, n) static _QBCRT_CELL _QBC_TAB_BLOC(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;
#define _QBC_DECLARE_COND(f, n) static _QBCRT_CELL _QBC_TAB_COND(f)[_QBCRT_CELLS(n)] _QBCRT_UNUSED;

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

/* The port knows the descriptors before any function runs, so that a
 * function's entry costs no test. */
#define _QBC_LINK(f) ((void)0)
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
    _QBCRT_MARK(loop->tab, loop->first + 2 - loop->lowest);
}

static _QBCRT_UNUSED void _qbc_loop_end(struct _qbc_loop *loop)
{
  if (loop->runs < 2 && loop->runs >= loop->lowest)
    _QBCRT_MARK(loop->tab, loop->first + loop->runs - loop->lowest);
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
/* Ends the case condition of a label followed directly by another label: the
 * mark is the statement before the inner label, and falls through to it. */
#define _QBC_CASE_FALLTHROUGH __attribute__((__fallthrough__));

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
  ? (_QBCRT_MARK(_QBC_TAB_COND(f), (d) + _qbc_slot_##f[slot]), 1)          \
  : (_QBCRT_MARK(_QBC_TAB_COND(f), (d) + _qbc_slot_##f[slot]), 0)

#else

/* The slots of a decision's basic conditions (0 not evaluated, 1 false, 2
 * true) are packed two bits each into 16-bit groups of eight, laid out as
 * the rows of its table, so that a decision of up to eight conditions keeps
 * one group: a local integer the compiler holds in a register, and the row
 * its value.  A decision's slots start at a multiple of eight and no other
 * decision shares its groups, so the updates of decisions evaluated side by
 * side (operands of one operator) never touch the same object. */
#define _QBC_DECLARE_COND_ELT(f, n) unsigned short _qbc_slot_##f[((n) + 7) / 8] _QBCRT_UNUSED
#define _QBCRT_GROUP(f, slot) _qbc_slot_##f[(slot) / 8]
#define _QBCRT_SLOT_SHIFT(slot) (2 * ((slot) % 8))
#define _QBC_COND_SYNC_2(f, slot)                                        \
  ? (_QBCRT_GROUP(f, slot) |= 2U << _QBCRT_SLOT_SHIFT(slot), 1)          \
  : (_QBCRT_GROUP(f, slot) |= 1U << _QBCRT_SLOT_SHIFT(slot), 0)
/* A statement expression keeps the decision's value while its row is
 * marked, so that one call serves both values.  The tests of w fold away:
 * it is a constant. */
#define _QBC_COND_END_1(f, d, slot, w, x, t)                  \
  __extension__({                                             \
    int _qbc_value_##f##_##d;                                 \
    if ((w) <= 8)                                             \
      _QBCRT_GROUP(f, slot) = 0;                              \
    else                                                      \
      _qbc_clear_groups(&_QBCRT_GROUP(f, slot), (w));         \
    _qbc_value_##f##_##d = !!
#define _QBC_COND_END_2(f, d, slot, w, x, t)                                            \
  ;                                                                                     \
  if ((w) <= 8)                                                                         \
    _qbc_mark_row(_QBC_TAB_COND(f), (d), _QBCRT_GROUP(f, slot), _qbc_cc_##x,            \
                  sizeof _qbc_cc_##x / sizeof _qbc_cc_##x[0]);                          \
  else                                                                                  \
    _qbc_mark_wide_row(_QBC_TAB_COND(f), (d), &_QBCRT_GROUP(f, slot), (w), _qbc_cc_##x, \
                       sizeof _qbc_cc_##x / sizeof _qbc_cc_##x[0]);                     \
  _qbc_value_##f##_##d;                                                                 \
  })

#endif

static _QBCRT_UNUSED int _qbc_set_bit(unsigned long *slot, unsigned int i, int value)
{
  if (value)
    *slot |= 1UL << i;
  return value;
}

static _QBCRT_UNUSED void _qbc_clear_groups(unsigned short *groups, unsigned int w)
{
  unsigned int k;
  for (k = 0; k < (w + 7) / 8; k++)
    groups[k] = 0;
}

/* Marks branch d + r for the row r, of a table of one word per row, that
 * equals the decision's group. */
static _QBCRT_UNUSED void _qbc_mark_row(_QBCRT_CELL *tab, unsigned long d, unsigned int group,
                                        const unsigned short *rows, unsigned long count)
{
  unsigned long r;
  for (r = 0; r < count; r++)
    if (rows[r] == group) {
      _QBCRT_MARK(tab, d + r);
      return;
    }
}

/* The same for a decision of more than eight basic conditions, whose rows
 * take one word per group. */
static _QBCRT_UNUSED void _qbc_mark_wide_row(_QBCRT_CELL *tab, unsigned long d,
                                             const unsigned short *groups, unsigned int w,
                                             const unsigned short *rows, unsigned long words)
{
  unsigned int perRow = (w + 7) / 8, k;
  unsigned long r;
  for (r = 0; (r + 1) * perRow <= words; r++) {
    for (k = 0; k < perRow && rows[r * perRow + k] == groups[k]; k++)
      ;
    if (k == perRow) {
      _QBCRT_MARK(tab, d + r);
      return;
    }
  }
}

/* ---- End of execution and dumps. */

#define _QBL_END_EXEC _qbc_end_exec()
#define _QBL_END_EXEC_EXPR _qbc_end_exec()
#define _QBCPQ_RESET 1
#define _QBCPQ_DUMP(reset) _qbc_dump_section(reset)

/* ---- Tracing and profiling.  Without them (no USE_QBT, USE_QBP or USE_QBQ)
 * nothing is recorded: statement forms are empty (they stand side by side,
 * without semicolons); expression forms are 0 inside sums or leave the
 * wrapped expression's value.  TP_analysis.h defines the others. */

#ifndef _QBL_ANALYSIS
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
#endif

/* return ((E)_QBL_STACK_OUT_EXPR_END(+hooks)): E of integral type.  With
 * tracing the frame closes when the function's block is left, after E. */
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

#endif /* QBL_TP_MARKS_H_INCLUDED */
