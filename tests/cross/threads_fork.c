/* Two threads and a forked child over a few decisions, loops and a switch.
 * Every outcome depends only on fixed inputs, never on scheduling, so each
 * branch runs the same number of times on every target and in every run:
 * the threads share the branches of their common loop and split those of
 * their own; the child takes branches the parent never does. */
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

enum { kRounds = 4000, kChildRounds = 12 };

struct work {
  int id;
  long sum;
};

static int Classify(int a, int b, int c) {
  if (a > 0 && (b < 10 || c == 3)) return 1;
  if (a < 0 || (b > 20 && c != 0)) return 2;
  return a == b ? 3 : 0;
}

static long Weigh(int kind, int n) {
  long total = 0;
  int i;
  switch (kind) {
    case 0:
      total = -1;
      break;
    case 1:
      for (i = 0; i < n; i++) total += i;
      break;
    case 2:
    case 3:
      i = n;
      while (i > 1 && total < 1000) {
        total += i % 7;
        i /= 2;
      }
      break;
    default:
      total = n;
      break;
  }
  return total;
}

static void *Work(void *argument) {
  struct work *work = argument;
  int r;
  for (r = 0; r < kRounds; r++) {
    work->sum += Weigh(Classify(r % 5 + 1, r % 15, r % 4), r % 9);
    if (work->id == 0) {
      work->sum += Weigh(Classify(-1, r % 30, r % 2), 3);
    } else {
      work->sum -= Weigh(r % 3 == 0 ? 4 : 3, r % 40 + 1);
    }
  }
  return NULL;
}

/* The child's own branches; it ends by exit(), which writes its section. */
static void RunChild(void) {
  int k, kinds[4] = {0, 0, 0, 0};
  long total = 0;
  for (k = 0; k < kChildRounds; k++) {
    int kind = Classify(k - 6, k * 3, k % 4);
    kinds[kind]++;
    total += Weigh(kind, k);
  }
  k = 0;
  do {
    total += Weigh(7, k);
  } while (++k < 3);
  printf("child %d %d %d %d %ld\n", kinds[0], kinds[1], kinds[2], kinds[3], total);
  exit(kinds[0] + kinds[1] + kinds[2] + kinds[3] == kChildRounds ? 0 : 3);
}

int main(void) {
  pthread_t threads[2];
  struct work works[2] = {{0, 0}, {1, 0}};
  pid_t child;
  int i, status;
  for (i = 0; i < 2; i++) {
    if (pthread_create(&threads[i], NULL, Work, &works[i]) != 0) return 1;
  }
  for (i = 0; i < 2; i++) pthread_join(threads[i], NULL);
  printf("threads %ld %ld\n", works[0].sum, works[1].sum);
  fflush(stdout);
  child = fork();
  if (child < 0) return 1;
  if (child == 0) RunChild();
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 1;
  printf("child status %d\n", WEXITSTATUS(status));
  return WEXITSTATUS(status);
}
