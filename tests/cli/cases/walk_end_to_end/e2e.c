#include <stdio.h>
#include <stdlib.h>

static int twice(int v) { return 2 * v; }

static int grade(int v)
{
  if (v > 90) return 4;
  else if (v > 50) return 3;
  else if (v > 10) return 2;
  return 1;
}

static int loops(int n)
{
  int total = 0, i;
  while (n-- > 0) total++;
  for (i = 0; i < 10; i++) { if (i == 1) break; total += 10; }
  do { total += 100; if (total > 1000) return total; } while (0);
  for (i = 0; i < 5; i++) { if (i == 2) goto out; }
out:
  return total;
}

static int pick(int k)
{
  int r = 0;
  switch (k) {
  case 1: r += 1;
  case 2: r += 2; break;
  case 3: r = 30; break;
  }
  return r;
}

static int decide(int a, int b, int c)
{
  return a && (b || c) ? 1 : 0;
}

int main(void)
{
  int (*op)(int) = twice;
  int s = grade(95) + grade(20) + grade(5) + loops(0) + loops(1) + loops(3);
  s += pick(1) + pick(3) + pick(7);
  s += decide(1, 0, 1) + decide(0, 1, 1) + decide(1, 1, 0) + decide(1, 0, 0);
  printf("%d %d\n", s, op(21));
  exit(s > 0 ? 3 : 4);
}
