#!/bin/bash
# The runtime benchmark: builds each workload at -O2 as it is, with gcc's own
# coverage (--coverage), and instrumented by quorbcc1 with the default
# coverage (function entries and decision-level blocks) and with every
# coverage type (set A of the instrumented-program suite, with and without
# -COUNT); runs each build a few times, interleaved, and prints the best CPU
# time (user + system) of each with its ratio to the original's and the goal
# of that ratio (1.07 for the default coverage, 1.5 with every coverage
# type). -COUNT keeps exact counts under threads with atomic additions, so
# its build is printed beside gcc's --coverage -fprofile-update=atomic, for
# comparison only. Every build must print what the original prints.
#
# The workloads: overhead_bench.c, a compressor whose inner loops are tight,
# and overhead_interp.c, a tokenizer and recursive-descent evaluator that
# takes a decision or makes a call at almost every step.
#
#   overhead_bench.sh <build dir> <work dir> [runs]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/instrumented/coverage_sets.sh"
build=$(cd "$1" && pwd) work=$2 runs=${3:-7}
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
export QBC_RESULTS=/dev/null
cc=${CC:-gcc}

rm -rf "$work" && mkdir -p "$work" || exit 1

# Variant names and how each is built from $workload.i into $workload/<name>.
variants="original gcov default A gcov_atomic A_count"
build_variant() {
  local workload=$1 name=$2 options
  case $name in
    original) "$cc" -O2 "$workload.i" -o "$workload/original" ;;
    gcov) "$cc" -O2 --coverage "$workload.i" -o "$workload/gcov" ;;
    gcov_atomic) "$cc" -O2 --coverage -fprofile-update=atomic "$workload.i" -o "$workload/gcov_atomic" ;;
    *)
      options=
      [ "$name" != default ] && options=$(coverage_set_options "$name")
      # Word splitting of $options is intended: one option per word.
      "$build/bin/quorbcc1" "$workload.i" "$workload/$name.c" gcc.def $options >"$workload/$name.log" 2>&1 &&
        rm -f "$workload.c.fdc" && "$cc" -O2 -w "$workload/$name.c" -o "$workload/$name" ||
        { cat "$workload/$name.log"; return 1; }
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

# CPU seconds (user + system) of one run of $1/$2 with arguments $3; its
# output in $1/$2.out.
cpu_time() {
  local TIMEFORMAT='%3U %3S' times
  # Word splitting of $3 is intended: the workload's arguments.
  # shellcheck disable=SC2086
  times=$({ time "$1/$2" $3 >"$1/$2.out"; } 2>&1) || { echo "$1/$2 failed: $times" >&2; return 1; }
  awk '{ printf "%.3f\n", $1 + $2 }' <<<"$times"
}

# Builds and runs every variant of one workload; prints the table.
measure_workload() {
  local workload=$1 arguments=$2 name seconds status=0
  local -A best=()
  mkdir -p "$workload" &&
    # A copy, so that the FDC and gcov files are written here.
    cp "$here/$workload.c" . && "$cc" -E "$workload.c" -o "$workload.i" || return 1
  for name in $variants; do
    build_variant "$workload" "$name" || { echo "building $workload/$name failed"; return 1; }
  done
  for ((run = 0; run < runs; run++)); do
    for name in $variants; do
      seconds=$(cpu_time "$workload" "$name" "$arguments") || return 1
      if [ -z "${best[$name]-}" ] || awk -v a="$seconds" -v b="${best[$name]}" 'BEGIN { exit !(a < b) }'; then
        best[$name]=$seconds
      fi
    done
  done
  echo "$workload $arguments: best CPU time of $runs runs, $cc -O2:"
  for name in $variants; do
    if ! cmp -s "$workload/original.out" "$workload/$name.out"; then
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
  return $status
}

cd "$work" || exit 1
status=0
# Each run takes about a second on this machine's cores, long enough for the
# ratios to settle.
measure_workload overhead_bench "1024 48" || status=1
measure_workload overhead_interp "1024 144" || status=1
exit $status
