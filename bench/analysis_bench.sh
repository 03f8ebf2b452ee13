#!/bin/bash
# Runs the builds of analysis_bench.c a few times each, interleaved, and
# prints the best nanoseconds per call of each with its ratio to the
# original's.  Every build must print the original's checksum.  The trace
# and profiles go to /dev/null.
#
#   analysis_bench.sh <directory of the builds> [runs]
set -u
dir=$1 runs=${2:-5}
variants="original trace perf memory all"
export QBT_RESULTS=/dev/null QBQ_RESULTS=/dev/null QBP_RESULTS=/dev/null QBC_RESULTS=/dev/null
declare -A best
for ((run = 0; run < runs; run++)); do
  for v in $variants; do
    read -r ns sum < <("$dir/analysis_bench_$v") || { echo "analysis_bench_$v failed"; exit 1; }
    [ "$v" = original ] && want=$sum
    [ "$sum" = "$want" ] || { echo "analysis_bench_$v printed $sum, expected $want"; exit 1; }
    if [ -z "${best[$v]-}" ] || awk -v a="$ns" -v b="${best[$v]}" 'BEGIN { exit !(a < b) }'; then
      best[$v]=$ns
    fi
  done
done
for v in $variants; do
  awk -v v="$v" -v ns="${best[$v]}" -v base="${best[original]}" \
    'BEGIN { printf "%-9s %8.2f ns/call  ratio %6.2f\n", v, ns, ns / base }'
done
