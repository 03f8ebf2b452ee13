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
cp examples/hello.c "$work/"
cd "$work"
gcc -E hello.c -o hello.i
"$OLDPWD/install/bin/quorbcc1" hello.i hello_instr.c gcc.def -PROC=RET -BLOCK=DECISION
gcc -Wall -Wextra hello_instr.c -o hello_instr
echo "--- the instrumented program runs:"
QBC_RESULTS=hello.qbr ./hello_instr two words
echo "--- its coverage definition file hello.c.fdc:"
cat hello.c.fdc
echo "--- its results file hello.qbr:"
cat hello.qbr
cd "$OLDPWD"
rm -rf "$work"
