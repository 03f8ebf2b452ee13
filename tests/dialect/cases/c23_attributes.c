/* C23 attributes in every position: declarations, declarators, parameters,
 * members, enumerators, statements, labels.
 * compilers: gcc clang
 * standards: c2x gnu2x
 */
#include <stdio.h>

[[nodiscard]] static int twice(int x) { return 2 * x; }
static int thrice [[maybe_unused]] (int x) { return 3 * x; }

struct [[maybe_unused]] pair {
  [[maybe_unused]] int first;
  int second [[maybe_unused]];
};

enum [[maybe_unused]] color { red [[maybe_unused]], green };

static int classify([[maybe_unused]] int unused, int x) {
  [[maybe_unused]] int spare = 0;
  int result = 0;
  switch (x) {
  case 0:
    result += 1;
    [[fallthrough]];
  case 1:
    result += 10;
    [[ fallthrough ]] ;
  default:
    result += 100;
  }
  [[maybe_unused]] done:
  return result;
}

int main(void) {
  struct pair p = { 1, 2 };
  [[gnu::aligned(8)]] int aligned = twice(p.first + p.second);
  printf("%d %d %d %d\n", classify(0, 0), classify(0, 1), classify(0, 5), aligned);
  return green - 1;
}
