/* GNU statement and expression forms: case ranges, local labels, computed
 * goto, the conditional without middle operand (which quorbcc1 accepts as
 * an anachronism, with a warning), statement expressions, designated
 * ranges, and the type-taking built-ins.
 * compilers: gcc clang
 * standards: gnu89 gnu11 gnu2x
 * warns: syntax anachronism accepted
 */
#include <stddef.h>
#include <stdio.h>

struct item { int key; char tag; };

static int grade(int x) {
  switch (x) {
  case 0 ... 9: return 1;
  case 10 ... 99: return 2;
  default: return 3;
  }
}

static int dispatch(int op) {
  static void *table[] = { &&add, &&sub };
  int value = 10;
  goto *table[op & 1];
add:
  return value + 1;
sub:
  return value - 1;
}

static int local_labels(int n) {
  int r = ({ __label__ done; int k = n; if (k > 5) goto done; k *= 2; done: k; });
  return r ?: -1;
}

int main(void) {
  int squares[8] = { [0 ... 3] = 1, [4 ... 7] = 2 };
  int same = __builtin_types_compatible_p(int, signed int);
  size_t where = __builtin_offsetof(struct item, tag);
  int chosen = __builtin_choose_expr(sizeof(int) == 4, 4, 8);
  int generic = _Generic(1.0f, float: 1, double: 2, default: 3);
  printf("%d %d %d\n", grade(5), grade(50), grade(500));
  printf("%d %d %d %d\n", dispatch(0), dispatch(1), local_labels(3), local_labels(0));
  printf("%d %d %d %d %d\n", squares[2] + squares[6], same, (int)where, chosen, generic);
  return 0;
}
