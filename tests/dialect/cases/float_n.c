/* The _FloatN and _FloatNx types with their constant suffixes.
 * compilers: gcc
 * standards: gnu11 c2x gnu2x
 */
#include <stdio.h>

int main(void) {
  _Float16 h = 1.5f16;
  _Float32 f = 2.5f32;
  _Float64 d = 3.5f64;
  _Float32x dx = 4.5f32x;
  _Float64x lx = 5.5f64x;
  _Float128 q = 6.5f128;
  __float128 g = 7.5q;
  __float80 w = 8.5w;
  printf("%g %g %g %g %g %g %g %g\n", (double)h, (double)f, (double)d, (double)dx, (double)lx, (double)q,
         (double)g, (double)w);
  return 0;
}
