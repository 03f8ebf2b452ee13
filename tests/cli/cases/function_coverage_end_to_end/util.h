#ifndef UTIL_H
#define UTIL_H
static inline int twice(int x) { return 2 * x; }
int count_odd(const int *v, int n);
#endif
