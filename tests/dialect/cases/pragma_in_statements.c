/* _Pragma inside statements and declarations: the preprocessor puts each
 * pragma on a line of its own, in the middle of the function.
 * compilers: gcc clang
 * standards: gnu99 c11 gnu2x
 */
#include <stdio.h>

#define QUIET(s) \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wsign-compare\"") s \
  _Pragma("GCC diagnostic pop")

static int less(int a, unsigned b) {
  QUIET(int r = a < b;)
  QUIET(if (r) return 2;)
  return r;
}

int main(void) {
  int r = less(-1, 1u) + less(1, 2u);
  QUIET(if (r < 5u) printf("%d\n", r); else r = 0;)
  return 0;
}
