/* GNU nested functions: defined in a body, declared ahead with auto, nested
 * twice, returning values of the enclosing function's variables.
 * compilers: gcc
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

static int outer(int base) {
  auto int scaled(int);
  int offset = 3;
  int add(int x) {
    int deeper(int y) { return y * 2; }
    if (x < 0) return 0;
    return deeper(x) + base + offset;
  }
  int scaled(int x) { return add(x) * 10; }
  offset++;
  return add(1) + scaled(2);
}

int main(void) {
  printf("%d %d\n", outer(1), outer(-5));
  return outer(0) == 96 ? 0 : 2;
}
