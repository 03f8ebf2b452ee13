/* Every traced form in one program: integral, void, typed (double,
   structure, pointer to void) and simple returns, returns of calls in main,
   static locals, a file-scope variable and recursion. */
#include <stdio.h>
#include <string.h>

struct pair {
  int a, b;
};

static int calls;
int counter = 3;

static int square(int x) {
  calls++;
  return x * x;
}

static struct pair make(int a) {
  struct pair p;
  p.a = a;
  p.b = square(a);
  return p;
}

static struct pair made(int a) { return make(a + 1); }

static const char *name(int i) {
  static const char *names[] = {"zero", "one", "two"};
  return i < 3 ? names[i] : "many";
}

static double half(int x) { return square(x) / 2.0; }

static void report(const char *what, int v) { printf("%s=%d\n", what, v); }

static void twice(const char *what, int v) { return report(what, 2 * v); }

static void *cleared(void) {
  static char b[8];
  return memset(b, 1, sizeof b);
}

static int count(void) {
  static int n;
  int step = 2;
  n += step;
  return n + counter;
}

static int fact(int n) {
  if (n <= 1) return 1;
  return n * fact(n - 1);
}

static void nothing(int x) {
  if (x) return;
  calls += 100;
}

int main(void) {
  struct pair p = make(4);
  struct pair q = made(1);
  int i, f;
  double h;
  for (i = 0; i < 4; i++) report(name(i), count());
  nothing(0);
  nothing(1);
  h = half(3);
  f = fact(5);
  printf("%d %d %d %d %.1f %d %d\n", p.a, p.b, q.a, q.b, h, f, calls);
  twice("t", 21);
  if (((char *)cleared())[7] != 1) return 1;
  return square(2) - 4;
}
