#!/bin/bash
# The listing's share of a whole run: quorbcc1 with every coverage type on
# generated sources of 5 and 10 MB (functions with conditions, loops, calls,
# comments, an inactive region and a macro hiding a condition each), with the
# annotated listing and without it (-NOSOURCE). Prints the best CPU time of
# each, the listing's share and the 10 MB / 5 MB ratio (2 when linear).
#
#   listing_share.sh <build dir> <work dir> [runs]
set -u
build=$(cd "$1" && pwd) work=$2 runs=${3:-3}
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
options="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -NOWARNINGS"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

generate() {
  awk -v size=$(($1 * 1048576)) 'BEGIN {
    print "#define IN(x, lo, hi) ((x) >= (lo) && (x) <= (hi))"
    print "int g(int);"
    for (n = 0; bytes < size; n++) {
      text = sprintf("/* Function %d: @ a comment */\nint f%d(int a, int b)\n{\n  int s = 0, i;\n" \
        "#if 0\n  s = -1;\n#endif\n  if (IN(a, 0, 9) || b == %d)\n    s = g(a);\n" \
        "  for (i = 0; i < b && s < 100; i++)\n    s += a > i ? i : g(i);\n  return s;\n}\n", n, n, n)
      printf "%s", text
      bytes += length(text)
    }
  }' > src$1.c
  gcc -E src$1.c -o src$1.i
}

# Best CPU time (user and system) in seconds of quorbcc1 on $1 with the
# options that follow: CPU time, so that other work on the machine does not
# weigh in.
best() {
  local input=$1 i spent best=
  shift
  TIMEFORMAT='%U %S'
  for i in $(seq "$runs"); do
    spent=$( { time "$build/bin/quorbcc1" "$input" out.c gcc.def $options "$@" -FDCNAME=out.fdc > /dev/null; } 2>&1 ) ||
      { echo "quorbcc1 failed: $spent" >&2; exit 1; }
    spent=$(echo "$spent" | tail -1 | awk '{print $1 + $2}')
    rm -f out.fdc
    if [ -z "$best" ] || [ "$(echo "$spent < $best" | bc)" = 1 ]; then best=$spent; fi
  done
  echo "$best"
}

for mb in 5 10; do
  generate $mb
  with=$(best src$mb.i) without=$(best src$mb.i -NOSOURCE)
  eval "with$mb=$with"
  printf '%2d MB: %6.2f s with the listing, %6.2f s without; listing share %4.1f %%\n' $mb "$with" "$without" \
    "$(echo "scale=3; 100 * ($with - $without) / $with" | bc)"
done
printf '10 MB / 5 MB with the listing: %.2f (linear: 2.00)\n' "$(echo "scale=3; $with10 / $with5" | bc)"
