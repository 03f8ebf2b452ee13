/* A program that includes the common C library and POSIX headers and uses
 * the C99, C11 and GNU forms that real sources contain. The parse suite
 * preprocesses it with each compiler and language level and parses the
 * result; the compilers themselves accept it at every level. The
 * instrumented-program suite also runs it: it ends normally, and its output
 * depends only on the machine.
 *
 * PROGRAM_NAME renames the functions, so that many copies of the file can be
 * joined into one large translation unit.
 */
#ifndef _GNU_SOURCE
#define _XOPEN_SOURCE 700
#endif
#include <assert.h>
#include <ctype.h>
#include <errno.h>
#include <float.h>
#include <limits.h>
#include <locale.h>
#include <math.h>
#include <setjmp.h>
#include <signal.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <stdint.h>
#include <inttypes.h>
#include <stdbool.h>
#include <wchar.h>
#include <wctype.h>
#include <fenv.h>
#include <complex.h>
#include <pthread.h>
#include <unistd.h>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <sys/socket.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <netdb.h>
#include <dirent.h>
#include <dlfcn.h>
#include <poll.h>
#include <termios.h>

#ifndef PROGRAM_NAME
#define PROGRAM_NAME(name) name
#endif

#if defined __STDC_VERSION__ && __STDC_VERSION__ >= 199901L
#define HAVE_C99 1
#else
#define HAVE_C99 0
#endif

/* Bit fields, anonymous members, a flexible array member, attributes. */
struct PROGRAM_NAME(packet) {
  unsigned kind : 4;
  unsigned : 0;
  signed int flag : 1;
  union {
    int number;
    struct {
      short low, high;
    };
  };
  struct {
    char tag;
  } __attribute__((packed)) header;
  size_t length;
  unsigned char payload[];
} __attribute__((aligned(8)));

typedef struct PROGRAM_NAME(packet) PROGRAM_NAME(packet_t);
typedef int PROGRAM_NAME(handler_t)(int, char **);
typedef void (*PROGRAM_NAME(callback_t))(void *) __attribute__((__nonnull__));

enum PROGRAM_NAME(colour) { PROGRAM_NAME(red) = 1, PROGRAM_NAME(green) = 1 << 2, PROGRAM_NAME(blue), };

__attribute__((unused)) static int PROGRAM_NAME(table)[] = {[0] = 1, [2 ... 4] = 7, [9] = 2};
static const struct PROGRAM_NAME(point) {
  int x, y;
} PROGRAM_NAME(origin) = {.y = 2, .x = 1};
static struct PROGRAM_NAME(point) PROGRAM_NAME(line)[2] = {[1].x = 3, [0] = {.y = 4}};
int PROGRAM_NAME(weak_value) __attribute__((weak)) = 3;
extern int PROGRAM_NAME(renamed) __asm__("PROGRAM_NAME_renamed_symbol");
__extension__ typedef long long PROGRAM_NAME(wide_t);

_Static_assert(sizeof(int) >= 2, "int has at least 16 bits");

/* A K&R definition. */
int PROGRAM_NAME(old_style)(a, b, s)
    int a;
    char b;
    const char *s;
{
  return a + b + (s != 0);
}

static __inline__ int PROGRAM_NAME(twice)(int value) { return 2 * value; }

#if HAVE_C99
static inline int PROGRAM_NAME(add)(int a, int b) { return a + b; }
#else
static __inline int PROGRAM_NAME(add)(int a, int b) { return a + b; }
#endif

__attribute__((noinline, cold)) static void PROGRAM_NAME(fail)(const char *what) __attribute__((noreturn));
static void PROGRAM_NAME(fail)(const char *what) {
  fputs(what, stderr);
  abort();
}

static int PROGRAM_NAME(sum)(int count, ...) {
  va_list args;
  int total = 0;
  va_start(args, count);
  while (count-- > 0) total += va_arg(args, int);
  va_end(args);
  return total;
}

static int PROGRAM_NAME(classify)(int c) {
  switch (c) {
    case '0' ... '9':
      return 1;
    case 'a' ... 'z':
    case 'A' ... 'Z':
      return 2;
    default:
      return isspace(c) ? 3 : 0;
  }
}

static void *PROGRAM_NAME(worker)(void *argument) {
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&lock);
  pthread_mutex_unlock(&lock);
  return argument;
}

#define MAXIMUM(a, b) ({ __typeof__(a) a_ = (a); __typeof__(b) b_ = (b); a_ > b_ ? a_ : b_; })
#define KIND_OF(x) _Generic((x), int: 1, double: 2, default: 0)

static int PROGRAM_NAME(labels)(int which) {
  static void *targets[] = {&&first, &&second};
  goto *targets[which & 1];
first:
  return 1;
second:
  return 2;
}

static double PROGRAM_NAME(numbers)(void) {
  double complex z = 1.0 + 2.0 * I;
  float f = FLT_MAX;
  long double e = expl(1.0L);
  uint64_t big = UINT64_C(1) << 40;
  intmax_t widest = INTMAX_MAX;
  bool ok = true;
  fenv_t environment;
  fegetenv(&environment);
  printf("%" PRIu64 " %" PRIdMAX " %d %g %Lg\n", big, widest, ok, (double)f, e);
  return creal(z) + cimag(z) + sqrt(2.0) + (HUGE_VAL > DBL_MAX ? 0 : 1) + (isnan(HUGE_VAL) ? 1 : 0);
}

static int PROGRAM_NAME(system_calls)(const char *path) {
  struct stat info;
  struct timeval now;
  struct sockaddr_in address;
  struct pollfd watched = {.fd = 0, .events = POLLIN};
  struct termios terminal;
  fd_set readable;
  DIR *directory = opendir(path);
  int descriptor = open(path, O_RDONLY | O_NONBLOCK);
  void *mapping = mmap(NULL, 4096, PROT_READ, MAP_PRIVATE, descriptor, 0);
  void *library = dlopen("libm.so.6", RTLD_LAZY);
  int status = 0;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(80);
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  FD_ZERO(&readable);
  FD_SET(descriptor, &readable);
  if (stat(path, &info) == 0 && S_ISDIR(info.st_mode)) status |= 1;
  if (gettimeofday(&now, NULL) == 0) status |= 2;
  if (tcgetattr(0, &terminal) == 0) status |= 4;
  if (poll(&watched, 1, 0) > 0) status |= 8;
  if (WIFEXITED(status)) status |= 16;
  if (gethostbyname("localhost") != NULL) status |= 32;
  if (mapping != MAP_FAILED) munmap(mapping, 4096);
  if (library) dlclose(library);
  if (directory) closedir(directory);
  if (descriptor >= 0) close(descriptor);
  return status;
}

static int PROGRAM_NAME(strings)(const char *text) {
  char buffer[64];
  wchar_t wide[8] = L"wide";
  size_t length = strlen(text);
  char *copy = strdup(text);
  jmp_buf jump;
  if (setjmp(jump) != 0) return -1;
  snprintf(buffer, sizeof buffer, "%s:%zu", text, length);
  if (copy) free(copy);
  assert(length < sizeof buffer);
  errno = 0;
  return (int)strtol(buffer, NULL, 10) + (int)wcslen(wide) + iswalpha(L'x') + tolower('A');
}

int PROGRAM_NAME(main)(int argc, char **argv) {
  struct PROGRAM_NAME(point) *moved = &(struct PROGRAM_NAME(point)){.x = argc, .y = 0};
  int values[] = {1, 2, 3};
  int total = 0;
  size_t offset = __builtin_offsetof(struct PROGRAM_NAME(packet), length);
  size_t alignment = _Alignof(double) + __alignof__(long);
  __typeof__(total) copy = MAXIMUM(argc, 3);
  int kind = KIND_OF(copy) + KIND_OF(1.0);
  pthread_t thread;
  time_t clock = time(NULL);
  struct tm *broken = localtime(&clock);
  _Bool flag = __builtin_expect(argc > 1, 0);
  int (*pick)(int, int) = PROGRAM_NAME(add);
  setlocale(LC_ALL, "");
  signal(SIGINT, SIG_IGN);
#if HAVE_C99
  for (int i = 0; i < (int)(sizeof values / sizeof values[0]); ++i) total += values[i];
  for (size_t i = 0, j = 1; i < j; i++) total += (int)j;
#else
  total = values[0] + values[1] + values[2];
#endif
  if (pthread_create(&thread, NULL, PROGRAM_NAME(worker), NULL) == 0) pthread_join(thread, NULL);
  total += moved->x + (int)offset + (int)alignment + kind + flag + pick(1, 2);
  total += PROGRAM_NAME(old_style)(1, 'a', "s") + PROGRAM_NAME(twice)(2) + PROGRAM_NAME(sum)(3, 1, 2, 3);
  total += PROGRAM_NAME(classify)(argv[0][0]) + PROGRAM_NAME(labels)(argc) + PROGRAM_NAME(table)[2];
  total += PROGRAM_NAME(system_calls)(".") + PROGRAM_NAME(strings)("12") + (broken ? broken->tm_year : 0);
  total += (int)PROGRAM_NAME(numbers)() + PROGRAM_NAME(origin).x + PROGRAM_NAME(line)[1].x;
  if (total < 0) PROGRAM_NAME(fail)("negative");
  return total > INT_MAX / 2 ? EXIT_FAILURE : EXIT_SUCCESS;
}
