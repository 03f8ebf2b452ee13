/*
 * TP.h - target runtime of quorbcc1 for GCC and Clang on Linux.
 *
 * quorbcc1 writes, at the top of every instrumented file, a few defines
 * (USE_QBC, QBC_INFORMATION, _QBC_FORCEEVALUATION, USE_QBT, ...), an include
 * of this header and the declaration tables of each FDC file; it then splices
 * macro calls into the preprocessed source.  This header defines every one of
 * those macros.  The whole runtime lives here: nothing is added to the
 * compiler or linker command (a launcher may compile it once for many
 * objects, see "A shared runtime" below).
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
 *   (_QBQ_) live in TP_stack.h, TP_heap.h and TP_analysis.h, included only
 *   when USE_QBT, USE_QBP or USE_QBQ is defined; without them their
 *   statement forms expand to nothing and their expression forms evaluate
 *   to 0 or keep the value, type and single evaluation of the expression
 *   they wrap.
 *
 * How
 *   The tables of a translation unit are static.  A constructor declared
 *   with them (_QBC_DECLARE) appends the unit's descriptor of FDC file f to
 *   a process-wide list when the unit is loaded, so that marks cost no test
 *   of whether the unit is known (_QBC_LINK is empty).  The list head lives
 *   in one weak global object (_qbc_runtime_state_v3) that the linker merges
 *   across the instrumented units of a program (a library loaded with
 *   dlopen() may keep a list of its own, which works the same way); every
 *   unit carries its own static copy of the functions below (or shares one:
 *   see "A shared runtime").  Descriptors
 *   carry their unit's cell mode, so units instrumented with different
 *   QBC_INFORMATION values mix in one program.
 *
 *   Sections are appended to the results file named by QBC_RESULTS (default
 *   QBC_RESULTS_DEFAULT as the unit was compiled, "quorb.qbr" in the current
 *   directory unless the launcher named one in the build tree; a program
 *   whose units name different ones writes to one of them).  Each holds what ran since the
 *   previous section, and is written by every end-of-run trigger:
 *   _QBL_END_EXEC (main's returns and closing brace, terminating calls) and
 *   exit() or return from main (an exit handler registered by every unit
 *   when it is loaded) for the whole process; the unloading of an instrumented
 *   library (a destructor in every unit) for that library's units, whose
 *   descriptors then leave the list.  A section in which nothing ran is not
 *   written.
 *
 *       R <pid> <unix time>
 *       F 0x<KEY> 0x<CHECKSUM>           one line per FDC file that ran,
 *       <kind> <branch> <count>          then one line per branch that ran
 *
 *   Kinds are P, C, B, K, in that order, branches ascending; the count is 1
 *   in flag and bit modes.  The same FDC file linked from several units gives
 *   several F groups; readers add up groups and sections.  _QBCPQ_DUMP
 *   writes a section at once (and takes the cells with _QBCPQ_RESET).
 *   A section reaches the file in one write() on a descriptor opened with
 *   O_APPEND, so processes writing at once never mix their lines.  A
 *   results file that cannot be opened is reported once on standard error;
 *   errno is preserved.
 *
 * Threads and fork()
 *   Bit and count marks are indivisible updates of their cell, flag marks
 *   volatile byte stores; the list changes under a spin lock, taken only to
 *   link a descriptor, to build a section and by every thread that forks,
 *   across fork().  The child of fork() starts with empty tables, so parent and
 *   child each report what they ran.
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
 * with -Wall -Wextra, and needs the __atomic built-ins of GCC 4.7 or Clang.
 */
#ifndef QBL_TP_H_INCLUDED
#define QBL_TP_H_INCLUDED

#ifndef QBC_INFORMATION
#define QBC_INFORMATION 0
#endif

#define _QBCRT_UNUSED __attribute__((__unused__))

/* The runtime's own functions run when a unit is loaded or unloaded, at
 * exit, fork and dumps, never per mark: GCC compiles them unoptimised, which
 * takes two thirds off what they add to each unit's compile at -O2 (Clang
 * compiles them cheaply either way). */
#if defined(__GNUC__) && !defined(__clang__)
#define _QBCRT_COLD __attribute__((__unused__, __cold__, __optimize__("O0")))
#else
#define _QBCRT_COLD __attribute__((__unused__, __cold__))
#endif

/* The results file when QBC_RESULTS is unset or empty: the launcher names
 * one in the build's top directory when it compiles the unit. */
#ifndef QBC_RESULTS_DEFAULT
#define QBC_RESULTS_DEFAULT "quorb.qbr"
#endif

/* ---- Cells: one flag, one bit or one saturating 32-bit count per branch.
 * A bit or a count is an indivisible read-modify-write (relaxed: only the
 * cell itself matters), so threads that mark at once lose no count and no
 * neighbouring bit; a flag is a byte store, which no thread can undo.
 * A section takes a cell's value and resets it in one exchange.  Two marks
 * in one expression name different cells. */
#if QBC_INFORMATION == 1
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (((n) + 7) / 8)
#define _QBCRT_BIT(n) ((unsigned char)(1U << ((n) & 7)))
/* A bit already set costs a plain load, no locked instruction. */
#define _QBCRT_MARK_CELL(tab, n)                                                   \
  ((void)((__atomic_load_n(&(tab)[(n) >> 3], __ATOMIC_RELAXED) & _QBCRT_BIT(n)) || \
          __atomic_fetch_or(&(tab)[(n) >> 3], _QBCRT_BIT(n), __ATOMIC_RELAXED)))
#elif QBC_INFORMATION == 2
#define _QBCRT_CELL unsigned int
#define _QBCRT_CELLS(n) (n)
/* A saturated count is left alone; one that wraps under a race is put back
 * to the saturated value.  While the process has one thread (the C
 * library's flag, see below) a count is a plain increment: a locked one
 * costs several times more, and nothing can race with it. */
#define _QBCRT_MARK_CELL(tab, n)                                                  \
  ((void)(&_qbc_libc_single_threaded && _qbc_libc_single_threaded                 \
              ? ((tab)[n] != 0xFFFFFFFFU && ++(tab)[n])                           \
              : (__atomic_load_n(&(tab)[n], __ATOMIC_RELAXED) != 0xFFFFFFFFU &&   \
                 !__atomic_add_fetch(&(tab)[n], 1U, __ATOMIC_RELAXED) &&          \
                 (__atomic_store_n(&(tab)[n], 0xFFFFFFFFU, __ATOMIC_RELAXED), 0))))
#else
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (n)
/* A flag is a volatile byte store: one instruction that stays where the mark
 * is.  A plain store measured slower to run and to compile: the compiler
 * keeps a plain store made in a loop in a register of its own and stores it
 * at the loop's exit, which costs a register in the hottest loops, and its
 * optimisers spend time on every plain store that they skip for a volatile
 * one.  A section written from a signal handler holds every mark that the
 * interrupted thread made before it. */
#define _QBCRT_MARK_CELL(tab, n) ((void)(((volatile _QBCRT_CELL *)(tab))[n] = 1))
#endif
#define _QBCRT_MARK(tab, n) _QBCRT_MARK_CELL(tab, n)

/* ---- C library, under private names (see the header comment). */

extern int _qbc_libc_open(const char *, int, ...) __asm__("open");
extern long _qbc_libc_write(int, const void *, unsigned long) __asm__("write");
extern int _qbc_libc_close(int) __asm__("close");
#ifdef USE_QBP
/* Memory profiling interposes realloc and free; the runtime's own buffers
 * bypass it. */
extern void *_qbc_libc_realloc(void *, unsigned long) __asm__("__libc_realloc");
extern void _qbc_libc_free(void *) __asm__("__libc_free");
#else
extern void *_qbc_libc_realloc(void *, unsigned long) __asm__("realloc");
extern void _qbc_libc_free(void *) __asm__("free");
#endif
extern char *_qbc_libc_getenv(const char *) __asm__("getenv");
extern char *_qbc_libc_strerror(int) __asm__("strerror");
extern int _qbc_libc_getpid(void) __asm__("getpid");
extern long _qbc_libc_time(long *) __asm__("time");
extern int *_qbc_libc_errno(void) __asm__("__errno_location");
extern int _qbc_libc_sched_yield(void) __asm__("sched_yield");
/* 1 until the process creates its second thread, and never again after
 * (glibc 2.32 and later); without it (address 0) every count is atomic. */
extern char _qbc_libc_single_threaded __asm__("__libc_single_threaded") __attribute__((__weak__));
/* Both come from libc_nonshared.a and carry this object's __dso_handle: the
 * handlers of an unloaded library go with it. */
extern int _qbc_libc_atexit(void (*)(void)) __asm__("atexit");
extern int _qbc_libc_pthread_atfork(void (*)(void), void (*)(void), void (*)(void))
  __asm__("pthread_atfork");

/* open() flags of the generic Linux ABI (x86, ARM, RISC-V, PowerPC, ...). */
#if defined(__mips__) || defined(__alpha__) || defined(__sparc__) || defined(__hppa__)
#error "TP.h: the open() flags below do not match this architecture"
#endif
#define _QBCRT_O_RESULTS (01 | 0100 | 02000 | 02000000) /* WRONLY CREAT APPEND CLOEXEC */

/* ---- Process-wide registry.  ORDER RUNTIME LAYOUT: every unit of a program
 * must agree on these two structures; change the _v3 suffix with them. */

enum { _QBCRT_PROC, _QBCRT_CALL, _QBCRT_BLOC, _QBCRT_COND, _QBCRT_KINDS };

struct _qbc_fdc_v3 {
  unsigned long key, checksum;        /* of the FDC file, from _QBC_DECLARE */
  int mode;                           /* QBC_INFORMATION of the owning unit */
  const char *owner;                  /* identifies the owning unit */
  unsigned long count[_QBCRT_KINDS];  /* branches per kind P, C, B, K */
  void *table[_QBCRT_KINDS];          /* their cells, 0 when count is 0 */
  struct _qbc_fdc_v3 *next;           /* registry list, in link order */
  int linked;                         /* in the list */
};

struct _qbc_runtime_v3 {
  struct _qbc_fdc_v3 *first, *last;   /* changed only under the lock */
  int lock;                           /* spin lock over the list */
  int forkHandlers;                   /* a unit registered the fork handlers */
  int openFailureShown;               /* the results file error is out */
};

/* ---- A shared runtime.  A unit compiled with _QBCRT_SHARED (a variant
 * name: a launcher's hash of this header, the unit's runtime macros and its
 * compile options) holds only its tables, marks and constructors; the
 * functions below come from their compile with _QBCRT_SHARED and
 * _QBCRT_SHARED_RUNTIME, done once per variant and put into each such
 * object (the launcher assembles it with the unit).  Their entry points
 * and this unit's identity are then weak and hidden, so that one copy per
 * variant serves a whole executable or shared library: "this unit" becomes
 * that module's units of the variant, which load and unload together
 * anyway.  Coverage only: tracing and profiling keep the whole runtime in
 * the unit. */
#ifdef _QBCRT_SHARED
#if defined(USE_QBT) || defined(USE_QBQ) || defined(USE_QBP)
#error "TP.h: a shared runtime serves coverage only"
#endif
#define _QBCRT_JOIN(a, b) a##b
#define _QBCRT_VARIANT_NAME(a, b) _QBCRT_JOIN(a, b)
#define _QBCRT_SHARED_NAME(f) _QBCRT_VARIANT_NAME(f##_, _QBCRT_SHARED)
#define _qbc_unit _QBCRT_SHARED_NAME(_qbc_unit)
#define _qbc_unit_flags _QBCRT_SHARED_NAME(_qbc_unit_flags)
#define _qbc_link _QBCRT_SHARED_NAME(_qbc_link)
#define _qbc_end_exec _QBCRT_SHARED_NAME(_qbc_end_exec)
#define _qbc_dump_section _QBCRT_SHARED_NAME(_qbc_dump_section)
#define _QBCRT_ENTRY __attribute__((__weak__, __visibility__("hidden")))
#else
#define _QBCRT_ENTRY static
#endif

#if defined(_QBCRT_SHARED) && !defined(_QBCRT_SHARED_RUNTIME)
extern const char _qbc_unit __attribute__((__visibility__("hidden")));
extern void _qbc_link(struct _qbc_fdc_v3 *fdc) __attribute__((__visibility__("hidden")));
extern int _qbc_end_exec(void) __attribute__((__visibility__("hidden")));
extern void _qbc_dump_section(int reset) __attribute__((__visibility__("hidden")));
#else

extern struct _qbc_runtime_v3 _qbc_runtime_state_v3;
struct _qbc_runtime_v3 _qbc_runtime_state_v3 __attribute__((__weak__));

_QBCRT_ENTRY const char _qbc_unit _QBCRT_UNUSED = 0;

/* This unit's life: handlers registered, exit under way, unloaded. */
enum { _QBCRT_REGISTERED = 1, _QBCRT_EXITING = 2, _QBCRT_GONE = 4 };
_QBCRT_ENTRY int _qbc_unit_flags _QBCRT_UNUSED;

static _QBCRT_COLD void _qbc_lock(void)
{
  while (__atomic_exchange_n(&_qbc_runtime_state_v3.lock, 1, __ATOMIC_ACQUIRE))
    _qbc_libc_sched_yield();
}

static _QBCRT_COLD void _qbc_unlock(void)
{
  __atomic_store_n(&_qbc_runtime_state_v3.lock, 0, __ATOMIC_RELEASE);
}

/* A section under construction (see Sections below). */
struct _qbc_text {
  char *data;
  unsigned long size, capacity;
  const char *path;                   /* opened on the first write */
  int fd;                             /* -1 until then */
};

#define _QBCRT_FDC struct _qbc_fdc_v3
static _QBCRT_COLD void _qbc_put(struct _qbc_text *text, const char *s, unsigned long n);
#include "TP_results.h"

static _QBCRT_COLD void _qbc_clear_tables(void)
{
  struct _qbc_fdc_v3 *fdc;
  unsigned long bytes, i;
  int kind;
  for (fdc = _qbc_runtime_state_v3.first; fdc; fdc = fdc->next) {
    for (kind = 0; kind < _QBCRT_KINDS; kind++) {
      if (!fdc->table[kind])
        continue;
      bytes = _qbc_table_bytes(fdc, kind);
      for (i = 0; i < bytes; i++)
        ((unsigned char *)fdc->table[kind])[i] = 0;
    }
  }
}

/* ---- fork(): every thread that forks holds the lock across it, so its
 * child gets a whole list (no unit half linked or half written by another
 * thread); the child then starts with empty tables.  One set of handlers
 * serves the registry, registered by its first unit: that unit is never
 * unloaded before the others (the program's units come first, and a library
 * that binds to another's registry keeps it loaded), whereas the C library
 * may still call the handler of a library that another thread is unloading
 * (it runs each handler outside its own lock).  Two threads that fork at
 * once take the lock in turn. */

static _QBCRT_COLD void _qbc_fork_prepare(void)
{
  _qbc_lock();
}

static _QBCRT_COLD void _qbc_fork_parent(void)
{
  _qbc_unlock();
}

static _QBCRT_COLD void _qbc_fork_child(void)
{
  _qbc_clear_tables();
  _qbc_runtime_state_v3.lock = 0;
}

/* ---- Sections.  One is built in memory and appended with one write() on a
 * file opened with O_APPEND, so sections of concurrent processes never mix.
 * Building it takes every cell (reads and resets it in one exchange): a
 * section holds what ran since the previous one, and a mark that races with
 * it lands in this section or in the next. */


static _QBCRT_COLD void _qbc_show_open_failure(const char *path, int error);

static _QBCRT_COLD void _qbc_write_all(struct _qbc_text *text, const char *s, unsigned long n)
{
  long done;
  if (text->fd < 0 && text->path) {
    text->fd = _qbc_libc_open(text->path, _QBCRT_O_RESULTS, 0666);
    if (text->fd < 0)
      _qbc_show_open_failure(text->path, *_qbc_libc_errno());
    text->path = 0;
  }
  while (text->fd >= 0 && n) {
    done = _qbc_libc_write(text->fd, s, n);
    if (done > 0) {
      s += done;
      n -= (unsigned long)done;
    } else if (done == 0 || *_qbc_libc_errno() != 4) { /* EINTR */
      break;
    }
  }
}

static _QBCRT_COLD void _qbc_flush(struct _qbc_text *text)
{
  _qbc_write_all(text, text->data, text->size);
  text->size = 0;
}

/* Without memory to grow, what is built so far is written out first: the
 * section then reaches the file in several writes, but whole. */
static _QBCRT_COLD void _qbc_put(struct _qbc_text *text, const char *s, unsigned long n)
{
  unsigned long capacity, i;
  char *grown;
  if (text->size + n > text->capacity) {
    capacity = text->capacity ? 2 * text->capacity : 4096;
    while (capacity < text->size + n)
      capacity *= 2;
    grown = (char *)_qbc_libc_realloc(text->data, capacity);
    if (grown) {
      text->data = grown;
      text->capacity = capacity;
    } else {
      _qbc_flush(text);
      if (n > text->capacity) {
        _qbc_write_all(text, s, n);
        return;
      }
    }
  }
  for (i = 0; i < n; i++)
    text->data[text->size + i] = s[i];
  text->size += n;
}

/* Under the lock: the F groups of the descriptors of `only` (0: all units)
 * that have something to show; unlinks the descriptors of `drop`. */
static _QBCRT_COLD unsigned long _qbc_put_groups(struct _qbc_text *text, const char *only,
                                                   int take, const char *drop)
{
  struct _qbc_runtime_v3 *rt = &_qbc_runtime_state_v3;
  struct _qbc_fdc_v3 **link = &rt->first, *fdc;
  unsigned long start, lines, total = 0;
  int kind;
  rt->last = 0;
  while ((fdc = *link) != 0) {
    if (!only || fdc->owner == only) {
      start = text->size;
      _qbc_put_group_head(text, fdc);
      for (lines = 0, kind = 0; kind < _QBCRT_KINDS; kind++)
        if (fdc->table[kind])
          lines += _qbc_put_kind(text, fdc, kind, take);
      if (!lines && text->size >= start)
        text->size = start;
      total += lines;
    }
    if (drop && fdc->owner == drop) {
      __atomic_store_n(&fdc->linked, 0, __ATOMIC_RELEASE);
      *link = fdc->next;
    } else {
      rt->last = fdc;
      link = &fdc->next;
    }
  }
  return total;
}

static _QBCRT_COLD void _qbc_show_open_failure(const char *path, int error)
{
  struct _qbc_text text = { 0, 0, 0, 0, 2 };
  if (__atomic_exchange_n(&_qbc_runtime_state_v3.openFailureShown, 1, __ATOMIC_RELAXED))
    return;
  _qbc_put_string(&text, "quorb runtime: cannot open the results file ");
  _qbc_put_string(&text, path);
  _qbc_put_string(&text, ": ");
  _qbc_put_string(&text, _qbc_libc_strerror(error));
  _qbc_put(&text, "\n", 1);
  _qbc_flush(&text);
  _qbc_libc_free(text.data);
}

/* Appends one section with what ran since the previous one in the units
 * `only` (0: all), if anything ran, and unlinks the descriptors of `drop`.
 * Leaves errno as it found it. */
static _QBCRT_COLD void _qbc_write_section(const char *only, int take, const char *drop)
{
  struct _qbc_text text = { 0, 0, 0, 0, -1 };
  unsigned long lines;
  int savedErrno = *_qbc_libc_errno();

  text.path = _qbc_libc_getenv("QBC_RESULTS");
  if (!text.path || !*text.path)
    text.path = QBC_RESULTS_DEFAULT;
  _qbc_put_string(&text, "R ");
  _qbc_put_number(&text, (unsigned long)_qbc_libc_getpid(), 10);
  _qbc_put_string(&text, " ");
  _qbc_put_number(&text, (unsigned long)_qbc_libc_time(0), 10);
  _qbc_put(&text, "\n", 1);
  _qbc_lock();
  lines = _qbc_put_groups(&text, only, take, drop);
  _qbc_unlock();
  if (lines)
    _qbc_flush(&text);
  if (text.fd >= 0)
    _qbc_libc_close(text.fd);
  _qbc_libc_free(text.data);
  *_qbc_libc_errno() = savedErrno;
}

#if defined(USE_QBT) || defined(USE_QBQ) || defined(USE_QBP)
#define _QBL_ANALYSIS 1
#include "TP_stack.h"
#ifdef USE_QBP
#include "TP_heap.h"
#endif
#include "TP_analysis.h"
#else
#define _qbl_on_end_exec()
#define _qbl_on_dump()
#define _qbl_on_exit()
#define _qbl_on_unload(flags)
#endif

/* ---- Triggers.  Each writes what ran since the previous section: the
 * end-of-execution text and exit() (every unit registers an exit handler
 * when it is loaded) the whole process, the unloading of a library its own
 * units only, which it also unlinks.  When a library is unloaded its
 * destructors run before its exit handlers; at exit() every exit handler
 * runs before any destructor. */

/* Returns 0 so that it can stand in sums and before a comma. */
_QBCRT_ENTRY _QBCRT_COLD int _qbc_end_exec(void)
{
  _qbc_write_section(0, 1, 0);
  _qbl_on_end_exec();
  return 0;
}

_QBCRT_ENTRY _QBCRT_COLD void _qbc_dump_section(int reset)
{
  _qbc_write_section(0, reset, 0);
  _qbl_on_dump();
}

static _QBCRT_COLD void _qbc_unit_exit(void)
{
  if (__atomic_fetch_or(&_qbc_unit_flags, _QBCRT_EXITING, __ATOMIC_ACQ_REL) & _QBCRT_GONE)
    return;
  _qbc_write_section(0, 1, 0);
  _qbl_on_exit();
}

/* At exit() (this unit's exit handler ran) the section takes in whatever
 * other exit handlers and destructors ran since; at unloading, only this
 * unit's descriptors, so that no other unit follows them once this unit's
 * code and data are gone. */
static void _qbc_unit_end(void) __attribute__((__destructor__));
static _QBCRT_COLD void _qbc_unit_end(void)
{
  int flags = __atomic_fetch_or(&_qbc_unit_flags, _QBCRT_GONE, __ATOMIC_ACQ_REL);
  _qbc_write_section(flags & _QBCRT_EXITING ? 0 : &_qbc_unit, 1, &_qbc_unit);
  _qbl_on_unload(flags);
}

static _QBCRT_COLD void _qbc_register_unit(void)
{
  if (__atomic_fetch_or(&_qbc_unit_flags, _QBCRT_REGISTERED, __ATOMIC_ACQ_REL) & _QBCRT_REGISTERED)
    return;
  _qbc_libc_atexit(_qbc_unit_exit);
  if (!__atomic_exchange_n(&_qbc_runtime_state_v3.forkHandlers, 1, __ATOMIC_ACQ_REL))
    _qbc_libc_pthread_atfork(_qbc_fork_prepare, _qbc_fork_parent, _qbc_fork_child);
}

/* Load of the unit holding FDC file f (a constructor).  The handlers are
 * registered outside the lock: fork() runs the prepare handlers, which take
 * it, while holding the C library's own lock of the handler list. */
_QBCRT_ENTRY _QBCRT_COLD void _qbc_link(struct _qbc_fdc_v3 *fdc)
{
  struct _qbc_runtime_v3 *rt = &_qbc_runtime_state_v3;
  _qbc_register_unit();
  _qbc_lock();
  if (!fdc->linked) {
    fdc->next = 0;
    if (rt->last)
      rt->last->next = fdc;
    else
      rt->first = fdc;
    rt->last = fdc;
    __atomic_store_n(&fdc->linked, 1, __ATOMIC_RELEASE);
  }
  _qbc_unlock();
}
#endif /* a unit of a shared runtime */

/* ---- Declarations per FDC file (file scope, written by the prologue): the
 * descriptor links itself when the unit is loaded. */

#define _QBC_DECLARE(f, key, sum, np, tp, nc, tc, nb, tb, nk, tk)                 \
  static struct _qbc_fdc_v3 _qbc_fdc_##f _QBCRT_UNUSED = {                        \
    (key), (sum), QBC_INFORMATION, &_qbc_unit, { (np), (nc), (nb), (nk) },        \
    { (tp), (tc), (tb), (tk) }, 0, 0 };                                           \
  static __attribute__((__constructor__)) void _qbc_load_##f(void)                \
  {                                                                               \
    _qbc_link(&_qbc_fdc_##f);                                                     \
  }

/* A shared runtime's own compile defines no unit: no tables, no marks. */
#ifndef _QBCRT_SHARED_RUNTIME
#include "TP_marks.h"
#endif

#endif /* QBL_TP_H_INCLUDED */
