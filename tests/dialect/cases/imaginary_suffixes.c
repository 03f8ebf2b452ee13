/* Imaginary suffixes in every order and case, on floating and integer
 * constants.
 * compilers: gcc
 * standards: gnu89 gnu11
 */
#include <stdio.h>

int main(void) {
  _Complex double values[] = { 1.0i, 2.0I, 3.0j, 4.0J, 5.0if, 6.0fi, 7.0iF, 8.0Fi, 9.0il, 10.0Li,
                               11.0jL, 12.0lJ, 0x1p4i, 1e1i };
  __complex__ int whole[] = { 1i, 2ui, 3Ui, 4il, 5lli, 6uLLi, 7iu };
  double total = 0;
  int sum = 0;
  unsigned i;
  for (i = 0; i < sizeof values / sizeof values[0]; i++) total += __imag__ values[i];
  for (i = 0; i < sizeof whole / sizeof whole[0]; i++) sum += __imag__ whole[i];
  printf("%g %d\n", total, sum);
  return 0;
}
