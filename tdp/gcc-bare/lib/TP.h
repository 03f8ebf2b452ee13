/*
 * TP.h - target runtime of quorbcc1 for GCC and Clang on bare-metal targets
 * (arm-none-eabi and other *-elf compilers): no operating system, no heap,
 * no C library.
 *
 * What is recorded
 *   Coverage only, with the same macro texts and results format as the
 *   Linux port: per FDC file and per branch kind (P, C, B, K), which
 *   branches ran, in a flag (default), a bit (-COMPACT) or a saturating
 *   32-bit count (-COUNT) per branch.  Tracing and profiling need an
 *   operating system and are refused.
 *
 * Memory
 *   The cells are static arrays (.bss): one byte per branch in flag mode,
 *   one bit in bit mode, four bytes in count mode.  Each FDC file of a unit
 *   has a constant descriptor (read-only memory) whose address goes into
 *   the linker section "qbc_fdcs"; the runtime walks that section between
 *   the __start_qbc_fdcs and __stop_qbc_fdcs symbols that GNU ld defines, so
 *   nothing runs at start-up and no constructor is needed.  A linker script
 *   that discards unknown sections must keep "qbc_fdcs".  A section is built
 *   in a buffer of QBC_RESULTS_BUFFER bytes (default 128) on the stack.
 *
 * Interrupts
 *   A flag is one byte store: a handler that marks while the program marks
 *   loses nothing.  Bit and count marks are read-modify-writes: exact with
 *   the processor's exclusive accesses where the compiler has them
 *   (__GCC_ATOMIC_CHAR_LOCK_FREE == 2: LDREX/STREX on Cortex-M3, M4, M7,
 *   M33); on an M-profile core without them (Cortex-M0, M0+, M23) the
 *   update masks interrupts for its few instructions (PRIMASK), and is
 *   exact too; on other cores without atomic read-modify-write it is a
 *   plain update, and a mark made by a handler that interrupts a mark of the
 *   same byte (bit mode) or count may be lost.  Taking a cell for a section
 *   follows the same rules.  Sections must not be written from a handler
 *   while the program writes one.
 *
 * Output
 *   A section ("R 0 0", then the F groups and branch lines of the Linux
 *   port) holds what ran since the previous one and is written when main
 *   returns or a terminating call (exit, abort, ...) runs, by the dump
 *   options' services and by
 *       void qbc_results_dump(void);
 *   which the program, a test harness or a debugger ("call
 *   qbc_results_dump()") may call at any time.  A section in which nothing
 *   ran is not written.  Its bytes leave through a function the user
 *   supplies:
 *       void qbc_results_write(const void *bytes, unsigned long size);
 *   called with pieces of the section in order, then once with size 0 when
 *   the section is complete.  Compiling with -DQBC_RESULTS_SEMIHOSTING
 *   provides one over ARM semihosting (emulators, debug probes): it appends
 *   to the host file QBC_RESULTS_DEFAULT ("quorb.qbr" in the debugger's or
 *   emulator's directory unless the launcher named one).
 */
#ifndef QBL_TP_H_INCLUDED
#define QBL_TP_H_INCLUDED

#ifndef QBC_INFORMATION
#define QBC_INFORMATION 0
#endif

#if defined(USE_QBT) || defined(USE_QBP) || defined(USE_QBQ)
#error "TP.h (bare metal): tracing and profiling need an operating system; instrument without -TRACE, -MEMPRO and -PERFPRO"
#endif

#define _QBCRT_UNUSED __attribute__((__unused__))
/* The runtime's own functions run at dumps only: out of the hot path, sized
 * small. */
#define _QBCRT_COLD __attribute__((__unused__, __cold__))

#ifndef QBC_RESULTS_DEFAULT
#define QBC_RESULTS_DEFAULT "quorb.qbr"
#endif
#ifndef QBC_RESULTS_BUFFER
#define QBC_RESULTS_BUFFER 128
#endif

/* ---- Read-modify-writes that an interrupt handler cannot split. */

#if __GCC_ATOMIC_CHAR_LOCK_FREE == 2 && __GCC_ATOMIC_INT_LOCK_FREE == 2
#define _QBCRT_EXCLUSIVE 1
#elif defined(__ARM_ARCH_PROFILE) && __ARM_ARCH_PROFILE == 'M'
/* Interrupts masked, and restored as they were. */
static __inline__ _QBCRT_UNUSED unsigned int _qbc_mask_interrupts(void)
{
  unsigned int primask;
  __asm__ __volatile__("mrs %0, primask\n\tcpsid i" : "=r"(primask) : : "memory");
  return primask;
}

static __inline__ _QBCRT_UNUSED void _qbc_restore_interrupts(unsigned int primask)
{
  __asm__ __volatile__("msr primask, %0" : : "r"(primask) : "memory");
}
#else
static __inline__ _QBCRT_UNUSED unsigned int _qbc_mask_interrupts(void) { return 0; }
static __inline__ _QBCRT_UNUSED void _qbc_restore_interrupts(unsigned int primask) { (void)primask; }
#endif

/* Bit and count updates are calls, not inline code: on a small target the
 * code of an exclusive-access loop at every mark would cost more memory
 * than the program itself (see bench/target_footprint.sh). */
#define _QBCRT_UPDATE static __attribute__((__unused__, __noinline__)) void

/* Sets bit n of a table; one already set costs a load. */
_QBCRT_UPDATE _qbc_mark_bit(unsigned char *table, unsigned long n)
{
  unsigned char *byte = table + (n >> 3), bit = (unsigned char)(1U << (n & 7));
#ifdef _QBCRT_EXCLUSIVE
  if (!(__atomic_load_n(byte, __ATOMIC_RELAXED) & bit))
    __atomic_fetch_or(byte, bit, __ATOMIC_RELAXED);
#else
  unsigned int primask;
  if (*(volatile unsigned char *)byte & bit)
    return;
  primask = _qbc_mask_interrupts();
  *(volatile unsigned char *)byte |= bit;
  _qbc_restore_interrupts(primask);
#endif
}

/* Saturates at 0xFFFFFFFF. */
_QBCRT_UPDATE _qbc_count(unsigned int *count)
{
#ifdef _QBCRT_EXCLUSIVE
  unsigned int seen = __atomic_load_n(count, __ATOMIC_RELAXED);
  while (seen != 0xFFFFFFFFU &&
         !__atomic_compare_exchange_n(count, &seen, seen + 1, 1, __ATOMIC_RELAXED, __ATOMIC_RELAXED))
    ;
#else
  unsigned int primask = _qbc_mask_interrupts();
  if (*(volatile unsigned int *)count != 0xFFFFFFFFU)
    ++*(volatile unsigned int *)count;
  _qbc_restore_interrupts(primask);
#endif
}

/* ---- Cells: one flag, one bit or one saturating 32-bit count per branch. */

#if QBC_INFORMATION == 1
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (((n) + 7) / 8)
#define _QBCRT_MARK_CELL(tab, n) _qbc_mark_bit((tab), (n))
#elif QBC_INFORMATION == 2
#define _QBCRT_CELL unsigned int
#define _QBCRT_CELLS(n) (n)
#define _QBCRT_MARK_CELL(tab, n) _qbc_count(&(tab)[n])
#else
#define _QBCRT_CELL unsigned char
#define _QBCRT_CELLS(n) (n)
#define _QBCRT_MARK_CELL(tab, n) ((void)(*(volatile unsigned char *)&(tab)[n] = 1))
#endif
#define _QBCRT_MARK(tab, n) _QBCRT_MARK_CELL(tab, n)

/* ---- Descriptors.  ORDER RUNTIME LAYOUT: every unit of a program must agree
 * on this structure; change the _v1 suffix with it. */

enum { _QBCRT_PROC, _QBCRT_CALL, _QBCRT_BLOC, _QBCRT_COND, _QBCRT_KINDS };

struct _qbc_bare_fdc_v1 {
  unsigned long key, checksum;        /* of the FDC file, from _QBC_DECLARE */
  int mode;                           /* QBC_INFORMATION of the owning unit */
  unsigned long count[_QBCRT_KINDS];  /* branches per kind P, C, B, K */
  void *table[_QBCRT_KINDS];          /* their cells, 0 when count is 0 */
};

#define _QBCRT_FDC const struct _qbc_bare_fdc_v1

/* Weak: a program with no instrumented unit has an empty section. */
extern _QBCRT_FDC *const __start_qbc_fdcs[] __attribute__((__weak__));
extern _QBCRT_FDC *const __stop_qbc_fdcs[] __attribute__((__weak__));

/* Supplied by the user (or below, over semihosting). */
extern void qbc_results_write(const void *bytes, unsigned long size);

/* ---- Sections. */

struct _qbc_text {
  unsigned long size;
  char data[QBC_RESULTS_BUFFER];
};

static _QBCRT_COLD void _qbc_flush(struct _qbc_text *text)
{
  if (text->size)
    qbc_results_write(text->data, text->size);
  text->size = 0;
}

static _QBCRT_COLD void _qbc_put(struct _qbc_text *text, const char *s, unsigned long n)
{
  while (n--) {
    if (text->size == sizeof text->data)
      _qbc_flush(text);
    text->data[text->size++] = *s++;
  }
}

#ifndef _QBCRT_EXCLUSIVE
/* Value of one cell (a byte of 8 cells in bit mode), reset when taken. */
#define _QBCRT_OWN_READ_CELL
static _QBCRT_COLD unsigned long _qbc_read_cell(void *tab, int mode, unsigned long i, int take)
{
  volatile unsigned int *count = (volatile unsigned int *)tab + i;
  volatile unsigned char *byte = (volatile unsigned char *)tab + i;
  unsigned int primask = _qbc_mask_interrupts();
  unsigned long value = mode == 2 ? *count : *byte;
  if (take && mode == 2)
    *count = 0;
  else if (take)
    *byte = 0;
  _qbc_restore_interrupts(primask);
  return value;
}
#endif

#include "TP_results.h"

/* Whether any branch of the descriptor ran since the previous section. */
static _QBCRT_COLD int _qbc_ran(_QBCRT_FDC *fdc)
{
  unsigned long i, bytes;
  int kind;
  for (kind = 0; kind < _QBCRT_KINDS; kind++) {
    bytes = fdc->table[kind] ? _qbc_table_bytes(fdc, kind) : 0;
    for (i = 0; i < bytes; i++)
      if (((volatile unsigned char *)fdc->table[kind])[i])
        return 1;
  }
  return 0;
}

static _QBCRT_COLD void _qbc_write_section(int take)
{
  struct _qbc_text text;
  _QBCRT_FDC *const *fdc;
  int kind, any = 0;
  for (fdc = __start_qbc_fdcs; fdc < __stop_qbc_fdcs && !any; fdc++)
    any = _qbc_ran(*fdc);
  if (!any)
    return;
  text.size = 0;
  _qbc_put_string(&text, "R 0 0\n");
  for (fdc = __start_qbc_fdcs; fdc < __stop_qbc_fdcs; fdc++) {
    if (!_qbc_ran(*fdc))
      continue;
    _qbc_put_group_head(&text, *fdc);
    for (kind = 0; kind < _QBCRT_KINDS; kind++)
      if ((*fdc)->table[kind])
        _qbc_put_kind(&text, *fdc, kind, take);
  }
  _qbc_flush(&text);
  qbc_results_write(text.data, 0);
}

/* Returns 0 so that it can stand in sums and before a comma. */
static _QBCRT_COLD int _qbc_end_exec(void)
{
  _qbc_write_section(1);
  return 0;
}

static _QBCRT_COLD void _qbc_dump_section(int reset)
{
  _qbc_write_section(reset);
}

/* Every unit defines it; the linker keeps one. */
void qbc_results_dump(void) __attribute__((__weak__, __cold__));
void qbc_results_dump(void)
{
  _qbc_write_section(1);
}

#ifdef QBC_RESULTS_SEMIHOSTING
#include "TP_semihosting.h"
#endif

/* ---- Declarations per FDC file (file scope, written by the prologue): the
 * descriptor's address goes into the section the runtime walks. */

#define _QBC_DECLARE(f, key, sum, np, tp, nc, tc, nb, tb, nk, tk)                              \
  static _QBCRT_FDC _qbc_fdc_##f = { (key), (sum), QBC_INFORMATION, { (np), (nc), (nb), (nk) }, \
                                     { (tp), (tc), (tb), (tk) } };                             \
  static _QBCRT_FDC *const _qbc_fdc_entry_##f                                                 \
    __attribute__((__used__, __section__("qbc_fdcs"))) = &_qbc_fdc_##f;

#include "TP_marks.h"

#endif /* QBL_TP_H_INCLUDED */
