#!/bin/bash
# The firmware example built for Arm's MPS2 AN385 board (Cortex-M3) with
# quorbcc arm-none-eabi-gcc, which takes the bare-metal port, and run under
# qemu-system-arm: its tests print what the plain build prints, its results
# reach the host through semihosting, and quorbreport finds what the same
# tests built for the host find, function by function and branch by branch
# (lcov), counts included in count mode. clock_tick() runs only from the
# SysTick interrupt on the board: its three calls are recorded. Bit and count
# modes are also built for ARMv6-M (Cortex-M0: no exclusive accesses, marks
# mask interrupts instead), which the emulated Cortex-M3 runs.
#
#   firmware_qemu.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
for tool in arm-none-eabi-gcc qemu-system-arm; do
  command -v $tool >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
[ -e /usr/lib/arm-none-eabi/newlib/thumb/v7-m/nofp/libc_nano.a ] || { echo "SKIP: no newlib"; exit 77; }
bin=$(cd "$(dirname "$quorbcc")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work PATH="$bin:$PATH"
unset QBLTGT NIVRAKDIR QBC_RESULTS QUORB_OPTIONS QUORB_RESULTS_DIR
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Builds the example into $work/$1 with compiler $2 (and make's arguments
# $3...), then runs it there.
build_and_run() {
  local dir=$work/$1 cc=$2
  shift 2
  cp -r "$tree/examples/firmware" "$dir"
  make -s -C "$dir" CC="$cc" "$@" >"$dir/build.log" 2>&1 || { fail "$dir: build"; cat "$dir/build.log"; return 1; }
  timeout 120 make -s -C "$dir" CC="$cc" "$@" run >"$dir/out" 2>"$dir/err" || fail "$dir: run status $?"
}

# The board's own file differs between builds; the modules and tests do not.
module_lcov() {
  (cd "$work/$1" && quorbreport --exclude board_ --lcov lcov.info >/dev/null) || fail "$1: quorbreport"
  grep -E '^(SF|FN|FNDA|DA|BRDA|LF|LH|BRF|BRH):' "$work/$1/lcov.info"
}

build_and_run plain arm-none-eabi-gcc
grep -q '^failures: 0$' "$work/plain/out" || fail "the plain firmware's tests: $(cat "$work/plain/out")"

every="-PROC=RET -CALL -BLOCK=LOGICAL"
sets=("" "$every -COND=MODIFIED" "$every -COND=MODIFIED -COMPACT" "$every -COND=FORCEEVALUATION -COUNT"
  "$every -COND=MODIFIED -COMPACT" "$every -COND=MODIFIED -COUNT")
cpus=(cortex-m3 cortex-m3 cortex-m3 cortex-m3 cortex-m0 cortex-m0)
for i in "${!sets[@]}"; do
  export QUORB_OPTIONS=${sets[$i]}
  build_and_run host$i "quorbcc gcc" && build_and_run board$i "quorbcc arm-none-eabi-gcc" CPU=${cpus[$i]} || continue
  cmp -s "$work/plain/out" "$work/board$i/out" || fail "set $i: the instrumented firmware prints otherwise"
  cmp -s "$work/plain/out" "$work/host$i/out" || fail "set $i: the host build prints otherwise"
  [ -s "$work/board$i/quorb.qbr" ] || { fail "set $i: no results from the board"; continue; }
  diff <(module_lcov host$i) <(module_lcov board$i) >"$work/diff$i" || {
    fail "set $i (${sets[$i]}, ${cpus[$i]}): the board's coverage differs from the host's"
    head -20 "$work/diff$i"
  }
  # The figures per source, function and category, less the header that names the directory.
  diff <(cd "$work/host$i" && quorbreport --details --functions --exclude board_ | tail -n +3) \
    <(cd "$work/board$i" && quorbreport --details --functions --exclude board_ | tail -n +3) >/dev/null ||
    fail "set $i: the board's figures differ from the host's"
  ticks=$(grep -m1 '^FNDA:[0-9]*,clock_tick$' "$work/board$i/lcov.info" | sed 's/FNDA:\([0-9]*\),.*/\1/')
  expected=1
  [[ ${sets[$i]} == *-COUNT* ]] && expected=3
  [ "${ticks:-0}" = $expected ] || fail "set $i: clock_tick, run by the timer interrupt, recorded ${ticks:-0} times"
done
[ $failed = 0 ] || { cat "$work"/*/err 2>/dev/null | head -20; }
exit $failed
