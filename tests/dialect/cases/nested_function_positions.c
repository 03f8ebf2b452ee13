/* Nested functions in inner blocks, in loops, after labels and declarations,
 * returning structures and pointers, a typedef name as the return type, and
 * an old-style definition.
 * compilers: gcc
 * standards: gnu89 gnu99 gnu2x
 */
#include <stdio.h>

typedef struct { int lo, hi; } range;

static int total(int n) {
  int sum = 0;
  int i;
  for (i = 0; i < n; i++) {
    int square(int x) { return x * x; }
    sum += square(i);
  }
  if (n > 2) {
  again:;
    range span(int a) { range r = { a, a + n }; return r; }
    const char *name(void) { return n > 3 ? "big" : "small"; }
    printf("%s %d\n", name(), span(1).hi);
    if (--n > 3) goto again;
  }
  {
    int old_style(a, b) int a; long b; { return a + (int)b; }
    sum = old_style(sum, 1L);
  }
  return sum;
}

int main(void) {
  printf("%d %d\n", total(3), total(5));
  return 0;
}
