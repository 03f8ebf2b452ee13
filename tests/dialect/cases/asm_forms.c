/* asm goto, asm qualifiers, assembler names, file-level assembler and
 * assembler statements as loop and branch bodies.
 * compilers: gcc clang
 * standards: gnu89 gnu11 gnu2x
 */
#include <stdio.h>

__asm__(".globl quorb_marker\nquorb_marker:");
extern int renamed(int) __asm__("quorb_renamed");
int renamed(int x) { return x + 1; }

static int jump(int x) {
  asm goto("jmp %l0" : : : : skip);
  x = 100;
skip:
  __asm__ __volatile__("" : "+r"(x));
  asm volatile("" ::: "memory");
  return x;
}

static int spin(int n) {
  int rounds = 0;
  while (n-- > 0) __asm__ volatile("");
  for (rounds = 0; rounds < 3; rounds++) __asm__("" ::: "memory");
  if (n < 0) __asm__(""); else __asm__("nop");
  do __asm__(""); while (0);
  return rounds + n;
}

int main(void) {
  printf("%d %d %d\n", jump(5), renamed(1), spin(4));
  return 0;
}
