#include <stdio.h>
#include "util.h"

static void show(int value)
{
  printf("value %d\n", value);
}

int main(int argc, char **argv)
{
  int v[] = { 1, 2, 3, 5 };
  (void)argv;
  show(twice(count_odd(v, 4)));
  show(0);
  if (argc > 5)
    return 1;
  return 3;
}
