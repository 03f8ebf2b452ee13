#!/bin/sh
# Builds quorbcc1 and runs the test suite, less the tests labelled `long`
# (every csmith seed, generated program, compiler, language level and cell
# mode, which scripts/run_long_tests.sh adds before a release); `--long` runs
# them too. SANITIZE=1 builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/.
set -eu
cd "$(dirname "$0")/.."
select="-LE long"
if [ "${1:-}" = --long ]; then
  select=""
fi
sh scripts/install_deps.sh
build=build
flags=""
if [ "${SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  flags="-DQUORB_SANITIZE=ON"
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo $flags >/dev/null
cmake --build "$build" -j"$(nproc)"
# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" $select
