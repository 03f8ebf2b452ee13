/*
 * TP_analysis.h - triggers and macros of tracing (USE_QBT), memory
 * profiling (USE_QBP) and performance profiling (USE_QBQ).  Included by
 * TP.h after TP_stack.h and, with USE_QBP, TP_heap.h.
 *
 * What is written when
 *   _QBL_END_EXEC and _QBCPQ_DUMP: the statistics and memory sections (and,
 *   at the end of execution, every thread's trace events); _QBT_START_DUMP:
 *   a dump event, then every thread's trace events; a thread's end: its
 *   events; exit(): everything, and the leak report once per process; the
 *   unloading of a library: the events and statistics that its units can
 *   still name.
 */
#ifndef QBL_TP_ANALYSIS_H_INCLUDED
#define QBL_TP_ANALYSIS_H_INCLUDED

static _QBCRT_UNUSED void _qbc_register_unit(void);

/* Unit flag: the analysis fork handlers are registered. */
enum { _QBCRT_ANALYSIS = 8 };

#ifdef USE_QBP
#define _qbl_heap_section(leaks) _qbp_write_section(leaks)
#define _qbl_heap_fork_child() _qbp_fork_child()
#define _qbl_unlink_heap_roots() _qbp_unlink_roots(&_qbc_unit)
#else
#define _qbl_heap_section(leaks)
#define _qbl_heap_fork_child()
#define _qbl_unlink_heap_roots()
#endif

/* fork(): as for coverage (TP.h), one set of handlers serves the analysis
 * state, registered by its first unit, and every forking thread holds both
 * locks across fork(): the C library may still call a handler of a library
 * that another thread is unloading, and a second thread forking at once
 * must not skip the locks. */
static _QBCRT_UNUSED void _qbl_fork_prepare(void)
{
  _qbl_take(&_QBL_STATE.lock);
  _qbl_take(&_QBL_STATE.heapLock);
}

static _QBCRT_UNUSED void _qbl_fork_parent(void)
{
  _qbl_give(&_QBL_STATE.heapLock);
  _qbl_give(&_QBL_STATE.lock);
}

static _QBCRT_UNUSED void _qbl_fork_child(void)
{
  _qbl_fork_child_stack();
  _qbl_heap_fork_child();
  _QBL_STATE.heapLock = 0;
  _QBL_STATE.lock = 0;
}

/* Once per unit: the exit handler (shared with coverage); once per analysis
 * state: the fork handlers. */
static _QBCRT_UNUSED void _qbl_register_unit(void)
{
  _qbc_register_unit();
  if (__atomic_fetch_or(&_qbc_unit_flags, _QBCRT_ANALYSIS, __ATOMIC_ACQ_REL) & _QBCRT_ANALYSIS)
    return;
  if (!__atomic_exchange_n(&_QBL_STATE.forkHandlers, 1, __ATOMIC_ACQ_REL))
    _qbc_libc_pthread_atfork(_qbl_fork_prepare, _qbl_fork_parent, _qbl_fork_child);
}

static _QBCRT_UNUSED char _qbl_enter_unit(unsigned long *local, const void *frame,
                                          struct _qbl_tsf_v1 *tsf, struct _qbl_stat_v1 *stats,
                                          unsigned long routines, unsigned int message)
{
  if (!(__atomic_load_n(&_qbc_unit_flags, __ATOMIC_RELAXED) & _QBCRT_ANALYSIS))
    _qbl_register_unit();
  return _qbl_enter(local, frame, tsf, stats, routines, message);
}

static _QBCRT_UNUSED void _qbl_on_end_exec(void)
{
  _qbl_flush_threads();
  _qbl_write_stats(0, 0);
  _qbl_heap_section(0);
}

static _QBCRT_UNUSED void _qbl_on_dump(void)
{
  _qbl_write_stats(0, 0);
  _qbl_heap_section(0);
}

/* Every unit's exit handler comes here; the first one writes the leaks. */
static _QBCRT_UNUSED void _qbl_on_exit(void)
{
  _qbl_flush_threads();
  _qbl_write_stats(0, 0);
  _qbl_heap_section(!__atomic_exchange_n(&_QBL_STATE.exited, 1, __ATOMIC_ACQ_REL));
}

/* Destructor of the unit: at exit() it only writes what ran after the exit
 * handlers; at the unloading of a library it also forgets the unit's files,
 * roots and, if the unit made it, the thread key. */
static _QBCRT_UNUSED void _qbl_on_unload(int flags)
{
  _qbl_flush_threads();
  _qbl_write_stats(flags & _QBCRT_EXITING ? 0 : &_qbc_unit, &_qbc_unit);
  if (flags & _QBCRT_EXITING)
    return;
  _qbl_unlink_heap_roots();
  if (_QBL_STATE.keyOwner == &_qbc_unit &&
      __atomic_load_n(&_QBL_STATE.keyState, __ATOMIC_ACQUIRE) == 2) {
    _qbl_libc_pthread_key_delete(_QBL_STATE.key);
    __atomic_store_n(&_QBL_STATE.keyState, 0, __ATOMIC_RELEASE);
  }
}

/* ---- Macros.  Statement forms stand side by side without semicolons;
 * expression forms are 0 inside sums or keep the wrapped expression's
 * value. */

#define _QBL_STACK_DECLARE(t, key, sum) \
  static struct _qbl_tsf_v1 _qbl_tsf_##t _QBCRT_UNUSED = \
    { (key), (sum), _QBL_UNIT_CLOCK, &_qbc_unit, 0, 0, 0, 0 };
#ifdef USE_QBQ
#define _QBQ_DECLARE(t, n) static struct _qbl_stat_v1 _qbq_stats_##t[(n) + 1] _QBCRT_UNUSED;
#define _QBL_STATS(t) _qbq_stats_##t, sizeof _qbq_stats_##t / sizeof _qbq_stats_##t[0] - 1
#else
#define _QBQ_DECLARE(t, n)
#define _QBL_STATS(t) 0, 0
#endif

/* Two declarations: the frame's local, closed by its cleanup, and its
 * opening. */
#define _QBL_STACK_IN(t, r)                                                      \
  unsigned long _qbl_fr __attribute__((__cleanup__(_qbl_leave)));                \
  char _qbl_in _QBCRT_UNUSED =                                                   \
    _qbl_enter_unit(&_qbl_fr, __builtin_frame_address(0), &_qbl_tsf_##t, _QBL_STATS(t), (r));
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
#define _QBT_START_DUMP _qbl_dump_trace();
#define _QBT_START_DUMP_EXPR ((void)_qbl_dump_trace())

/* (_QBL_STACK_OUT_VOID_EXPR_START(+hooks), terminating call): the call
 * leaves no block, so the frame is closed here, before the end of
 * execution among the hooks writes the sections. */
#define _QBL_STACK_OUT_VOID_EXPR_START(hooks) (_qbl_leave(&_qbl_fr), (void)(hooks))

/* The line offset of the next allocations of the thread.  Inside
 * expressions it is set through a call: two calls of one expression (the
 * arguments of one call) are sequenced, two assignments would not be. */
static __inline__ __attribute__((__always_inline__)) _QBCRT_UNUSED int _qbl_set_line(unsigned int line)
{
  _qbl_line_v1 = line;
  return 0;
}
#define _QBP_LINE_OFFSET(t, n) _qbl_line_v1 = (n);
#define _QBP_LINE_OFFSET_EXPR(t, n) _qbl_set_line(n)
#define _QBP_LINE_OFFSET_EXPR_START(t, n) ((void)_qbl_set_line(n))

#ifdef USE_QBP
/* A static local becomes a root once its routine has run. */
#define _QBP_DEFINE_DEEP_GLOBAL(n) static struct _qbp_deep _qbp_deep_[n] _QBCRT_UNUSED;
#define _QBP_USE_DEEP_GLOBAL(name, n)                                         \
  (void)(__atomic_load_n(&_qbp_deep_[n].address, __ATOMIC_RELAXED) ||         \
         (_qbp_deep_[n].size = sizeof(name),                                  \
          __atomic_store_n(&_qbp_deep_[n].address, &(name), __ATOMIC_RELEASE), 0));
/* The trailer defines the unit's scan of its globals and registers it. */
#define _QBP_START_PARSE_GLOBALS static void _qbp_scan_globals(void) {
#define _QBP_PARSE_GLOBAL(name) _qbp_root(&(name), sizeof(name));
#define _QBP_PARSE_DEEP_GLOBALS(n) _qbp_root_deep(_qbp_deep_, (n));
#define _QBP_END_PARSE_GLOBALS                                                       \
  }                                                                                  \
  static struct _qbp_roots_v1 _qbp_globals = { _qbp_scan_globals, &_qbc_unit, 0 };   \
  static void _qbp_link_globals(void) __attribute__((__constructor__));              \
  static void _qbp_link_globals(void)                                                \
  {                                                                                  \
    _qbl_register_unit();                                                            \
    _qbp_link_roots(&_qbp_globals);                                                  \
  }
#else
#define _QBP_DEFINE_DEEP_GLOBAL(n)
#define _QBP_USE_DEEP_GLOBAL(name, n)
#define _QBP_START_PARSE_GLOBALS
#define _QBP_PARSE_GLOBAL(name)
#define _QBP_PARSE_DEEP_GLOBALS(n)
#define _QBP_END_PARSE_GLOBALS
#endif
#define _QBP_DEFINE_PARSE_GLOBALS
#define _QBP_LINK_PARSE_GLOBALS_
#define _QBU_QBP_START_OF_MAIN

#endif /* QBL_TP_ANALYSIS_H_INCLUDED */
