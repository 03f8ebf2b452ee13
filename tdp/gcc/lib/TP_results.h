/*
 * TP_results.h - the text of a results section, shared by the runtime ports.
 *
 * The port defines or declares before including it: the kinds _QBCRT_PROC,
 * _QBCRT_CALL, _QBCRT_BLOC, _QBCRT_COND and their number _QBCRT_KINDS;
 * _QBCRT_FDC, its descriptor type (fields key, checksum, mode, count[],
 * table[]); struct _qbc_text and _qbc_put(text, bytes, n), which collects
 * the section.  A port whose cells cannot be exchanged atomically defines
 * _qbc_read_cell and _QBCRT_OWN_READ_CELL.
 */
#ifndef QBL_TP_RESULTS_H_INCLUDED
#define QBL_TP_RESULTS_H_INCLUDED

#ifndef _QBCRT_OWN_READ_CELL
/* Value of one cell (a byte of 8 cells in bit mode), reset when taken. */
static _QBCRT_COLD unsigned long _qbc_read_cell(void *tab, int mode, unsigned long i, int take)
{
  if (mode == 2)
    return take ? __atomic_exchange_n((unsigned int *)tab + i, 0U, __ATOMIC_RELAXED)
                : __atomic_load_n((unsigned int *)tab + i, __ATOMIC_RELAXED);
  return take ? __atomic_exchange_n((unsigned char *)tab + i, (unsigned char)0, __ATOMIC_RELAXED)
              : __atomic_load_n((unsigned char *)tab + i, __ATOMIC_RELAXED);
}
#endif

/* Bytes of the cells of one kind of a descriptor. */
static _QBCRT_COLD unsigned long _qbc_table_bytes(_QBCRT_FDC *fdc, int kind)
{
  unsigned long n = fdc->count[kind];
  if (fdc->mode == 1)
    return (n + 7) / 8;
  return fdc->mode == 2 ? n * sizeof(unsigned int) : n;
}

/* Character by character: a length loop would become a call of strlen(),
 * which a bare-metal program need not have. */
static _QBCRT_COLD void _qbc_put_string(struct _qbc_text *text, const char *s)
{
  for (; *s; s++)
    _qbc_put(text, s, 1);
}

static _QBCRT_COLD void _qbc_put_number(struct _qbc_text *text, unsigned long value, unsigned base)
{
  char digits[3 * sizeof value];
  unsigned long n = sizeof digits;
  do {
    digits[--n] = "0123456789ABCDEF"[value % base];
    value /= base;
  } while (value);
  _qbc_put(text, digits + n, sizeof digits - n);
}

static _QBCRT_COLD void _qbc_put_cell(struct _qbc_text *text, char kind, unsigned long i,
                                        unsigned long value)
{
  char head[2];
  head[0] = kind;
  head[1] = ' ';
  _qbc_put(text, head, 2);
  _qbc_put_number(text, i, 10);
  _qbc_put(text, " ", 1);
  _qbc_put_number(text, value, 10);
  _qbc_put(text, "\n", 1);
}

/* "F 0x<KEY> 0x<CHECKSUM>", the line that opens a descriptor's group. */
static _QBCRT_COLD void _qbc_put_group_head(struct _qbc_text *text, _QBCRT_FDC *fdc)
{
  _qbc_put_string(text, "F 0x");
  _qbc_put_number(text, fdc->key, 16);
  _qbc_put_string(text, " 0x");
  _qbc_put_number(text, fdc->checksum, 16);
  _qbc_put(text, "\n", 1);
}

/* The lines of the branches of one kind that ran; returns their number. */
static _QBCRT_COLD unsigned long _qbc_put_kind(struct _qbc_text *text, _QBCRT_FDC *fdc,
                                                 int kind, int take)
{
  static const char kinds[_QBCRT_KINDS] = { 'P', 'C', 'B', 'K' };
  unsigned long i, bit, value, lines = 0;
  for (i = 0; i < fdc->count[kind]; i++) {
    if (fdc->mode != 1) {
      value = _qbc_read_cell(fdc->table[kind], fdc->mode, i, take);
      if (value)
        _qbc_put_cell(text, kinds[kind], i, fdc->mode == 2 ? value : 1), lines++;
      continue;
    }
    value = _qbc_read_cell(fdc->table[kind], 1, i / 8, take);
    for (bit = 0; bit < 8 && i + bit < fdc->count[kind]; bit++)
      if (value >> bit & 1U)
        _qbc_put_cell(text, kinds[kind], i + bit, 1), lines++;
    i += 7;
  }
  return lines;
}

#endif /* QBL_TP_RESULTS_H_INCLUDED */
