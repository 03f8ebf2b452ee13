/* Pragmas that gcc keeps in its output, as lines and from _Pragma.
 * compilers: gcc clang
 * standards: gnu89 gnu11 c2x
 * flags: -fopenmp-simd
 */
#include <stdio.h>

#pragma pack(push, 1)
struct packed { char c; int i; };
#pragma pack(pop)

#define NO_WARN_UNUSED _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wunused-variable\"")
#define WARN_AGAIN _Pragma("GCC diagnostic pop")

static int sum(const int *a, int n) {
  int total = 0;
  int i;
#pragma omp simd reduction(+:total)
  for (i = 0; i < n; i++) total += a[i];
  return total;
}

int main(void) {
  int values[4] = { 1, 2, 3, 4 };
  NO_WARN_UNUSED
  int quiet;
  WARN_AGAIN
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-value"
  printf("%d %d\n", (int)sizeof(struct packed), sum(values, 4));
#pragma GCC diagnostic pop
  return 0;
}
