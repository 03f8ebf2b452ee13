/* Switches on truth values that take both 0 and 1: the default that
 * instrumentation adds must not earn a warning the original does not give.
 * compilers: gcc clang
 * standards: gnu11
 * sets: default | -COND | -PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED
 */
#include <stdio.h>

static int either(int a, int b) {
  switch (a || b) {
  case 0: return 5;
  case 1: return 6;
  }
  return 0;
}

static int flag(_Bool f) {
  switch (f) {
  case 0: return 7;
  case 1: return 8;
  }
  return 0;
}

static int equal(int x) {
  switch (x == 3) {
  case 1: return 9;
  case 0: return 10;
  }
  return 0;
}

int main(void) {
  printf("%d %d %d %d %d %d\n", either(0, 0), either(0, 1), flag(0), flag(1), equal(3), equal(4));
  return 0;
}
