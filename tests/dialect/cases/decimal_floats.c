/* Decimal floating types and their suffixes in both cases.
 * compilers: gcc
 * standards: gnu11 gnu2x c2x
 */
#include <stdio.h>

static _Decimal64 add(_Decimal64 a, _Decimal64 b) { return a + b; }

int main(void) {
  _Decimal32 s = 1.5df + 2.5DF;
  _Decimal64 d = add(0.1dd, 0.2DD);
  _Decimal128 l = 10.0dl * 3.0DL;
  printf("%d %d %d\n", (int)s, (int)(d * 10), (int)l);
  return d == 0.3dd ? 0 : 1;
}
