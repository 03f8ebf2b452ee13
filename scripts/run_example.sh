#!/bin/sh
# Installs what is missing, builds quorbcc1, installs it into ./install and
# runs it on the bundled example.
set -e
cd "$(dirname "$0")/.."
sh scripts/install_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cmake --install build --prefix "$PWD/install" >/dev/null
export NIVRAKDIR="$PWD/install" QBLTGT="$PWD/install/tdp/gcc"
work=$(mktemp -d)
gcc -E examples/hello.c -o "$work/hello.i"
set +e
install/bin/quorbcc1 "$work/hello.i" "$work/hello_instr.c" gcc.def -PROC=RET -BLOCK=DECISION
status=$?
echo "quorbcc1 ended with status $status; the instrumented file begins:"
head -n 8 "$work/hello_instr.c"
rm -rf "$work"
exit $status
