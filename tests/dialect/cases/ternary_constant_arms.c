/* Conditional expressions one of whose arms is a null pointer constant or
 * another integer constant expression: marking the arm must not change the
 * type of the result (void * instead of unsigned *) nor turn a null pointer
 * constant into an integer.
 * compilers: gcc clang
 * standards: gnu11
 * warns: syntax anachronism accepted
 * sets: default | -COND | -PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED | -BLOCK=LOGICAL -COND=FORCEEVALUATION
 */
#include <stdio.h>

static unsigned garr[3] = {1, 2, 3};
struct bits { unsigned low : 3, high : 5; };

static unsigned second(int c) { return (c ? (void *)0 : garr)[1]; }

static unsigned after_first(int c) {
  unsigned *q = (c ? ((void *)0) : garr) + 1;
  return *q;
}

static const char *name(const char *p, int c) { return c ? p : 0; }

static int both_constant(int c) { return (c ? 0 : (void *)0) == 0; }

static unsigned nested(int a, int b) {
  unsigned *p = a ? b ? (void *)0 : garr : garr + 2;
  return p ? *p : 99u + (a ? b ? 0 : 5 : 7);
}

static int field(struct bits s, int c) { return c ? s.high : 0; }

static const char *elvis(const char *p) { return p ?: (void *)0; }

int main(void) {
  struct bits s = {5, 17};
  printf("%u %u %s %s\n", second(0), after_first(0), name("x", 1), name("x", 0) ? "set" : "null");
  printf("%d %d %u %u %u\n", both_constant(1), both_constant(0), nested(1, 0), nested(0, 1), nested(1, 1));
  printf("%d %d %s\n", field(s, 1), field(s, 0), elvis("y"));
  return elvis(0) != 0;
}
