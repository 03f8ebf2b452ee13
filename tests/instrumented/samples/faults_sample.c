/* A small program for the fault-detection test: it prints, takes decisions,
 * loops and calls, and ends with status 3. */
#include <stdio.h>

static int weight(int value) {
  if (value % 3 == 0 && value > 4)
    return 2;
  return value & 1 ? 1 : 0;
}

int main(void) {
  int total = 0, i;
  for (i = 0; i < 10; i++)
    total += weight(i);
  printf("total %d\n", total);
  return 3;
}
