#!/bin/bash
# The cost of coverage for a whole build of many small sources: GCC's
# libiberty (66 C files, from Debian's binutils-source package, fetched once
# into <cache>/binutils) configured once, then built by make -j2 with gcc, through
# quorbcc with the default coverage and with every coverage type, the
# variants interleaved and each timed as the best of <rounds>; then one
# configuration probe compiled plain and through the launcher. Prints the
# ratios to the plain build, of wall time and of the build's CPU time.
#
#   build_bench.sh <build dir> <cache> <work dir> [rounds]
set -u
build=$(realpath "$1") cache=$(realpath -m "$2")/binutils work=$(realpath -m "$3") rounds=${4:-2}
quorbcc=$build/bin/quorbcc
every="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED"

seconds() { awk -v start="$1" -v end="$(date +%s.%N)" 'BEGIN { printf "%.2f", end - start }'; }

# Builds the configured tree with compiler "$2" (options $3); prints the
# wall seconds and the CPU seconds of the build's processes.
timed_build() {
  (cd "$work/objects" && make clean >/dev/null 2>&1)
  local TIMEFORMAT='%R %U %S'
  local times
  times=$( { time (cd "$work/objects" && QUORB_OPTIONS=$3 make -j2 CC="$2" >"$work/$1.log" 2>&1) ; } 2>&1 ) ||
    { echo "build $1 failed" >&2; return 1; }
  awk '{ printf "%.2f %.2f", $1, $2 + $3 }' <<<"$times"
}

bash "$(dirname "$0")/../tests/launcher/libiberty_fetch.sh" "$cache" || exit 1
rm -rf "$work/objects" && mkdir -p "$work/objects" || exit 1
(cd "$work/objects" && "$cache/libiberty/configure" >configure.log 2>&1) || { echo "configure failed"; exit 1; }

# Best wall time and best CPU time of each variant, over the rounds: on a
# shared machine the CPU time is the steadier of the two.
declare -A wall cpu
names="plain default every"
keep_least() { [ -z "$2" ] || awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
for ((round = 0; round < rounds; round++)); do
  for name in $names; do
    case $name in
      plain) t=$(timed_build plain gcc "") ;;
      default) t=$(timed_build default "$quorbcc gcc" "") ;;
      every) t=$(timed_build every "$quorbcc gcc" "$every") ;;
    esac || exit 1
    read -r w c <<<"$t"
    if keep_least "$w" "${wall[$name]:-}"; then wall[$name]=$w; fi
    if keep_least "$c" "${cpu[$name]:-}"; then cpu[$name]=$c; fi
  done
done
printf 'make -j2 of libiberty (%s objects), best of %s:\n' "$(ls "$work"/objects/*.o | wc -l)" "$rounds"
for name in $names; do
  printf '  %-8s %6.2f s wall  %.2fx   %6.2f s CPU  %.2fx\n' "$name" "${wall[$name]}" \
    "$(awk -v a="${wall[$name]}" -v b="${wall[plain]}" 'BEGIN { print a / b }')" "${cpu[$name]}" \
    "$(awk -v a="${cpu[$name]}" -v b="${cpu[plain]}" 'BEGIN { print a / b }')"
done

# A configure probe: 20 compiles and links of conftest.c each way.
mkdir -p "$work/probe" && cd "$work/probe" || exit 1
printf 'char getpid ();\nint main (void) { return getpid () == 0; }\n' >conftest.c
probe() {
  local start i
  start=$(date +%s.%N)
  for ((i = 0; i < 20; i++)); do $1 -g -O2 conftest.c -o conftest || return 1; done
  seconds "$start"
}
plain=$(probe gcc) && launched=$(probe "$quorbcc gcc") || exit 1
printf 'configure probe (compile and link):  gcc %.2f s, through quorbcc %.2f s  %.2fx\n' "$plain" "$launched" \
  "$(awk -v a="$launched" -v b="$plain" 'BEGIN { print a / b }')"
