/* __int128 and unsigned __int128, and their typedef names.
 * compilers: gcc clang
 * standards: gnu89 gnu11 c2x
 */
#include <stdio.h>

static unsigned __int128 square(unsigned __int128 x) { return x * x; }

int main(void) {
  __int128 big = (__int128)1 << 100;
  unsigned __int128 u = square((unsigned __int128)1 << 40);
  __int128_t s = -big;
  __uint128_t t = u >> 64;
  printf("%d %llu %d\n", (int)(big >> 98), (unsigned long long)t, s < 0);
  return 0;
}
