/* A label right before a declaration, after a sequence block that an
 * earlier label opened: the block must close before the label, whose
 * declaration the statements after it use.
 * compilers: gcc
 * standards: gnu11 c2x
 * sets: default | -COND | -PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED
 */
#include <stdio.h>

static int labelled(int x) {
  switch (x) {
  case 0:
    if (x) goto L5;
  L1: x++;
  L4: unsigned w = 1;
    x += w;
  case 3:
  L5: x += 100;
  }
  return x;
}

int main(void) {
  printf("%d %d %d\n", labelled(0), labelled(3), labelled(8));
  return 0;
}
