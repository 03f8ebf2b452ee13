/* Helpers whose expansions hide conditions and calls. */
#define IN_RANGE(x, lo, hi) ((x) >= (lo) && (x) <= (hi))
#define CLAMP(x, lo, hi) ((x) < (lo) ? (lo) : (x) > (hi) ? (hi) : (x))
#define IS_ODD (value & 1)
#define CHECK(c) do { if (!(c)) failures++; } while (0)
#define TWICE(f, x) f(f(x))
