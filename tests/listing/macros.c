/* Source for the listing tests: CRLF line ends, tabs, comments inside and
   across macro calls, an inactive region, "@" signs. */
#include "macros.h"

static int failures;

static int half(int x) { return x / 2; }

int classify(int value, int lo, int hi)
{
	int r = 0;	/* tab before and after */
	if (IN_RANGE(value, lo, hi) && IS_ODD)
		r = 1;
	else if (IN_RANGE(value, /* lower */ lo, hi))
		r = 2;
#if 0
	r = 3; /* never compiled */
#else
	r += CLAMP(value, lo,
	           hi);	/* a call spread over two lines */
#endif
	CHECK(r >= 0 /* a comment inside a macro call */);
	CHECK(r < /* a comment
	   across lines */ 100);
	while (r > 10 && value != 0) r = TWICE(half, r);
	return r; // "@" sign @@ and a line comment
}

int main(void)
{
	int total = 0, i;
	for (i = -3; i < 30; i++)
		total += classify(i, 0, 12);
	return total == 0 ? failures : 0;
}
