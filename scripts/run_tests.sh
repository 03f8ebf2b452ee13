#!/bin/sh
# Builds quorbcc1 and runs the whole test suite. SANITIZE=1 builds with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/.
set -e
cd "$(dirname "$0")/.."
sh scripts/install_deps.sh
build=build
flags=""
if [ "${SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  flags="-DQUORB_SANITIZE=ON"
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo $flags >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
