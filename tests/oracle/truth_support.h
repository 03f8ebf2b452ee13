/* Interface of the truth support as the generated programs declare it. */
#ifndef TRUTH_SUPPORT_H
#define TRUTH_SUPPORT_H

/* One execution of a loop: k is the T index of its fewest-iterations branch,
 * lowest 0 for while and for, 1 for do; n counts body entries. */
struct tq_loop {
  unsigned k, lowest, n;
};

/* Basic condition k (T[k] counts true, T[k + 1] false); returns v != 0. */
int tc(unsigned k, int v);
/* Pure decision number `index`: the values of all its conditions. */
void tv(unsigned index, ...);
/* Switch control: counts the dispatch of v for the switch counted at k. */
long tq_sw(unsigned k, long v);
/* Cleanup of a loop's tq_loop: counts its "0" or "1" branch. */
void tq_leave(struct tq_loop *loop);

#endif
