#!/bin/bash
# Tracing, performance and memory profiling of a small program (analyses.c)
# through the whole chain: instrumented by quorbcc1 with -TRACE -MEMPRO
# -PERFPRO, compiled against the bundled runtime, run, and shown by
# quorbreport --analyses: its routines in the profile, the leak at the line
# of its malloc(), the double free, and a call tree with the right nesting.
# Skipped (77) without gcc.
#   analyses_end_to_end.sh <build dir> <source dir> <work dir>
set -u
build=$1 source=$2 work=$3
command -v gcc >/dev/null || { echo "gcc not installed"; exit 77; }
fail() { echo "FAIL: $*"; cat report.txt errors.txt 2>/dev/null; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
cp "$source/tests/report/analyses.c" .
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
gcc -E analyses.c -o analyses.i || fail "preprocessing"
"$build/bin/quorbcc1" analyses.i traced.c gcc.def -TRACE -MEMPRO -PERFPRO -NOINFO >/dev/null || fail "quorbcc1"
gcc -w traced.c -o traced || fail "compiling the instrumented file"
[ "$(./traced)" = 5 ] || fail "running"
"$build/bin/quorbreport" --analyses --html html >report.txt 2>errors.txt || fail "quorbreport"
[ ! -s errors.txt ] || fail "warnings: the records do not match the TSF file"

# Routines by their opening lines: leaf 7, middle 9, lose 14, twice 19, main 25.
for routine in "leaf +analyses.c:7 +2 " "middle +analyses.c:9 +1 " "lose +analyses.c:14 +1 " \
               "twice +analyses.c:19 +1 " "main +analyses.c:25 +1 "; do
  sed -n '/^Performance profile/,/^$/p' report.txt | grep -Eq "^  $routine" || fail "profile row $routine"
done
sed -n '/^Leaks:/,/^Bad frees/p' report.txt | grep -Eqx '  lose +analyses\.c:15 +1 +40' || fail "the leak"
sed -n '/^Bad frees:/,/^$/p' report.txt | grep -Eqx '  freed again +twice +analyses\.c:22 +1' || fail "double free"
tree=$(sed -n '/^Trace of process/,$p' report.txt | sed 's/ [0-9.]* [mun]*s$//')
expected="  main (analyses.c:25)
    middle (analyses.c:9)
      leaf (analyses.c:7)
      leaf (analyses.c:7)
    lose (analyses.c:14)
    twice (analyses.c:19)"
[ "$(echo "$tree" | sed -n '2,7p')" = "$expected" ] || { echo "$tree"; fail "call tree"; }
for page in index profile memory trace; do [ -s "html/$page.html" ] || fail "html/$page.html"; done
grep -q 'href="trace.html"' html/index.html || fail "index links"
echo "ok"
