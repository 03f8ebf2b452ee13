#!/bin/bash
# The runtime benchmark: builds overhead_bench.c at -O2 as it is, with gcc's
# own coverage (--coverage), and instrumented by quorbcc1 with the default
# coverage (function entries and decision-level blocks) and with every
# coverage type (set A of the instrumented-program suite, with and without
# -COUNT); runs each build a few times, interleaved, and prints the best CPU
# time (user + system) of each with its ratio to the original's and the goal
# of that ratio (1.07 for the default coverage, 1.5 with every coverage
# type). -COUNT keeps exact counts under threads with atomic additions, so
# its build is printed beside gcc's --coverage -fprofile-update=atomic, for
# comparison only. Every build must print what the original prints.
#
#   overhead_bench.sh <build dir> <work dir> [runs [kilobytes [rounds]]]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/instrumented/coverage_sets.sh"
build=$(cd "$1" && pwd) work=$2 runs=${3:-5} kilobytes=${4:-1024} rounds=${5:-16}
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
export QBC_RESULTS=/dev/null
cc=${CC:-gcc}

rm -rf "$work" && mkdir -p "$work"
cd "$work" || exit 1
# A copy, so that the FDC and gcov files are written here.
cp "$here/overhead_bench.c" . && "$cc" -E overhead_bench.c -o overhead_bench.i || exit 1

# Variant names and how each is built from overhead_bench.i into ./<name>.
variants="original gcov default A gcov_atomic A_count"
build_variant() {
  local name=$1 options
  case $name in
    original) "$cc" -O2 overhead_bench.i -o original ;;
    gcov) "$cc" -O2 --coverage overhead_bench.i -o gcov ;;
    gcov_atomic) "$cc" -O2 --coverage -fprofile-update=atomic overhead_bench.i -o gcov_atomic ;;
    *)
      options=
      [ "$name" != default ] && options=$(coverage_set_options "$name")
      # Word splitting of $options is intended: one option per word.
      "$build/bin/quorbcc1" overhead_bench.i "$name.c" gcc.def $options >"$name.log" 2>&1 &&
        rm -f overhead_bench.c.fdc && "$cc" -O2 -w "$name.c" -o "$name" ||
        { cat "$name.log"; return 1; }
      ;;
  esac
}

describe() {
  case $1 in
    original) echo "original" ;;
    gcov) echo "gcc --coverage" ;;
    gcov_atomic) echo "gcc --coverage -fprofile-update=atomic" ;;
    default) echo "quorbcc1, default coverage" ;;
    *) echo "quorbcc1 $(coverage_set_options "$1")" ;;
  esac
}

# The largest ratio to the original's time each instrumented build may reach;
# gcc's own coverage and the exact counts are printed for comparison only.
goal() {
  case $1 in
    default) echo 1.07 ;;
    A) echo 1.5 ;;
  esac
}

# CPU seconds (user + system) of one run of ./$1; its output in $1.out.
cpu_time() {
  local TIMEFORMAT='%3U %3S' times
  times=$({ time "./$1" "$kilobytes" "$rounds" >"$1.out"; } 2>&1) || { echo "$1 failed: $times" >&2; return 1; }
  awk '{ printf "%.3f\n", $1 + $2 }' <<<"$times"
}

declare -A best
for name in $variants; do
  build_variant "$name" || { echo "building $name failed"; exit 1; }
done
for ((run = 0; run < runs; run++)); do
  for name in $variants; do
    seconds=$(cpu_time "$name") || exit 1
    if [ -z "${best[$name]-}" ] || awk -v a="$seconds" -v b="${best[$name]}" 'BEGIN { exit !(a < b) }'; then
      best[$name]=$seconds
    fi
  done
done

status=0
echo "best CPU time of $runs runs, ${kilobytes} KB x $rounds rounds, $cc -O2:"
for name in $variants; do
  if ! cmp -s original.out "$name.out"; then
    echo "$(describe "$name"): output differs from the original's"
    status=1
  fi
  awk -v name="$(describe "$name")" -v t="${best[$name]}" -v base="${best[original]}" -v goal="$(goal "$name")" \
    'BEGIN {
      ratio = base > 0 ? t / base : 0
      verdict = goal == "" ? "" : sprintf("  (goal <= %.2f) %s", goal, ratio <= goal ? "ok" : "OVER GOAL")
      printf "  %-62s %7.3f s  x%.2f%s\n", name, t, ratio, verdict
    }'
done
exit $status
