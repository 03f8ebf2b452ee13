/* A loop left by a computed goto: the jump runs no cleanup, so the loop's
 * iteration count would never be closed (and clang refuses a jump out of a
 * cleanup's scope); such a loop keeps its blocks without iteration
 * branches.
 * compilers: gcc clang
 * standards: gnu11
 * warns: Loop left by a computed goto, no iteration branches
 * sets: -BLOCK=LOGICAL | -PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -COUNT
 */
#include <stdio.h>

static int leave(int n) {
  static void *targets[] = {&&out, &&again};
  int k = 0, rounds = 0;
again:
  while (k < 3) {
    k++;
    if (k >= n) goto *targets[rounds++ > 2];
  }
  k += 10;
out:
  return k + rounds;
}

int main(void) {
  printf("%d %d %d\n", leave(1), leave(2), leave(5));
  return 0;
}
