/*
 * TP_heap.h - memory profiling of the quorbcc1 runtime (USE_QBP).
 *
 * The program's allocator is interposed: malloc, calloc, realloc, free and
 * the aligned allocation functions are defined here as weak symbols that
 * call the C library's own (__libc_malloc and its siblings).  Defined in the
 * program, they also receive the calls the C library makes itself (strdup,
 * stdio buffers), so every block of the heap is known and a block that the
 * library allocated may be freed by the program without a report.
 *
 * Every block is kept in an open-addressing table by address, with its size
 * and its site: the routine open in the thread when it was allocated (the
 * innermost traced one) and the line offset last set there.  Freed blocks
 * stay in the table as freed until their address is allocated again, so a
 * second free is told from the free of a pointer that was never allocated.
 * Neither kind of bad free reaches the C library: it is reported and
 * ignored.
 *
 * At the process's end, blocks are leaks when nothing reaches them from the
 * roots: the registered globals of the instrumented units (the parse-globals
 * trailer and the deep globals, static locals that have run), and the C
 * library's own data (which holds stdio buffers and the like).  Reached
 * blocks are scanned in turn, word by word; a word pointing anywhere into a
 * block reaches it.  Only blocks allocated inside a traced routine are
 * reported: the others cannot be attributed.
 */
#ifndef QBL_TP_HEAP_H_INCLUDED
#define QBL_TP_HEAP_H_INCLUDED

/* A sanitizer replaces the allocator as well, and the two cannot share it. */
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define _QBP_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define _QBP_SANITIZED 1
#endif
#endif
#ifdef _QBP_SANITIZED
#error "memory profiling (-MEMPRO) replaces the allocator, as this sanitizer does: build without one of them"
#endif

extern void *_qbp_libc_malloc(__SIZE_TYPE__) __asm__("__libc_malloc");
extern void *_qbp_libc_calloc(__SIZE_TYPE__, __SIZE_TYPE__) __asm__("__libc_calloc");
extern void *_qbp_libc_realloc(void *, __SIZE_TYPE__) __asm__("__libc_realloc");
extern void _qbp_libc_free(void *) __asm__("__libc_free");
extern void *_qbp_libc_memalign(__SIZE_TYPE__, __SIZE_TYPE__) __asm__("__libc_memalign");
extern void *_qbp_libc_valloc(__SIZE_TYPE__) __asm__("__libc_valloc");
extern void *_qbp_libc_pvalloc(__SIZE_TYPE__) __asm__("__libc_pvalloc");

enum { _QBP_EMPTY, _QBP_LIVE, _QBP_FREED };

struct _qbp_block {
  __UINTPTR_TYPE__ address;
  __SIZE_TYPE__ size;
  unsigned int site;                  /* index in the site table */
  int state;                          /* _QBP_EMPTY, _QBP_LIVE, _QBP_FREED */
};

/* Where blocks were allocated; site 0 is "outside any traced routine". */
struct _qbp_site {
  unsigned int key, checksum, message, line;
  _qbl_u64 blocks, bytes, freedBlocks, freedBytes;  /* since the last section */
};

struct _qbp_bad {
  unsigned int site;                  /* of the routine that freed */
  int kind;                           /* 'D' freed twice, 'N' never allocated */
  __UINTPTR_TYPE__ address;
};

/* The registered globals of one unit: `scan` hands each to _qbp_root(). */
struct _qbp_roots_v1 {
  void (*scan)(void);
  const char *owner;
  struct _qbp_roots_v1 *next;
};

/* ---- Tables, under heapLock. */

static _QBCRT_UNUSED unsigned long _qbp_hash(__UINTPTR_TYPE__ address, unsigned long room)
{
  unsigned long h = (unsigned long)(address >> 4);
  h ^= h >> 16;
  h *= 2654435761UL;
  return (h ^ h >> 13) & (room - 1);
}

static _QBCRT_UNUSED struct _qbp_block *_qbp_slot(struct _qbp_block *table, unsigned long room,
                                                  __UINTPTR_TYPE__ address)
{
  unsigned long i = _qbp_hash(address, room);
  while (table[i].state != _QBP_EMPTY && table[i].address != address)
    i = (i + 1) & (room - 1);
  return &table[i];
}

static _QBCRT_UNUSED void _qbp_broken(void)
{
  static const char text[] = "quorb runtime: no memory left for memory profiling\n";
  if (!_QBL_STATE.heapBroken)
    _qbc_libc_write(2, text, sizeof text - 1);
  _QBL_STATE.heapBroken = 1;
}

/* Keeps the table at most half full. */
static _QBCRT_UNUSED int _qbp_make_room(void)
{
  unsigned long room = _QBL_STATE.blockRoom ? 2 * _QBL_STATE.blockRoom : 4096, i;
  struct _qbp_block *table, *old = _QBL_STATE.blocks;
  if (2 * (_QBL_STATE.blockUsed + 1) <= _QBL_STATE.blockRoom)
    return 1;
  table = (struct _qbp_block *)_qbl_libc_calloc(room, sizeof *table);
  if (!table)
    return 0;
  for (i = 0; i < _QBL_STATE.blockRoom; i++)
    if (old[i].state != _QBP_EMPTY)
      *_qbp_slot(table, room, old[i].address) = old[i];
  _qbl_libc_free(old);
  _QBL_STATE.blocks = table;
  _QBL_STATE.blockRoom = room;
  return 1;
}

/* Site of the calling thread's innermost traced routine and line offset.
 * Sites are few: a linear search from the most recent is enough. */
static _QBCRT_UNUSED unsigned int _qbp_current_site(void)
{
  struct _qbl_thread_v1 *th = _qbl_self_v1;
  const struct _qbl_entry *entry;
  struct _qbp_site *site;
  unsigned long i;
  if (!th || !th->depth)
    return 0;
  entry = &th->stack[th->depth - 1];
  for (i = _QBL_STATE.siteUsed; i-- > 1;) {
    site = &_QBL_STATE.sites[i];
    if (site->message == entry->message && site->line == _qbl_line_v1 &&
        site->key == entry->tsf->key && site->checksum == entry->tsf->checksum)
      return (unsigned int)i;
  }
  if (!_qbl_grow((void **)&_QBL_STATE.sites, &_QBL_STATE.siteRoom,
                 (_QBL_STATE.siteUsed ? _QBL_STATE.siteUsed : 1) + 1, sizeof *site))
    return 0;
  if (!_QBL_STATE.siteUsed) {
    struct _qbp_site none = { 0, 0, 0, 0, 0, 0, 0, 0 };
    _QBL_STATE.sites[0] = none;
    _QBL_STATE.siteUsed = 1;
  }
  site = &_QBL_STATE.sites[_QBL_STATE.siteUsed];
  site->key = entry->tsf->key;
  site->checksum = entry->tsf->checksum;
  site->message = entry->message;
  site->line = _qbl_line_v1;
  site->blocks = site->bytes = site->freedBlocks = site->freedBytes = 0;
  return (unsigned int)_QBL_STATE.siteUsed++;
}

/* The dynamic linker's own blocks (the TLS vectors of threads, the maps of
 * loaded libraries) hang from thread control blocks and the linker's data,
 * where the leak scan does not look: they are never given a site.  Its
 * extent comes from its program headers, mapped at its base, which is
 * found without a lock (the linker may hold its own while it allocates). */
extern unsigned long _qbp_libc_getauxval(unsigned long) __asm__("getauxval");
static __UINTPTR_TYPE__ _qbp_loader_start, _qbp_loader_end;
static int _qbp_loader_known;

/* An ELF program header, as loaded objects carry them. */
#if __SIZEOF_POINTER__ == 8
struct _qbp_phdr { unsigned int type, flags; _qbl_u64 offset, vaddr, paddr, filesz, memsz, align; };
#define _QBP_PHDR_OFFSET(elf) (*(const _qbl_u64 *)((elf) + 0x20))
#define _QBP_PHDR_COUNT(elf) (*(const unsigned short *)((elf) + 0x38))
#else
struct _qbp_phdr { unsigned int type, offset, vaddr, paddr, filesz, memsz, flags, align; };
#define _QBP_PHDR_OFFSET(elf) (*(const unsigned int *)((elf) + 0x1C))
#define _QBP_PHDR_COUNT(elf) (*(const unsigned short *)((elf) + 0x2C))
#endif
#define _QBP_PT_LOAD 1

static _QBCRT_UNUSED void _qbp_find_loader(void)
{
  const unsigned char *base = (const unsigned char *)_qbp_libc_getauxval(7); /* AT_BASE */
  __UINTPTR_TYPE__ start = ~(__UINTPTR_TYPE__)0, end = 0;
  unsigned short i;
  if (base) {
    const struct _qbp_phdr *h = (const void *)(base + _QBP_PHDR_OFFSET(base));
    for (i = 0; i < _QBP_PHDR_COUNT(base); i++) {
      if (h[i].type != _QBP_PT_LOAD)
        continue;
      if ((__UINTPTR_TYPE__)base + h[i].vaddr < start)
        start = (__UINTPTR_TYPE__)base + (__UINTPTR_TYPE__)h[i].vaddr;
      if ((__UINTPTR_TYPE__)base + h[i].vaddr + h[i].memsz > end)
        end = (__UINTPTR_TYPE__)base + (__UINTPTR_TYPE__)(h[i].vaddr + h[i].memsz);
    }
  }
  _qbp_loader_start = end ? start : 0;
  _qbp_loader_end = end;
  __atomic_store_n(&_qbp_loader_known, 1, __ATOMIC_RELEASE);
}

static _QBCRT_UNUSED int _qbp_from_loader(const void *caller)
{
  if (!__atomic_load_n(&_qbp_loader_known, __ATOMIC_ACQUIRE))
    _qbp_find_loader();
  return (__UINTPTR_TYPE__)caller >= _qbp_loader_start && (__UINTPTR_TYPE__)caller < _qbp_loader_end;
}

static _QBCRT_UNUSED void _qbp_allocated(void *p, __SIZE_TYPE__ size, const void *caller)
{
  struct _qbp_block *block;
  unsigned int site;
  if (!p)
    return;
  _qbl_take(&_QBL_STATE.heapLock);
  if (!_QBL_STATE.heapBroken) {
    site = _qbp_from_loader(caller) ? 0 : _qbp_current_site();
    if (!_qbp_make_room()) {
      _qbp_broken();
    } else {
      block = _qbp_slot(_QBL_STATE.blocks, _QBL_STATE.blockRoom, (__UINTPTR_TYPE__)p);
      if (block->state == _QBP_EMPTY)
        _QBL_STATE.blockUsed++;
      block->address = (__UINTPTR_TYPE__)p;
      block->size = size;
      block->site = site;
      block->state = _QBP_LIVE;
      if (site) {
        _QBL_STATE.sites[site].blocks++;
        _QBL_STATE.sites[site].bytes += size;
      }
    }
  }
  _qbl_give(&_QBL_STATE.heapLock);
}

static _QBCRT_UNUSED void _qbp_note_bad(int kind, __UINTPTR_TYPE__ address)
{
  struct _qbp_bad *bad;
  unsigned long room = _QBL_STATE.badUsed;
  if (_QBL_STATE.badUsed >= 4096 ||
      !_qbl_grow((void **)&_QBL_STATE.bad, &room, _QBL_STATE.badUsed + 1, sizeof *bad)) {
    _QBL_STATE.badDropped++;
    return;
  }
  bad = &_QBL_STATE.bad[_QBL_STATE.badUsed++];
  bad->site = _qbp_current_site();
  bad->kind = kind;
  bad->address = address;
}

/* Takes block p out of the heap; 0 (after a report) when p is not a live
 * block.  Once profiling broke, unknown blocks are let through. */
static _QBCRT_UNUSED int _qbp_release(void *p)
{
  struct _qbp_block *block = 0;
  int known = 0;
  _qbl_take(&_QBL_STATE.heapLock);
  if (_QBL_STATE.blockRoom)
    block = _qbp_slot(_QBL_STATE.blocks, _QBL_STATE.blockRoom, (__UINTPTR_TYPE__)p);
  if (block && block->state == _QBP_LIVE) {
    block->state = _QBP_FREED;
    if (block->site) {
      _QBL_STATE.sites[block->site].freedBlocks++;
      _QBL_STATE.sites[block->site].freedBytes += block->size;
    }
    known = 1;
  } else if (_QBL_STATE.heapBroken) {
    known = 1;
  } else {
    _qbp_note_bad(block && block->state == _QBP_FREED ? 'D' : 'N', (__UINTPTR_TYPE__)p);
  }
  _qbl_give(&_QBL_STATE.heapLock);
  return known;
}

/* ---- The interposed allocator. */

void *_qbp_malloc(__SIZE_TYPE__) __asm__("malloc") __attribute__((__weak__));
void *_qbp_calloc(__SIZE_TYPE__, __SIZE_TYPE__) __asm__("calloc") __attribute__((__weak__));
void *_qbp_realloc(void *, __SIZE_TYPE__) __asm__("realloc") __attribute__((__weak__));
void _qbp_free(void *) __asm__("free") __attribute__((__weak__));
void *_qbp_memalign(__SIZE_TYPE__, __SIZE_TYPE__) __asm__("memalign") __attribute__((__weak__));
void *_qbp_aligned_alloc(__SIZE_TYPE__, __SIZE_TYPE__) __asm__("aligned_alloc")
  __attribute__((__weak__));
int _qbp_posix_memalign(void **, __SIZE_TYPE__, __SIZE_TYPE__) __asm__("posix_memalign")
  __attribute__((__weak__));
void *_qbp_valloc(__SIZE_TYPE__) __asm__("valloc") __attribute__((__weak__));
void *_qbp_pvalloc(__SIZE_TYPE__) __asm__("pvalloc") __attribute__((__weak__));

/* Each entry point passes on its caller, so blocks of the dynamic linker
 * are told apart. */
static _QBCRT_UNUSED void *_qbp_allocate(__SIZE_TYPE__ size, const void *caller)
{
  void *p = _qbp_libc_malloc(size);
  _qbp_allocated(p, size, caller);
  return p;
}

static _QBCRT_UNUSED void *_qbp_allocate_aligned(__SIZE_TYPE__ alignment, __SIZE_TYPE__ size, const void *caller)
{
  void *p = _qbp_libc_memalign(alignment, size);
  _qbp_allocated(p, size, caller);
  return p;
}

void *_qbp_malloc(__SIZE_TYPE__ size)
{
  return _qbp_allocate(size, __builtin_return_address(0));
}

void *_qbp_calloc(__SIZE_TYPE__ count, __SIZE_TYPE__ size)
{
  void *p = _qbp_libc_calloc(count, size);
  _qbp_allocated(p, count * size, __builtin_return_address(0));
  return p;
}

void *_qbp_realloc(void *p, __SIZE_TYPE__ size)
{
  const void *caller = __builtin_return_address(0);
  void *q;
  if (!p)
    return _qbp_allocate(size, caller);
  if (!_qbp_release(p))
    return 0;
  q = _qbp_libc_realloc(p, size);
  if (q)
    _qbp_allocated(q, size, caller);
  else if (size)
    _qbp_allocated(p, size, caller);  /* failed: p is still the program's */
  return q;
}

void _qbp_free(void *p)
{
  if (p && _qbp_release(p))
    _qbp_libc_free(p);
}

void *_qbp_memalign(__SIZE_TYPE__ alignment, __SIZE_TYPE__ size)
{
  return _qbp_allocate_aligned(alignment, size, __builtin_return_address(0));
}

void *_qbp_aligned_alloc(__SIZE_TYPE__ alignment, __SIZE_TYPE__ size)
{
  return _qbp_allocate_aligned(alignment, size, __builtin_return_address(0));
}

int _qbp_posix_memalign(void **out, __SIZE_TYPE__ alignment, __SIZE_TYPE__ size)
{
  void *p;
  if (!alignment || (alignment & (alignment - 1)) || alignment % sizeof(void *))
    return 22; /* EINVAL */
  p = _qbp_allocate_aligned(alignment, size, __builtin_return_address(0));
  if (!p)
    return 12; /* ENOMEM */
  *out = p;
  return 0;
}

void *_qbp_valloc(__SIZE_TYPE__ size)
{
  void *p = _qbp_libc_valloc(size);
  _qbp_allocated(p, size, __builtin_return_address(0));
  return p;
}

void *_qbp_pvalloc(__SIZE_TYPE__ size)
{
  void *p = _qbp_libc_pvalloc(size);
  _qbp_allocated(p, size, __builtin_return_address(0));
  return p;
}

/* ---- Roots and leaks. */

struct _qbp_range { __UINTPTR_TYPE__ *from, *to; };

/* Adds the words of `size` bytes at `address` to the ranges to scan. */
static _QBCRT_UNUSED void _qbp_root(const volatile void *address, unsigned long size)
{
  __UINTPTR_TYPE__ from = ((__UINTPTR_TYPE__)address + sizeof(void *) - 1) & ~(sizeof(void *) - 1);
  __UINTPTR_TYPE__ to = ((__UINTPTR_TYPE__)address + size) & ~(sizeof(void *) - 1);
  if (to <= from || !_qbl_grow((void **)&_QBL_STATE.ranges, &_QBL_STATE.rangeRoom, _QBL_STATE.rangeUsed + 1,
                               sizeof *_QBL_STATE.ranges))
    return;
  _QBL_STATE.ranges[_QBL_STATE.rangeUsed].from = (__UINTPTR_TYPE__ *)from;
  _QBL_STATE.ranges[_QBL_STATE.rangeUsed++].to = (__UINTPTR_TYPE__ *)to;
}

/* Deep globals: n slots, each the address and size of a static local that
 * has run (0 until then). */
struct _qbp_deep { const volatile void *address; unsigned long size; };

static _QBCRT_UNUSED void _qbp_root_deep(const struct _qbp_deep *deep, unsigned long n)
{
  unsigned long i;
  for (i = 0; i < n; i++)
    if (__atomic_load_n(&deep[i].address, __ATOMIC_ACQUIRE))
      _qbp_root(deep[i].address, deep[i].size);
}

/* The C library's writable data, as the dynamic linker describes it. */
struct _qbp_dl_info {
  __UINTPTR_TYPE__ base;
  const char *name;
  const void *headers;
  unsigned short count;
};
extern int _qbp_libc_dl_iterate_phdr(int (*)(struct _qbp_dl_info *, __SIZE_TYPE__, void *), void *)
  __asm__("dl_iterate_phdr");

static _QBCRT_UNUSED int _qbp_root_library(struct _qbp_dl_info *info, __SIZE_TYPE__ size, void *none)
{
  const char *s = info->name;
  unsigned short i;
  (void)size;
  (void)none;
  while (s && *s && !(s[0] == 'l' && s[1] == 'i' && s[2] == 'b' && s[3] == 'c' && s[4] == '.'))
    s++;
  if (!s || !*s)
    return 0;
  for (i = 0; i < info->count; i++) {
    const struct _qbp_phdr *h = (const struct _qbp_phdr *)info->headers + i;
    if (h->type == _QBP_PT_LOAD && (h->flags & 2)) /* PF_W */
      _qbp_root((const void *)(info->base + (__UINTPTR_TYPE__)h->vaddr), (unsigned long)h->memsz);
  }
  return 0;
}

/* Live blocks in address order, for the search of the block a word points
 * into: *sorted holds them, *base is the memory to free. */
static _QBCRT_UNUSED int _qbp_sort_blocks(struct _qbp_block ***sorted, void **base, unsigned long *n)
{
  unsigned long i, used = 0, width, lo, mid, hi, k, o;
  struct _qbp_block **a, **b, **t;
  for (i = 0; i < _QBL_STATE.blockRoom; i++)
    if (_QBL_STATE.blocks[i].state == _QBP_LIVE)
      used++;
  a = (struct _qbp_block **)_qbl_libc_calloc(used + 1, 2 * sizeof *a);
  if (!a)
    return 0;
  *base = a;
  b = a + used + 1;
  for (i = 0, k = 0; i < _QBL_STATE.blockRoom; i++)
    if (_QBL_STATE.blocks[i].state == _QBP_LIVE)
      a[k++] = &_QBL_STATE.blocks[i];
  for (width = 1; width < used; width *= 2) {   /* bottom-up merge sort */
    for (lo = 0; lo < used; lo += 2 * width) {
      mid = lo + width < used ? lo + width : used;
      hi = lo + 2 * width < used ? lo + 2 * width : used;
      for (i = lo, k = mid, o = lo; o < hi; o++)
        b[o] = k >= hi || (i < mid && a[i]->address < a[k]->address) ? a[i++] : a[k++];
    }
    t = a, a = b, b = t;
  }
  *sorted = a;
  *n = used;
  return 1;
}

static _QBCRT_UNUSED struct _qbp_block *_qbp_find(struct _qbp_block **sorted, unsigned long n,
                                                  __UINTPTR_TYPE__ word)
{
  unsigned long lo = 0, hi = n, mid;
  while (lo < hi) {
    mid = lo + (hi - lo) / 2;
    if (sorted[mid]->address <= word)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (!lo || word >= sorted[lo - 1]->address + (sorted[lo - 1]->size ? sorted[lo - 1]->size : 1))
    return 0;
  return sorted[lo - 1];
}

/* Marks (state | 4) every live block reached from the roots. */
static _QBCRT_UNUSED void _qbp_mark(struct _qbp_block **sorted, unsigned long n)
{
  unsigned long r;
  __UINTPTR_TYPE__ *w;
  struct _qbp_block *block;
  for (r = 0; r < _QBL_STATE.rangeUsed; r++)   /* the ranges grow as blocks are reached */
    for (w = _QBL_STATE.ranges[r].from; w < _QBL_STATE.ranges[r].to; w++) {
      block = _qbp_find(sorted, n, *w);
      if (block && block->state == _QBP_LIVE) {
        block->state |= 4;
        _qbp_root((const void *)block->address, (unsigned long)block->size);
      }
    }
}

static _QBCRT_UNUSED void _qbp_put_site(struct _qbc_text *text, char kind, unsigned int site)
{
  static const struct _qbp_site outside = { 0, 0, 0, 0, 0, 0, 0, 0 };
  const struct _qbp_site *s = site ? &_QBL_STATE.sites[site] : &outside;
  char head[2];
  head[0] = kind;
  head[1] = 0;
  _qbc_put_string(text, head);
  _qbl_put_file(text, s->key, s->checksum);
  _qbc_put_string(text, " ");
  _qbl_put_u64(text, s->message, 10);
  _qbc_put_string(text, " ");
  _qbl_put_u64(text, s->line, 10);
}

/* Under heapLock: the leak lines, after a scan from the roots gathered. */
static _QBCRT_UNUSED unsigned long _qbp_put_leaks(struct _qbc_text *text)
{
  struct _qbp_block **sorted;
  void *base;
  unsigned long n, i, lines = 0;
  if (!_QBL_STATE.siteUsed || !_qbp_sort_blocks(&sorted, &base, &n))
    return 0;
  _qbp_mark(sorted, n);
  for (i = 0; i < n; i++) {
    if (sorted[i]->state == _QBP_LIVE && sorted[i]->site) {
      _qbp_put_site(text, 'L', sorted[i]->site);
      _qbc_put_string(text, " ");
      _qbl_put_u64(text, sorted[i]->size, 10);
      _qbc_put_string(text, " 0x");
      _qbl_put_u64(text, sorted[i]->address, 16);
      _qbc_put(text, "\n", 1);
      lines++;
    }
    sorted[i]->state &= 3;
  }
  _qbl_libc_free(base);
  return lines;
}

/* Appends one section: per site the blocks allocated and freed since the
 * previous section, the bad frees, and at the end (`leaks`) the leaks. */
static _QBCRT_UNUSED void _qbp_write_section(int leaks)
{
  struct _qbc_text text;
  struct _qbp_site *s;
  unsigned long i, lines = 0;
  int savedErrno = *_qbc_libc_errno();
  struct _qbp_roots_v1 *roots;
  if (leaks) {   /* the roots, outside the heap lock (dl_iterate_phdr takes the loader's) */
    _QBL_STATE.rangeUsed = 0;
    _qbl_take(&_QBL_STATE.heapLock);
    for (roots = _QBL_STATE.roots; roots; roots = roots->next)
      roots->scan();
    _qbl_give(&_QBL_STATE.heapLock);
    _qbp_libc_dl_iterate_phdr(_qbp_root_library, 0);
  }
  _qbl_open_text(&text, "QBP_RESULTS", "quorb.qbp");
  _qbc_put_string(&text, "H ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_getpid(), 10);
  _qbc_put_string(&text, " ");
  _qbl_put_u64(&text, (_qbl_u64)_qbc_libc_time(0), 10);
  _qbc_put(&text, "\n", 1);
  _qbl_take(&_QBL_STATE.heapLock);
  for (i = 1; i < _QBL_STATE.siteUsed; i++) {
    s = &_QBL_STATE.sites[i];
    if (!s->blocks && !s->freedBlocks)
      continue;
    _qbp_put_site(&text, 'A', (unsigned int)i);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, s->blocks, 10);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, s->bytes, 10);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, s->freedBlocks, 10);
    _qbc_put_string(&text, " ");
    _qbl_put_u64(&text, s->freedBytes, 10);
    _qbc_put(&text, "\n", 1);
    s->blocks = s->bytes = s->freedBlocks = s->freedBytes = 0;
    lines++;
  }
  for (i = 0; i < _QBL_STATE.badUsed; i++, lines++) {
    _qbp_put_site(&text, (char)_QBL_STATE.bad[i].kind, _QBL_STATE.bad[i].site);
    _qbc_put_string(&text, " 0x");
    _qbl_put_u64(&text, _QBL_STATE.bad[i].address, 16);
    _qbc_put(&text, "\n", 1);
  }
  if (_QBL_STATE.badDropped) {
    _qbc_put_string(&text, "B ");
    _qbl_put_u64(&text, _QBL_STATE.badDropped, 10);
    _qbc_put(&text, "\n", 1);
    lines++;
  }
  _QBL_STATE.badUsed = _QBL_STATE.badDropped = 0;
  if (leaks && !_QBL_STATE.heapBroken)
    lines += _qbp_put_leaks(&text);
  _qbl_give(&_QBL_STATE.heapLock);
  _qbl_libc_free(_QBL_STATE.ranges);
  _QBL_STATE.ranges = 0;
  _QBL_STATE.rangeUsed = _QBL_STATE.rangeRoom = 0;
  _qbl_close_text(&text, lines != 0);
  *_qbc_libc_errno() = savedErrno;
}

static _QBCRT_UNUSED void _qbp_link_roots(struct _qbp_roots_v1 *roots)
{
  _qbl_take(&_QBL_STATE.heapLock);
  roots->next = _QBL_STATE.roots;
  _QBL_STATE.roots = roots;
  _qbl_give(&_QBL_STATE.heapLock);
}

static _QBCRT_UNUSED void _qbp_unlink_roots(const char *owner)
{
  struct _qbp_roots_v1 **link = &_QBL_STATE.roots;
  _qbl_take(&_QBL_STATE.heapLock);
  while (*link)
    if ((*link)->owner == owner)
      *link = (*link)->next;
    else
      link = &(*link)->next;
  _qbl_give(&_QBL_STATE.heapLock);
}

/* The child of fork() keeps the heap it inherited, with fresh counts. */
static _QBCRT_UNUSED void _qbp_fork_child(void)
{
  unsigned long i;
  for (i = 1; i < _QBL_STATE.siteUsed; i++)
    _QBL_STATE.sites[i].blocks = _QBL_STATE.sites[i].bytes = _QBL_STATE.sites[i].freedBlocks =
      _QBL_STATE.sites[i].freedBytes = 0;
  _QBL_STATE.badUsed = _QBL_STATE.badDropped = 0;
  _QBL_STATE.heapLock = 0;
}

#endif /* QBL_TP_HEAP_H_INCLUDED */
