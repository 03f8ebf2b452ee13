#!/bin/sh
# Builds quorbcc1 and runs the test suite, less the tests labelled `long`
# (every csmith seed, generated program, compiler, language level and cell
# mode, which scripts/run_long_tests.sh adds before a release); `--long` runs
# them too. SANITIZE=1 builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/. TSAN=1 builds quorbcc1 and
# what the tests that instrument need with ThreadSanitizer into build-tsan/,
# and runs those tests only (label instrumenting).
set -eu
cd "$(dirname "$0")/.."
select="-LE long"
if [ "${1:-}" = --long ]; then
  select=""
fi
sh scripts/install_deps.sh
build=build
flags=""
targets=""
if [ "${SANITIZE:-0}" = 1 ] && [ "${TSAN:-0}" = 1 ]; then
  echo "run_tests.sh: SANITIZE=1 and TSAN=1 exclude each other" >&2
  exit 2
fi
if [ "${SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  flags="-DQUORB_SANITIZE=ON"
elif [ "${TSAN:-0}" = 1 ]; then
  build=build-tsan
  flags="-DQUORB_TSAN=ON"
  targets="--target quorbcc1 parse_check frontend_tests instrument_tests output_tests driver_tests"
  # 100,000 nested statements need gigabytes of stack, which ThreadSanitizer
  # shadows four times over: the host runs out of memory.
  select="$select -L instrumenting -E ^cli\\.walk_hostile_trees\$"
  TSAN_OPTIONS="suppressions=$(pwd)/tests/tsan.supp ${TSAN_OPTIONS:-}"
  export TSAN_OPTIONS
fi
# shellcheck disable=SC2086
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo $flags >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" $targets
# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" $select
