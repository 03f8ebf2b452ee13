/* clang's type-generic math header, made of overloadable functions.
 * compilers: clang
 * standards: c11 gnu11 c2x
 * libs: -lm
 */
#include <stdio.h>
#include <tgmath.h>

int main(void) {
  float f = 2.0f;
  double d = 9.0;
  double _Complex z = 3.0 + 4.0 * I;
  printf("%g %g %g %g\n", (double)sqrt(f), sqrt(d), cabs(z), (double)fabs(-f));
  printf("%g %g\n", creal(sqrt(z)), cimag(conj(z)));
  return 0;
}
