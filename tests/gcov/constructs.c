/* Constructs whose counts gcov and the instrumented build must agree on,
   one statement a line as the comparison rules need: loops left by break,
   continue, return and goto, switches with fall-through, calls in
   conditions, through pointers and under && and ?:, recursion, a function
   never called and one that ends the program with exit(). */
#include <stdio.h>
#include <stdlib.h>

static int total;

static int Twice(int x)
{
  return 2 * x;
}

static int Odd(int x)
{
  return x % 2;
}

static int Fibonacci(int n)
{
  if (n < 2)
    return n;
  return Fibonacci(n - 1) + Fibonacci(n - 2);
}

static void NeverCalled(void)
{
  total = -1;
}

static int Classify(int x)
{
  switch (x % 5) {
    case 0:
      total += 1;
    case 1:
      total += Twice(x);
      break;
    case 2:
      return 7;
    default:
      total -= 1;
  }
  return 0;
}

static int Loops(int n)
{
  int i = 0, sum = 0;
  while (i < n) {
    i++;
    if (Odd(i))
      continue;
    sum += Twice(i);
    if (sum > 200)
      break;
  }
  do {
    sum--;
  } while (sum > 150);
  for (i = 0; i < n; i++)
    sum += Odd(i) && Twice(i) > 4;
  for (i = 0; i < n; i++) {
    if (i == 7)
      goto done;
    sum += i;
  }
  sum = -sum;
done:
  sum += 3;
  return sum;
}

static void Finish(int code)
{
  printf("total %d\n", total);
  exit(code);
}

int main(int argc, char **argv)
{
  int (*operation)(int) = argc > 5 ? Odd : Twice;
  int i;
  (void)argv;
  for (i = 0; i < 12; i++) {
    total += Classify(i);
    total += operation(i);
  }
  total += Loops(30);
  total += Loops(3);
  total += Fibonacci(12);
  total += argc > 1 ? Twice(argc) : Odd(argc);
  if (total < 0)
    NeverCalled();
  printf("%d\n", total);
  Finish(0);
  return 1;
}
