/* typeof in its spellings, __auto_type, statement expressions.
 * compilers: gcc clang
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

#define MAX(a, b) __extension__ ({ __typeof__(a) _a = (a); __typeof__(b) _b = (b); _a > _b ? _a : _b; })

int main(void) {
  int i = 3;
  typeof(i) j = 4;
  __typeof(j) *p = &j;
  __auto_type k = MAX(i, j) + *p;
  typeof(int[2]) pair = { 1, 2 };
  printf("%d %d\n", k, pair[0] + pair[1]);
  return 0;
}
