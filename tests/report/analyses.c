/* The analyses' end-to-end program: nested calls, a block leaked on
   purpose and a block freed twice. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int leaf(int x) { return x + 1; }

static int middle(int x) {
  int s = leaf(x);
  return s + leaf(s);
}

static void lose(void) {
  char *p = malloc(40);
  memset(p, 1, 40);
}

static void twice(void) {
  char *p = malloc(8);
  free(p);
  free(p);
}

int main(void) {
  int v = middle(1);
  lose();
  twice();
  printf("%d\n", v);
  return 0;
}
