/* Cost of tracing and profiling: a binary call tree of traced routines
 * whose leaves allocate and free a small block, written with the texts
 * that quorbcc1 emits for -TRACE, -PERFPRO and -MEMPRO.  Built once per
 * analysis (ANALYSIS_TRACE, ANALYSIS_PERF, ANALYSIS_MEMORY, all three, or
 * none: then every text expands to nothing, which is the original
 * program); prints nanoseconds per call.  analysis_bench.sh runs every
 * build and prints the ratios to the original. */
#define _POSIX_C_SOURCE 200112L
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#if defined(ANALYSIS_TRACE) || defined(ANALYSIS_ALL)
#define USE_QBT 1
#endif
#if defined(ANALYSIS_MEMORY) || defined(ANALYSIS_ALL)
#define USE_QBP 1
#define _QBP_PARSE_GLOBALS_NEEDED 1
#endif
#if defined(ANALYSIS_PERF) || defined(ANALYSIS_ALL)
#define USE_QBQ 1
#define QBL_OS_CLOCK 1
#define QBL_PROCESS_CLOCK 2
#define QBL_CLOCK_KIND QBL_OS_CLOCK
#endif
#include "TP.h"

_QBL_STACK_DECLARE(1,0xBE7CUL,0x1UL)

_QBQ_DECLARE(1,3)

#define DEPTH 18
#define ROUNDS 8

static volatile unsigned long checksum;

static void leaf(unsigned long x)
{{_QBL_STACK_IN(1,3)_QBQ_IN(1)_QBP_IN(1)_QBT_IN(1){
  unsigned char *block = (_QBP_LINE_OFFSET_EXPR_START(1,1),(malloc(32)));
  block[x & 31] = (unsigned char)x;
  checksum += block[x & 31];
  (_QBP_LINE_OFFSET_EXPR_START(1,4),(free(block)));
 _QBQ_OUT _QBP_LINE_OFFSET(1,5) _QBP_OUT _QBT_OUT _QBL_STACK_OUT}}}

static unsigned long tree(int depth, unsigned long x)
{{_QBL_STACK_IN(1,2)_QBQ_IN(1)_QBP_IN(1)_QBT_IN(1){
  if (depth == 0) {
    (_QBP_LINE_OFFSET_EXPR_START(1,2),(leaf(x)));
    { _QBQ_OUT _QBP_LINE_OFFSET(1,3) _QBP_OUT _QBT_OUT _QBL_STACK_OUT return x;}
  }
  return (((_QBP_LINE_OFFSET_EXPR_START(1,5),(tree(depth - 1, 2 * x)))
           + (_QBP_LINE_OFFSET_EXPR_START(1,5),(tree(depth - 1, 2 * x + 1))))
          _QBL_STACK_OUT_EXPR_END(+_QBT_OUT_EXPR+_QBP_LINE_OFFSET_EXPR(1,5)+_QBP_OUT_EXPR+_QBQ_OUT_EXPR));
}}}

int main(void)
{{_QBL_STACK_IN(1,1)_QBQ_IN(1)_QBP_IN(1)_QBT_IN(1){
  struct timespec start, end;
  unsigned long calls = 0, sum = 0;
  int round;
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (round = 0; round < ROUNDS; round++) {
    sum += (_QBP_LINE_OFFSET_EXPR_START(1,6),(tree(DEPTH, (unsigned long)round)));
    calls += (2UL << DEPTH) - 1 + (1UL << DEPTH);   /* tree routines and leaves */
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  printf("%.2f %lu\n", ((end.tv_sec - start.tv_sec) * 1e9 + (end.tv_nsec - start.tv_nsec)) / calls,
         sum + checksum);
  {_QBL_END_EXEC;{ _QBQ_OUT _QBP_LINE_OFFSET(1,9) _QBP_OUT _QBT_OUT _QBL_STACK_OUT return 0;}}
}}}

_QBP_START_PARSE_GLOBALS
  _QBP_PARSE_GLOBAL(checksum)
_QBP_END_PARSE_GLOBALS
