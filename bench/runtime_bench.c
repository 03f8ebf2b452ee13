/* Cost of the runtime's -COUNT marks (atomic saturating increments, TP.h)
 * against the plain saturating increments they replace, on one thread and
 * on four threads hitting the same cells.  Prints nanoseconds per mark and
 * the ratio; with four threads also how many plain increments were lost. */
#define _POSIX_C_SOURCE 200112L
#include <pthread.h>
#include <stdio.h>
#include <time.h>

#define QBC_INFORMATION 2
#include "TP.h"

#define CELLS 64
#define MARKS 20000000UL
#define THREADS 4

static unsigned int cells[CELLS];

#define PLAIN_MARK(tab, n) ((void)((tab)[n] != 0xFFFFFFFFU && ++(tab)[n]))

/* The barrier keeps the compiler from merging or hoisting the updates. */
static void *mark_plain(void *arg)
{
  unsigned long i, marks = *(unsigned long *)arg;
  for (i = 0; i < marks; i++) {
    PLAIN_MARK(cells, i % CELLS);
    __asm__ volatile("" ::: "memory");
  }
  return 0;
}

static void *mark_atomic(void *arg)
{
  unsigned long i, marks = *(unsigned long *)arg;
  for (i = 0; i < marks; i++) {
    _QBCRT_MARK(cells, i % CELLS);
    __asm__ volatile("" ::: "memory");
  }
  return 0;
}

static double now(void)
{
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

/* Nanoseconds per mark with `threads` threads sharing MARKS marks; `kept`
 * receives the sum of the cells afterwards. */
static double run(void *(*body)(void *), int threads, unsigned long *kept)
{
  pthread_t ids[THREADS];
  unsigned long share = MARKS / threads, sum = 0;
  double start;
  int t;
  for (t = 0; t < CELLS; t++)
    cells[t] = 0;
  start = now();
  for (t = 0; t < threads; t++)
    pthread_create(&ids[t], 0, body, &share);
  for (t = 0; t < threads; t++)
    pthread_join(ids[t], 0);
  for (t = 0; t < CELLS; t++)
    sum += cells[t];
  *kept = sum;
  return (now() - start) * 1e9 / MARKS;
}

int main(void)
{
  unsigned long plainKept, atomicKept;
  double plain = run(mark_plain, 1, &plainKept);
  double atomic = run(mark_atomic, 1, &atomicKept);
  printf("1 thread:  plain %.2f ns/mark, atomic %.2f ns/mark, ratio %.2f\n", plain, atomic, atomic / plain);
  plain = run(mark_plain, THREADS, &plainKept);
  atomic = run(mark_atomic, THREADS, &atomicKept);
  printf("%d threads: plain %.2f ns/mark (%lu of %lu counted), atomic %.2f ns/mark (%lu counted), ratio %.2f\n",
         THREADS, plain, plainKept, MARKS, atomic, atomicKept, atomic / plain);
  return 0;
}
