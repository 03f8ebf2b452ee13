/* Identifiers with extended characters, written in UTF-8 (Clang's output
 * keeps them so) and as universal character names (GCC's output).
 * compilers: gcc clang
 * standards: c99 gnu11 c2x
 */
#include <stdio.h>

static int café = 3;

static int \u00e9t\u00e9(int λ) { return λ * café; }

int main(void) {
  int Δ = été(2);
  printf("%d\n", Δ);
  return Δ == 6 ? 0 : 1;
}
