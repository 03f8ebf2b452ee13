#include <stdio.h>

struct P { int a, b; };
enum { E1 = 1 && 1 };
static int g_flag = 1;

static int helper(int v) { return v * 3; }

static int fragile(int x, int *p)
{
  static int calls = 2 > 1 && 1;
  char name[] = "ab";
  if (x > 100) return -1;
  char other[] = "cd";
  int size = (int)sizeof(x && calls);
  struct P pt = { .a = x ? 1 : 2, .b = helper(x) };
  int arr[] = { [0] = 1, [1] = x > 0 || x < -5 };
  int r = 0;
  _Static_assert(sizeof(int) >= 2 && 1, "int");
  switch (x) { case 1 + 1: r = 1; break; case sizeof(int) > 2 ? 3 : 4: r = 2; break; default: break; }
  if (__builtin_constant_p(x && 1) || __builtin_expect(x > 1 && p != 0, 1)) r += 5;
  if (p && *p > 0) r += *p;
  void *lab = &&done;
  if (x == 7) goto *lab;
  r += pt.a + pt.b + arr[1] + size + name[0] + other[1] + __builtin_choose_expr(1 && 1, 2, 3);
done:
  return r + calls + g_flag + E1;
}

static int duff(int count)
{
  int n = (count + 3) / 4, total = 0;
  switch (count % 4) {
  case 0: do { total++;
  case 3:      total++;
  case 2:      total++;
  case 1:      total++;
          } while (--n > 0);
  }
  return total;
}

int main(void)
{
  int v = 5;
  printf("%d %d %d %d\n", fragile(2, &v), fragile(3, 0), fragile(7, &v), fragile(200, &v));
  printf("%d %d\n", duff(9), duff(4));
  while (1) { if (v-- < 0) break; }
  return v + 2;
}
