/* The compilers' own headers with their macros used: stdatomic, stdalign,
 * stdnoreturn, stdbool, stddef, cpuid, and assert's static_assert.
 * compilers: gcc clang
 * standards: c11 gnu11 c2x gnu2x
 */
#include <assert.h>
#include <cpuid.h>
#include <stdalign.h>
#include <stdatomic.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <stdnoreturn.h>

static_assert(sizeof(int) >= 2, "int too small");

static atomic_int counter;
static atomic_flag lock = ATOMIC_FLAG_INIT;
static _Atomic(unsigned long) total = 5;
alignas(16) static unsigned char buffer[32];

noreturn static void finish(int status) { exit(status); }

static bool add(int step) {
  while (atomic_flag_test_and_set_explicit(&lock, memory_order_acquire)) {
  }
  int before = atomic_fetch_add(&counter, step);
  atomic_fetch_add_explicit(&total, (unsigned long)step, memory_order_relaxed);
  int expected = before + step;
  bool swapped = atomic_compare_exchange_strong(&counter, &expected, expected * 2);
  atomic_flag_clear_explicit(&lock, memory_order_release);
  return swapped;
}

int main(void) {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  int has_leaf = __get_cpuid(0, &eax, &ebx, &ecx, &edx);
  bool a = add(3), b = add(4);
  printf("%d %d %d %lu\n", a, b, atomic_load(&counter), (unsigned long)atomic_load(&total));
  printf("%d %d %d\n", has_leaf, (int)alignof(max_align_t) >= 8, (int)((unsigned long)buffer % 16));
  finish(atomic_load(&counter) == 20 ? 0 : 1);
}
