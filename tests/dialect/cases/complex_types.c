/* Complex types: _Complex alone and with a type, __complex and __complex__,
 * the part operators with and without trailing underscores, imaginary
 * constants.
 * compilers: gcc
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

static __complex double twice(__complex double z) { return z + z; }

int main(void) {
  __complex__ float f = 1.0f + 2.0if;
  _Complex double d = twice(3.0 + 4.0i);
  _Complex bare = 1.0iF;
  __complex alone = 2.0i;
  double _Complex both = 2.5 + 0.5Fi;
  __complex int gaussian = 3 + 4i;
  __real bare = 7.0;
  __imag__ both += 1.0;
  printf("%g %g\n", (double)__real__ f, (double)__imag f);
  printf("%g %g\n", __real d, __imag__ d);
  printf("%g %g %g %g %g\n", __real__ bare, __imag bare, __real both, __imag__ both, __imag__ alone);
  printf("%d %d\n", __real__ gaussian, __imag__ gaussian);
  return 0;
}
