#include "util.h"

int count_odd(const int *v, int n)
{
  int odd = 0;
  for (int i = 0; i < n; i++)
    if (v[i] % 2)
      odd++;
  return odd;
}
