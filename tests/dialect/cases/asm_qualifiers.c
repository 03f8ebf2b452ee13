/* GCC's assembler qualifiers: inline, volatile, goto with outputs.
 * compilers: gcc
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

static int clamp(int x) {
  int out = x;
  asm inline volatile("" : "+r"(out));
  __asm__ volatile goto("cmpl $100, %0\n\tjg %l1" : : "r"(out) : "cc" : too_big);
  return out;
too_big:
  return 100;
}

int main(void) {
  printf("%d %d\n", clamp(5), clamp(500));
  return 0;
}
