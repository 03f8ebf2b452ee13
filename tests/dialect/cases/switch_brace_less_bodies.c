/* Switches whose body is one labelled statement without braces, and case
 * labels written with no blank between them: the implicit default must
 * follow the whole body, and no inserted text may join the next word.
 * compilers: gcc clang
 * standards: gnu11
 * sets: default | -COND | -BLOCK=IMPLICIT -COND | -PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED
 */
#include <stdio.h>

static int one_label(int x) {
  switch (x) case 1: x += 10;
  return x;
}

static int two_labels(int x) {
  switch (x) case 1: case 2: x += 10;
  return x;
}

static int glued_labels(const unsigned char *p) {
  int r = 0;
  switch (*p++) {
  case 1: r = 1; break;
  case 3:case 4:case 5: r = 2; break;
  }
  return r + *p;
}

static int glued_default(int x) {
  switch (x) {
  case 7:default:return x * 2;
  }
}

int main(void) {
  const unsigned char bytes[] = {4, 9, 1, 3};
  for (int x = 0; x < 4; x++) printf("%d %d %d\n", one_label(x), two_labels(x), glued_default(x));
  printf("%d %d %d\n", glued_labels(bytes), glued_labels(bytes + 1), glued_labels(bytes + 2));
  return 0;
}
