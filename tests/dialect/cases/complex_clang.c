/* Complex types and imaginary constants as clang accepts them.
 * compilers: gcc clang
 * standards: gnu99 gnu11 gnu2x
 */
#include <stdio.h>

int main(void) {
  double _Complex z = 1.0 + 2.0i;
  float _Complex f = 2.0f + 1.0fi;
  long double _Complex l = 1.0L + 3.0il;
  __complex__ double w = z * 2.0;
  printf("%g %g %g %g\n", __real__ z, __imag__ z, (double)__real__ f, (double)__imag__ f);
  printf("%g %g %g\n", (double)__imag__ l, __real__ w, __imag__ w);
  return 0;
}
