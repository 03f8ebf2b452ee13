/*
 * TP_stack.h - routine stacks, tracing and performance profiling of the
 * quorbcc1 runtime.  Included by TP.h when USE_QBT, USE_QBQ or USE_QBP is
 * defined; relies on TP.h's C library declarations and text buffers.
 *
 * Every traced routine opens a frame: _QBL_STACK_IN declares a small local
 * whose cleanup attribute closes the frame when the routine's block is left,
 * however that happens (return with any value, falling off the end), after
 * the returned expression was evaluated.  The exit texts at returns and at
 * closing braces therefore have nothing left to do; only a terminating call
 * closes the frame explicitly, since exit() leaves no block.
 *
 * Each thread keeps a shadow stack of its open frames in a record of its own
 * (heap memory, never the program's stack): the local only holds the frame's
 * depth, so that a frame is found again without reading stack memory.  A
 * frame left by longjmp() is noticed at the next entry or exit of a routine
 * whose stack frame lies above it, and closed as "unwound".
 *
 * Tracing keeps, per thread, a ring of the last QBT_EVENTS events; the ring
 * is written out (and emptied) at each trigger, at the thread's end and at
 * the process's end.  Performance statistics live in one table per unit and
 * TSF file, indexed by the routine's message counter; a section takes them.
 */
#ifndef QBL_TP_STACK_H_INCLUDED
#define QBL_TP_STACK_H_INCLUDED

__extension__ typedef unsigned long long _qbl_u64;

struct _qbl_timespec { long sec, nsec; };
extern int _qbl_libc_clock_gettime(int, struct _qbl_timespec *) __asm__("clock_gettime");
extern int _qbl_libc_pthread_key_create(unsigned int *, void (*)(void *))
  __asm__("pthread_key_create");
extern int _qbl_libc_pthread_key_delete(unsigned int) __asm__("pthread_key_delete");
extern int _qbl_libc_pthread_setspecific(unsigned int, const void *) __asm__("pthread_setspecific");
/* The runtime's own memory never goes through the interposed allocator of
 * memory profiling: it is neither counted nor reported. */
extern void *_qbl_libc_calloc(unsigned long, unsigned long) __asm__("__libc_calloc");
extern void *_qbl_libc_realloc(void *, unsigned long) __asm__("__libc_realloc");
extern void _qbl_libc_free(void *) __asm__("__libc_free");

#define _QBL_CLOCK_MONOTONIC 1
#define _QBL_CLOCK_PROCESS 2

#if defined(USE_QBQ) && defined(QBL_CLOCK_KIND) && defined(QBL_PROCESS_CLOCK)
#if QBL_CLOCK_KIND == QBL_PROCESS_CLOCK
#define _QBL_UNIT_CLOCK _QBL_CLOCK_PROCESS
#endif
#endif
#ifndef _QBL_UNIT_CLOCK
#define _QBL_UNIT_CLOCK _QBL_CLOCK_MONOTONIC
#endif

/* ---- Process-wide state.  ORDER RUNTIME LAYOUT: every unit of a program
 * must agree on these structures; change the _v1 suffix with them. */

/* Performance of one routine; min and max are kept complemented for the
 * minimum, so that zero-filled memory means "no call yet". */
struct _qbl_stat_v1 {
  _qbl_u64 calls, notMin, max, total, notOwnMin, ownMax, own;
};

/* One TSF file in one unit (_QBL_STACK_DECLARE). */
struct _qbl_tsf_v1 {
  unsigned int key, checksum;
  int clock;                          /* _QBL_CLOCK_* of the unit */
  const char *owner;                  /* identifies the owning unit */
  struct _qbl_stat_v1 *stats;         /* routines 1..routines, or 0 */
  unsigned long routines;
  struct _qbl_tsf_v1 *next;           /* list of files with statistics */
  int linked;
};

struct _qbl_entry {                   /* one open frame */
  const void *local, *frame;          /* the frame's local, its stack frame */
  const struct _qbl_tsf_v1 *tsf;
  struct _qbl_stat_v1 *stat;          /* 0 without performance profiling */
  unsigned int message;
  unsigned int callerLine;            /* line offset of the caller, restored */
  int clock;
  _qbl_u64 start, children;
};

struct _qbl_event {
  _qbl_u64 time;
  unsigned int key, checksum, message, depth;
  char kind;                          /* E entry, X exit, U unwound, D dump */
};

struct _qbl_thread_v1 {
  struct _qbl_entry *stack;
  unsigned long depth, room;
  struct _qbl_event *ring;
  unsigned long recorded, capacity;   /* events since the last flush */
  unsigned long lost;                 /* events not recorded: ring busy */
  unsigned long number;               /* 1 for the first thread seen */
  int lock;                           /* over the ring: 1 its thread, 2 another */
  int ended;                          /* free for a new thread */
  struct _qbl_thread_v1 *next;
};

struct _qbp_block;
struct _qbp_site;
struct _qbp_bad;
struct _qbp_roots_v1;
struct _qbp_range;

struct _qbl_runtime_v2 {
  int lock;                           /* threads and statistics lists */
  struct _qbl_thread_v1 *threads;
  unsigned long threadCount;
  struct _qbl_tsf_v1 *first, *last;
  unsigned long bound;                /* QBT_EVENTS, 0 until read */
  int keyState;                       /* 0 none, 1 being made, 2 made, 3 failed */
  unsigned int key;
  const char *keyOwner;
  int forkHandlers;                   /* a unit registered the fork handlers */
  int exited;                         /* the process's final sections are out */
  /* Memory profiling (TP_heap.h). */
  int heapLock;
  struct _qbp_block *blocks;
  unsigned long blockRoom, blockUsed;
  struct _qbp_site *sites;
  unsigned long siteRoom, siteUsed;
  struct _qbp_bad *bad;
  unsigned long badUsed, badDropped;
  int heapBroken;
  struct _qbp_roots_v1 *roots;
  struct _qbp_range *ranges;          /* to scan for leaks: every unit adds */
  unsigned long rangeUsed, rangeRoom;
};

extern struct _qbl_runtime_v2 _qbl_runtime_state_v2;
struct _qbl_runtime_v2 _qbl_runtime_state_v2 __attribute__((__weak__));
extern __thread struct _qbl_thread_v1 *_qbl_self_v1;
__thread struct _qbl_thread_v1 *_qbl_self_v1 __attribute__((__weak__));
/* Line offset last set in the thread (memory profiling).  Volatile: the
 * compiler knows that malloc() reads no variable of the program, and would
 * otherwise drop or delay the stores that precede it. */
extern __thread volatile unsigned int _qbl_line_v1;
__thread volatile unsigned int _qbl_line_v1 __attribute__((__weak__));

#define _QBL_STATE _qbl_runtime_state_v2

/* The ring's lock is held with 1 by its own thread and 2 by another one.
 * Its own thread finding it held with 1 was interrupted by a signal whose
 * handler runs traced code: it must not wait for itself. */
static _QBCRT_UNUSED int _qbl_take_ring(struct _qbl_thread_v1 *th)
{
  int mine = th == _qbl_self_v1, seen;
  for (;;) {
    seen = 0;
    if (__atomic_compare_exchange_n(&th->lock, &seen, mine ? 1 : 2, 0, __ATOMIC_ACQUIRE,
                                    __ATOMIC_RELAXED))
      return 1;
    if (mine && seen == 1)
      return 0;
    _qbc_libc_sched_yield();
  }
}

static _QBCRT_UNUSED void _qbl_take(int *lock)
{
  while (__atomic_exchange_n(lock, 1, __ATOMIC_ACQUIRE))
    _qbc_libc_sched_yield();
}

static _QBCRT_UNUSED void _qbl_give(int *lock)
{
  __atomic_store_n(lock, 0, __ATOMIC_RELEASE);
}

static _QBCRT_UNUSED _qbl_u64 _qbl_now(int clock)
{
  struct _qbl_timespec ts = { 0, 0 };
  _qbl_libc_clock_gettime(clock, &ts);
  return (_qbl_u64)ts.sec * 1000000000U + (_qbl_u64)ts.nsec;
}

/* Grows an array of the runtime's own memory to hold `need` items. */
static _QBCRT_UNUSED int _qbl_grow(void **items, unsigned long *room, unsigned long need,
                                   unsigned long size)
{
  unsigned long wanted = *room ? *room : 16;
  void *grown;
  if (need <= *room)
    return 1;
  while (wanted < need)
    wanted *= 2;
  grown = _qbl_libc_realloc(*items, wanted * size);
  if (!grown)
    return 0;
  *items = grown;
  *room = wanted;
  return 1;
}

static _QBCRT_UNUSED void _qbl_put_u64(struct _qbc_text *text, _qbl_u64 value, unsigned base)
{
  char digits[24];
  unsigned long n = sizeof digits;
  do {
    digits[--n] = "0123456789ABCDEF"[value % base];
    value /= base;
  } while (value);
  _qbc_put(text, digits + n, sizeof digits - n);
}

/* " 0x<KEY> 0x<CHECKSUM>" of a TSF file, or of none. */
static _QBCRT_UNUSED void _qbl_put_file(struct _qbc_text *text, unsigned int key, unsigned int sum)
{
  _qbc_put_string(text, " 0x");
  _qbl_put_u64(text, key, 16);
  _qbc_put_string(text, " 0x");
  _qbl_put_u64(text, sum, 16);
}

/* A text of one section for the file named by `variable` (default `name`). */
static _QBCRT_UNUSED void _qbl_open_text(struct _qbc_text *text, const char *variable,
                                         const char *name)
{
  text->data = 0;
  text->size = text->capacity = 0;
  text->fd = -1;
  text->path = _qbc_libc_getenv(variable);
  if (!text->path || !*text->path)
    text->path = name;
}

static _QBCRT_UNUSED void _qbl_close_text(struct _qbc_text *text, int write)
{
  if (write)
    _qbc_flush(text);
  if (text->fd >= 0)
    _qbc_libc_close(text->fd);
  _qbc_libc_free(text->data);   /* grown by _qbc_put */
}

/* ---- Threads. */

static _QBCRT_UNUSED unsigned long _qbl_bound(void)
{
  unsigned long bound = __atomic_load_n(&_QBL_STATE.bound, __ATOMIC_RELAXED), value = 0;
  const char *s;
  if (bound)
    return bound;
  s = _qbc_libc_getenv("QBT_EVENTS");
  while (s && *s >= '0' && *s <= '9' && value < 100000000UL)
    value = value * 10 + (unsigned long)(*s++ - '0');
  bound = s && !*s && value ? value : 65536;
  __atomic_store_n(&_QBL_STATE.bound, bound, __ATOMIC_RELAXED);
  return bound;
}

static _QBCRT_UNUSED void _qbl_flush_thread(struct _qbl_thread_v1 *th);

/* Destructor of the thread key: the ending thread's events go out and its
 * record becomes free for a thread to come. */
static _QBCRT_UNUSED void _qbl_thread_end(void *record)
{
  struct _qbl_thread_v1 *th = (struct _qbl_thread_v1 *)record;
  _qbl_flush_thread(th);
  th->depth = 0;
  _qbl_self_v1 = 0;
  __atomic_store_n(&th->ended, 1, __ATOMIC_RELEASE);
}

static _QBCRT_UNUSED void _qbl_make_key(void)
{
  int expected = 0;
  if (!__atomic_compare_exchange_n(&_QBL_STATE.keyState, &expected, 1, 0, __ATOMIC_ACQ_REL,
                                   __ATOMIC_ACQUIRE)) {
    while (__atomic_load_n(&_QBL_STATE.keyState, __ATOMIC_ACQUIRE) == 1)
      _qbc_libc_sched_yield();
    return;
  }
  _QBL_STATE.keyOwner = &_qbc_unit;
  __atomic_store_n(&_QBL_STATE.keyState,
                   _qbl_libc_pthread_key_create(&_QBL_STATE.key, _qbl_thread_end) ? 3 : 2,
                   __ATOMIC_RELEASE);
}

/* The calling thread's record, made on its first traced routine; 0 without
 * memory.  A record of an ended thread is used again. */
static _QBCRT_UNUSED struct _qbl_thread_v1 *_qbl_new_thread(void)
{
  struct _qbl_thread_v1 *th;
  int ended;
  _qbl_make_key();
  _qbl_take(&_QBL_STATE.lock);
  for (th = _QBL_STATE.threads; th; th = th->next) {
    ended = 1;
    if (__atomic_compare_exchange_n(&th->ended, &ended, 0, 0, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED))
      break;
  }
  if (!th) {
    th = (struct _qbl_thread_v1 *)_qbl_libc_calloc(1, sizeof *th);
    if (th) {
      th->next = _QBL_STATE.threads;
      _QBL_STATE.threads = th;
    }
  }
  if (th) {
    th->number = ++_QBL_STATE.threadCount;
    th->depth = th->recorded = th->lost = 0;
    th->lock = 0;
  }
  _qbl_give(&_QBL_STATE.lock);
  if (th && __atomic_load_n(&_QBL_STATE.keyState, __ATOMIC_ACQUIRE) == 2)
    _qbl_libc_pthread_setspecific(_QBL_STATE.key, th);
  _qbl_self_v1 = th;
  return th;
}

/* ---- Trace events. */

static _QBCRT_UNUSED void _qbl_record(struct _qbl_thread_v1 *th, char kind,
                                      const struct _qbl_entry *entry, unsigned long depth,
                                      _qbl_u64 time)
{
  unsigned long bound = _qbl_bound(), slot;
  struct _qbl_event *event;
  if (!_qbl_take_ring(th)) {
    __atomic_fetch_add(&th->lost, 1, __ATOMIC_RELAXED);
    return;
  }
  if (th->recorded >= th->capacity && th->capacity < bound) {
    unsigned long room = th->capacity;
    void *ring = th->ring;
    if (_qbl_grow(&ring, &room, th->capacity < bound / 2 ? th->capacity * 2 + 1 : bound,
                  sizeof *th->ring)) {
      th->ring = (struct _qbl_event *)ring;
      th->capacity = room < bound ? room : bound;
    }
  }
  if (th->capacity) {
    slot = th->recorded < th->capacity ? th->recorded : th->recorded % th->capacity;
    event = &th->ring[slot];
    event->time = time;
    event->kind = kind;
    event->depth = (unsigned int)depth;
    event->key = entry ? entry->tsf->key : 0;
    event->checksum = entry ? entry->tsf->checksum : 0;
    event->message = entry ? entry->message : 0;
    th->recorded++;
  }
  _qbl_give(&th->lock);
}

/* Appends the thread's kept events as one section and empties its ring.
 * When the ring was full, the section holds the last `capacity` events and
 * says how many came before them. */
static _QBCRT_UNUSED void _qbl_flush_thread(struct _qbl_thread_v1 *th)
{
  struct _qbc_text text;
  unsigned long i, first, kept;
  struct _qbl_event *e;
  int savedErrno = *_qbc_libc_errno();
  if (!_qbl_take_ring(th))
    return;
  if (!th->recorded && !th->lost) {
    _qbl_give(&th->lock);
    return;
  }
  _qbl_open_text(&text, "QBT_RESULTS", "quorb.qbt");
  kept = th->recorded < th->capacity ? th->recorded : th->capacity;
  first = th->recorded - kept;
  _qbc_put_string(&text, "T ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_getpid(), 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, th->number, 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_time(0), 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, first, 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, __atomic_exchange_n(&th->lost, 0, __ATOMIC_RELAXED), 10);
  _qbc_put(&text, "\n", 1);
  for (i = first; i < th->recorded; i++) {
    e = &th->ring[th->capacity ? i % th->capacity : 0];
    _qbc_put(&text, &e->kind, 1);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, e->time, 10);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, e->depth, 10);
    if (e->kind != 'D') {
      _qbl_put_file(&text, e->key, e->checksum);
      _qbc_put_string(&text, " ");
      _qbl_put_u64(&text, e->message, 10);
    }
    _qbc_put(&text, "\n", 1);
  }
  th->recorded = 0;
  _qbl_give(&th->lock);
  _qbl_close_text(&text, 1);
  *_qbc_libc_errno() = savedErrno;
}

static _QBCRT_UNUSED void _qbl_flush_threads(void)
{
  struct _qbl_thread_v1 *th;
  _qbl_take(&_QBL_STATE.lock);
  th = _QBL_STATE.threads;
  _qbl_give(&_QBL_STATE.lock);
  for (; th; th = th->next)   /* records are only ever added at the head */
    if (!__atomic_load_n(&th->ended, __ATOMIC_ACQUIRE))
      _qbl_flush_thread(th);
}

/* ---- Performance statistics. */

static _QBCRT_UNUSED void _qbl_raise(_qbl_u64 *cell, _qbl_u64 value)
{
  _qbl_u64 seen = __atomic_load_n(cell, __ATOMIC_RELAXED);
  while (seen < value &&
         !__atomic_compare_exchange_n(cell, &seen, value, 1, __ATOMIC_RELAXED, __ATOMIC_RELAXED))
    ;
}

static _QBCRT_UNUSED void _qbl_count(struct _qbl_stat_v1 *stat, _qbl_u64 total, _qbl_u64 own)
{
  __atomic_fetch_add(&stat->calls, 1, __ATOMIC_RELAXED);
  __atomic_fetch_add(&stat->total, total, __ATOMIC_RELAXED);
  __atomic_fetch_add(&stat->own, own, __ATOMIC_RELAXED);
  _qbl_raise(&stat->notMin, ~total);
  _qbl_raise(&stat->max, total);
  _qbl_raise(&stat->notOwnMin, ~own);
  _qbl_raise(&stat->ownMax, own);
}

static _QBCRT_UNUSED void _qbl_link_tsf(struct _qbl_tsf_v1 *tsf)
{
  _qbl_take(&_QBL_STATE.lock);
  if (!tsf->linked) {
    tsf->next = 0;
    if (_QBL_STATE.last)
      _QBL_STATE.last->next = tsf;
    else
      _QBL_STATE.first = tsf;
    _QBL_STATE.last = tsf;
    __atomic_store_n(&tsf->linked, 1, __ATOMIC_RELEASE);
  }
  _qbl_give(&_QBL_STATE.lock);
}

static _QBCRT_UNUSED _qbl_u64 _qbl_take_cell(_qbl_u64 *cell)
{
  return __atomic_exchange_n(cell, 0, __ATOMIC_RELAXED);
}

/* The routines of one file that ran since the previous section; returns
 * their number. */
static _QBCRT_UNUSED unsigned long _qbl_put_stats(struct _qbc_text *text, struct _qbl_tsf_v1 *tsf)
{
  unsigned long c, lines = 0;
  struct _qbl_stat_v1 *s;
  _qbl_u64 values[7];
  int i;
  for (c = 1; c <= tsf->routines; c++) {
    s = &tsf->stats[c];
    if (!__atomic_load_n(&s->calls, __ATOMIC_RELAXED))
      continue;
    values[0] = _qbl_take_cell(&s->calls);
    values[1] = ~_qbl_take_cell(&s->notMin);
    values[2] = _qbl_take_cell(&s->max);
    values[3] = _qbl_take_cell(&s->total);
    values[4] = ~_qbl_take_cell(&s->notOwnMin);
    values[5] = _qbl_take_cell(&s->ownMax);
    values[6] = _qbl_take_cell(&s->own);
    _qbc_put_string(text, "S ");   /* message identifier of counter c */
    _qbl_put_u64(text, (c & 31) | ((c & ~31UL) << 1), 10);
    for (i = 0; i < 7; i++) {
      _qbc_put_string(text, " ");
      _qbl_put_u64(text, values[i], 10);
    }
    _qbc_put(text, "\n", 1);
    lines++;
  }
  return lines;
}

/* Appends one section with the statistics gathered since the previous one
 * in the units `only` (0: all), and unlinks the files of `drop`. */
static _QBCRT_UNUSED void _qbl_write_stats(const char *only, const char *drop)
{
  struct _qbc_text text;
  struct _qbl_tsf_v1 **link, *tsf;
  unsigned long start, lines, total = 0;
  int savedErrno = *_qbc_libc_errno();
  _qbl_open_text(&text, "QBQ_RESULTS", "quorb.qbq");
  _qbc_put_string(&text, "Q ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_getpid(), 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_time(0), 10);
  _qbc_put(&text, "\n", 1);
  _qbl_take(&_QBL_STATE.lock);
  link = &_QBL_STATE.first;
  _QBL_STATE.last = 0;
  while ((tsf = *link) != 0) {
    if (!only || tsf->owner == only) {
      start = text.size;
      _qbc_put_string(&text, "F");
      _qbl_put_file(&text, tsf->key, tsf->checksum);
      _qbc_put_string(&text, tsf->clock == _QBL_CLOCK_PROCESS ? " process\n" : " os\n");
      lines = _qbl_put_stats(&text, tsf);
      if (!lines && text.size >= start)
        text.size = start;
      total += lines;
    }
    if (drop && tsf->owner == drop) {
      __atomic_store_n(&tsf->linked, 0, __ATOMIC_RELEASE);
      *link = tsf->next;
    } else {
      _QBL_STATE.last = tsf;
      link = &tsf->next;
    }
  }
  _qbl_give(&_QBL_STATE.lock);
  _qbl_close_text(&text, total != 0);
  *_qbc_libc_errno() = savedErrno;
}

/* ---- Frames. */

/* Closes the frames above `depth` (they were left by longjmp()). */
static _QBCRT_UNUSED void _qbl_unwind_to(struct _qbl_thread_v1 *th, unsigned long depth)
{
  while (th->depth > depth) {
#ifdef USE_QBT
    _qbl_record(th, 'U', &th->stack[th->depth - 1], th->depth, _qbl_now(_QBL_CLOCK_MONOTONIC));
#endif
    th->depth--;
    _qbl_line_v1 = th->stack[th->depth].callerLine;
  }
}

/* Frames whose stack frame lies below `frame` (deeper) cannot be open any
 * more.  One in the same stack frame is the frame of a caller into which
 * the routine was inlined, unless its local is this very local: then it is
 * a sibling, called before from the same place and left by longjmp(). */
static _QBCRT_UNUSED void _qbl_unwind_below(struct _qbl_thread_v1 *th, const void *frame,
                                            const void *local)
{
  unsigned long depth = th->depth;
  const struct _qbl_entry *top;
  while (depth) {
    top = &th->stack[depth - 1];
    if ((const char *)top->frame > (const char *)frame || (top->frame == frame && top->local != local))
      break;
    depth--;
  }
  _qbl_unwind_to(th, depth);
}

/* Opens the frame of routine `message` of `tsf`; *local keeps its depth
 * (0: not traced, the thread record could not be made). */
static _QBCRT_UNUSED char _qbl_enter(unsigned long *local, const void *frame,
                                     struct _qbl_tsf_v1 *tsf, struct _qbl_stat_v1 *stats,
                                     unsigned long routines, unsigned int message)
{
  struct _qbl_thread_v1 *th = _qbl_self_v1;
  struct _qbl_entry *entry;
  unsigned long counter = (message & 31) | ((message >> 1) & ~31UL);
  *local = 0;
  if (!th && !(th = _qbl_new_thread()))
    return 0;
  _qbl_unwind_below(th, frame, local);
  if (!_qbl_grow((void **)&th->stack, &th->room, th->depth + 1, sizeof *th->stack))
    return 0;
  entry = &th->stack[th->depth++];
  *local = th->depth;
  entry->local = local;
  entry->frame = frame;
  entry->tsf = tsf;
  entry->message = message;
  entry->clock = tsf->clock;
  entry->stat = stats && counter >= 1 && counter <= routines ? &stats[counter] : 0;
  entry->children = 0;
  entry->callerLine = _qbl_line_v1;
  _qbl_line_v1 = 0;
  if (entry->stat && !__atomic_load_n(&tsf->linked, __ATOMIC_ACQUIRE)) {
    tsf->stats = stats;
    tsf->routines = routines;
    _qbl_link_tsf(tsf);
  }
  /* Reading a clock is the dearest step: one reading serves both when the
   * statistics use the trace's monotonic clock. */
  entry->start = entry->stat ? _qbl_now(entry->clock) : 0;
#ifdef USE_QBT
  _qbl_record(th, 'E', entry, th->depth,
              entry->stat && entry->clock == _QBL_CLOCK_MONOTONIC ? entry->start
                                                                  : _qbl_now(_QBL_CLOCK_MONOTONIC));
#endif
  return 0;
}

/* Closes the frame whose local is `local`, with the frames above it; a
 * frame already closed (by a terminating call, or unwound) is left alone. */
static _QBCRT_UNUSED void _qbl_leave(unsigned long *local)
{
  struct _qbl_thread_v1 *th = _qbl_self_v1;
  struct _qbl_entry *entry;
  _qbl_u64 now, total;
  if (!th || !*local || *local > th->depth || th->stack[*local - 1].local != local)
    return;
  _qbl_unwind_to(th, *local);   /* before the time is read: events stay in order */
  entry = &th->stack[*local - 1];
  now = entry->stat ? _qbl_now(entry->clock) : 0;
  if (entry->stat) {
    total = now - entry->start;
    _qbl_count(entry->stat, total, total > entry->children ? total - entry->children : 0);
    if (*local > 1)
      entry[-1].children += total;
  }
#ifdef USE_QBT
  _qbl_record(th, 'X', entry, *local,
              entry->stat && entry->clock == _QBL_CLOCK_MONOTONIC ? now
                                                                  : _qbl_now(_QBL_CLOCK_MONOTONIC));
#endif
  th->depth = *local - 1;
  _qbl_line_v1 = entry->callerLine;
  *local = 0;
}

static _QBCRT_UNUSED int _qbl_dump_trace(void)
{
  struct _qbl_thread_v1 *th = _qbl_self_v1;
  if (!th && !(th = _qbl_new_thread()))
    return 0;
  _qbl_record(th, 'D', 0, th->depth, _qbl_now(_QBL_CLOCK_MONOTONIC));
  _qbl_flush_threads();
  return 0;
}

/* ---- fork(): the child keeps the calling thread's open frames but starts
 * with empty rings and statistics; the other threads are gone. */

static _QBCRT_UNUSED void _qbl_clear_stats(void)
{
  struct _qbl_tsf_v1 *tsf;
  unsigned long c;
  for (tsf = _QBL_STATE.first; tsf; tsf = tsf->next)
    for (c = 0; c <= tsf->routines; c++) {
      struct _qbl_stat_v1 zero = { 0, 0, 0, 0, 0, 0, 0 };
      tsf->stats[c] = zero;
    }
}

static _QBCRT_UNUSED void _qbl_fork_child_stack(void)
{
  struct _qbl_thread_v1 *th;
  for (th = _QBL_STATE.threads; th; th = th->next) {
    th->lock = 0;
    th->recorded = 0;
    if (th != _qbl_self_v1)
      th->ended = 1;
  }
  _qbl_clear_stats();
}

#endif /* QBL_TP_STACK_H_INCLUDED */
