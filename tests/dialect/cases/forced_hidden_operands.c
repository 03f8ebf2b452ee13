/* Forced evaluation may only force operands free of side effects: a
 * _Generic selection or a va_arg hides operands the decision cannot see, so
 * the decision keeps its short-circuit evaluation.
 * compilers: gcc clang
 * standards: gnu11
 * warns: Decision not forced, an operand has side effects or may fail
 * sets: -COND=FORCEEVALUATION | -PROC=RET -CALL -BLOCK=LOGICAL -COND=FORCEEVALUATION
 */
#include <stdarg.h>
#include <stdio.h>

static int calls;
static int bump(void) { return ++calls; }

static int generic(int x) { return x && _Generic(x, int: bump(), default: 0); }

static int sum(int n, ...) {
  va_list ap;
  int total = 0;
  va_start(ap, n);
  while (n-- > 0 && va_arg(ap, int) != 0) total++;
  va_end(ap);
  return total;
}

int main(void) {
  printf("%d %d\n", generic(0), calls);
  printf("%d %d\n", generic(1), calls);
  printf("%d %d\n", sum(3, 1, 0, 5), sum(0));
  return 0;
}
