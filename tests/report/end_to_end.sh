#!/bin/bash
# The whole chain on a small program (hello.c): instrumented by quorbcc1, compiled
# against the bundled runtime, run, and reported by quorbreport. The
# results must match the FDC block (key of the full source path, checksum)
# and count both functions and both returns; skipped (77) without gcc.
#   end_to_end.sh <build dir> <source dir> <work dir>
set -u
build=$1 source=$2 work=$3
command -v gcc >/dev/null || { echo "gcc not installed"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$source/tests/report/hello.c" .
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
gcc -E hello.c -o hello.i || fail "preprocessing"
"$build/bin/quorbcc1" hello.i hello_instr.c gcc.def -PROC=RET -BLOCK=DECISION >/dev/null || fail "quorbcc1"
gcc -w hello_instr.c -o hello_instr || fail "compiling the instrumented file"
./hello_instr two words >/dev/null || fail "running"
"$build/bin/quorbreport" hello.c.fdc --details >summary.txt 2>errors.txt || { cat summary.txt errors.txt; fail "quorbreport"; }
[ ! -s errors.txt ] || { cat errors.txt; fail "warnings: the results do not match the block"; }
grep -qx "Coverage of 1 file under $PWD from 1 results section" summary.txt || { cat summary.txt; fail "header"; }
grep -qx "hello.c" summary.txt || { cat summary.txt; fail "the source's path relative to the current directory"; }
grep -qx "  functions                     2         2   100.0%" summary.txt || { cat summary.txt; fail "functions"; }
grep -qx "  exits                         2         2   100.0%" summary.txt || { cat summary.txt; fail "exits"; }
echo "ok"
