/* Vector types and vector compound literals, with and without __extension__.
 * compilers: gcc clang
 * standards: gnu89 gnu11 c2x
 */
#include <stdio.h>

typedef int v4si __attribute__((vector_size(16)));
typedef float v4sf __attribute__((__vector_size__(16)));
typedef long long v2di __attribute__((vector_size(16), aligned(16)));

static v4si twice(v4si v) { return v + v; }

static int sum(v4si v) {
  int total = 0;
  int i;
  for (i = 0; i < 4; i++) total += v[i];
  return total;
}

static v4sf splat(float x) { return __extension__ (v4sf){ x, x, x, x }; }

static v2di widen(v4si v) { return __extension__ (v2di)(v4si){ v[0], 0, v[1], 0 }; }

int main(void) {
  v4si a = { 1, 2, 3, 4 };
  v4si b = (v4si){ 10, 20, 30, 40 };
  v4si c = twice(a) * b - (v4si){ 1, 1, 1, 1 };
  v4sf f = splat(1.5f) + (v4sf){ 0.25f, 0.5f, 0.75f, 1.0f };
  v2di w = widen(a);
  printf("%d %d %d\n", sum(c), c[3], (int)(f[0] * 4 + f[3] * 4));
  printf("%lld %lld\n", w[0], w[1]);
  return sum(a) == 10 ? 0 : 1;
}
