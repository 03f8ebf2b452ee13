#include <stdio.h>

static int square(int x) { return x * x; }

int main(int argc, char **argv) {
  (void)argv;
  if (argc > 1) {
    printf("square of %d is %d\n", argc, square(argc));
  } else {
    printf("hello, world\n");
  }
  return 0;
}
