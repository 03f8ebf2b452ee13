/* Labels with the name of a visible typedef, jumped to and declared after.
 * compilers: gcc clang
 * standards: gnu89 c99 gnu2x
 */
#include <stdio.h>

typedef int count;
typedef struct node { int value; } node;

static int walk(int n) {
  count total = 0;
  if (n < 0) goto node;
count:
  total += n;
  if (--n > 0) goto count;
node:
  return total;
}

int main(void) {
  printf("%d %d\n", walk(4), walk(-1));
  return 0;
}
