/* __real__ and __imag__ are unary operators that bind as tightly as "-":
 * a condition text must enclose them, not the operand alone.
 * compilers: gcc clang
 * standards: gnu11
 * sets: default | -COND=MODIFIED | -PROC=RET -CALL -BLOCK=LOGICAL -COND=FORCEEVALUATION
 */
#include <stdio.h>
#include <stdlib.h>

static int check(__complex__ double x) {
  if (__real__ x != 1.0 || __imag__ x != 2.0) return 0;
  return !__real__ x == 0 && __imag__ (x) * 2 > 3;
}

int main(void) {
  __complex__ double x = 1.0 + 2.0i;
  if (__real__ x != 1.0 || __imag__ x != 2.0) abort();
  printf("%d %d %g\n", check(x), check(x * 2), __real__ x * 3 + __imag__ x);
  return 0;
}
