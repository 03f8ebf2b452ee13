/* GNU attributes on declarations, types, statements and labels.
 * compilers: gcc clang
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

struct __attribute__((packed)) packed { char c; int i; } __attribute__((aligned(1)));
typedef struct { char c; long l; } __attribute__((packed)) record;
static int __attribute__((noinline)) used(int x __attribute__((unused)), int y) __attribute__((const));

static int used(int x, int y) { return y + 1; }

static int select_value(int x) {
  int result = 0;
  switch (x) {
  case 0:
    result = 1;
    __attribute__((fallthrough));
  case 1:
    result += 2;
    break;
  default:
    result = -1;
  }
  if (x > 10) goto out;
  result *= 3;
out: __attribute__((unused));
  return result;
}

int main(void) {
  __attribute__((unused)) int spare;
  printf("%d %d %d\n", select_value(0), select_value(1), select_value(11));
  printf("%d %d\n", (int)sizeof(struct packed), (int)sizeof(record) + used(0, 1));
  return 0;
}
