#!/bin/bash
# What coverage costs on a small target: the firmware example built for a
# Cortex-M3 (arm-none-eabi-gcc -Os, gc-sections) plain, then through quorbcc
# with the default coverage and with every coverage type, each in flag and
# bit mode (and count mode for every type). Prints the sizes of .text, .data
# and .bss, their growth over the plain build, the branches (cells) and the
# bytes of RAM (.data + .bss) each branch costs.
#
#   target_footprint.sh <build dir> [cpu]
set -u
build=$(realpath "$1") cpu=${2:-cortex-m3}
tree=$(dirname "$(realpath "$0")")/..
command -v arm-none-eabi-gcc >/dev/null || { echo "arm-none-eabi-gcc is missing"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work PATH="$build/bin:$PATH"
unset QBLTGT NIVRAKDIR
every="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED"

# Builds variant $1 with compiler $2 and options $3; prints text data bss.
sizes() {
  cp -r "$tree/examples/firmware" "$work/$1"
  QUORB_OPTIONS=$3 make -s -C "$work/$1" CC="$2" CPU="$cpu" >"$work/$1.log" 2>&1 || { echo "build $1 failed" >&2; return 1; }
  arm-none-eabi-size "$work/$1/firmware_tests" | awk 'NR == 2 { print $1, $2, $3 }'
}

# Cells of the instrumented program: the bytes of its flag-mode tables.
branches() {
  arm-none-eabi-nm -S -t d "$work/$1/firmware_tests" | awk '$4 ~ /^_qbc_(proc|call|bloc|cond)_[0-9]+$/ { n += $2 }
    END { print n + 0 }'
}

read -r text0 data0 bss0 < <(sizes plain arm-none-eabi-gcc "") || exit 1
printf '%s, -Os, firmware example (%s)\n' "$cpu" "crc16.c frame.c clock.c tests.c board_mps2.c"
printf '%-26s %7s %6s %6s %8s %7s %7s %9s %12s\n' variant .text .data .bss "+text" "+data" "+bss" branches "RAM/branch"
printf '%-26s %7d %6d %6d\n' plain "$text0" "$data0" "$bss0"
for variant in "default flag|" "default bit|-COMPACT" "every flag|$every" "every bit|$every -COMPACT" \
  "every count|$every -COUNT"; do
  name=${variant%%|*} options=${variant#*|}
  flagName=${name% *}_flag
  dir=${name// /_}
  read -r text data bss < <(sizes "$dir" "quorbcc arm-none-eabi-gcc" "$options") || exit 1
  [ -d "$work/$flagName" ] && cells=$(branches "$flagName") || cells=$(branches "$dir")
  awk -v n="$name" -v t="$text" -v d="$data" -v b="$bss" -v t0="$text0" -v d0="$data0" -v b0="$bss0" -v c="$cells" \
    'BEGIN { printf "%-26s %7d %6d %6d %+8d %+7d %+7d %9d %12.3f\n", n, t, d, b, t - t0, d - d0, b - b0, c,
             c ? (d - d0 + b - b0) / c : 0 }'
done
