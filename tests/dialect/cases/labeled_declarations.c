/* Labels, case labels and default labels right before a declaration, and a
 * label named like a typedef before one.
 * compilers: gcc
 * standards: gnu89 gnu11 c2x
 */
#include <stdio.h>

typedef int T;

static int pick(int x) {
  int total = 0;
  switch (x) {
  case 1:
  case 3:
    int one = 10;
    total += one;
    break;
  case 4 ... 6:
    long range = 5;
    total += (int)range;
    break;
  default:
    T other = 20;
    total += other;
  }
  if (total > 15) goto T;
again:
retry:
  int step = 1;
  total += step;
  if (total < 5) goto again;
  if (total < 6) goto retry;
T:
  return total;
}

int main(void) {
  printf("%d %d %d\n", pick(1), pick(2), pick(5));
  return 0;
}
