/* asm goto, asm qualifiers, assembler names and file-level assembler.
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

int main(void) {
  printf("%d %d\n", jump(5), renamed(1));
  return 0;
}
