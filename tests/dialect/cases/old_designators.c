/* The obsolete GNU designators "field: value" and "[index] value".
 * compilers: gcc clang
 * standards: gnu89 gnu11
 */
#include <stdio.h>

struct point { int x, y, z; };
typedef struct { int depth; struct point at; } place;

static struct point origin = { z: 3, x: 1 };
static int squares[6] = { [2] 4, [4] 16, [5] 25 };

int main(void) {
  place p = { at: { y: 7 }, depth: 2 };
  int ranks[4] = { [1] 10, [3] 30 };
  printf("%d %d %d\n", origin.x, origin.y, origin.z);
  printf("%d %d %d\n", squares[2], squares[3], squares[5]);
  printf("%d %d %d\n", p.depth, p.at.y, ranks[1] + ranks[3]);
  return 0;
}
