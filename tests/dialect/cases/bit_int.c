/* _BitInt(N) and its unsigned form.
 * compilers: clang
 * standards: c2x gnu2x
 */
#include <stdio.h>

static unsigned _BitInt(12) wrap(unsigned _BitInt(12) x) { return x + 1; }

int main(void) {
  _BitInt(7) small = 60;
  unsigned _BitInt(12) top = 4095;
  printf("%d %u\n", (int)(small + 1), (unsigned)wrap(top));
  return 0;
}
