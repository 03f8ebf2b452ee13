#!/bin/sh
# Installs what is missing, builds quorbcc1 and its compiler launcher quorbcc
# (not the test suite), installs them into ./install, then builds the example
# project examples/wordfreq with make CC="quorbcc gcc" in build/example, runs
# it and shows its coverage files.
set -e
cd "$(dirname "$0")/.."
sh scripts/install_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quorbcc1 quorbcc quorbreport catalogues
cmake --install build --prefix "$PWD/install" >/dev/null
sh scripts/show_example.sh "$PWD/install/bin/quorbcc" "$PWD/build/example"
