#!/bin/bash
# An autotools library with its own test suite (GCC's libiberty, fetched by
# libiberty_fetch.sh) configured, built and checked out of tree through
# CC="quorbcc gcc" with every coverage type, as a new user would: configure
# writes the same config.h as a plain configure (its probes compile
# uninstrumented and leave no results), the test suite passes, its results
# land in the build's top directory, quorbreport with no arguments there
# reports them, and the source tree gets no file.
#
#   autotools_project.sh <quorbcc> <cache of libiberty_fetch.sh>
set -u
quorbcc=$1 cache=$2
if [ ! -f "$cache/libiberty/configure" ]; then
  echo "SKIPPED: no libiberty in $cache (libiberty_fetch.sh could not fetch it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR" "$work/plain" "$work/coverage"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
touch "$work/start"

(cd "$work/plain" && "$cache/libiberty/configure" >configure.log 2>&1) || { fail "plain configure"; exit 1; }
export QUORB_OPTIONS="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -NOWARNINGS"
cd "$work/coverage" || exit 1
"$cache/libiberty/configure" CC="$quorbcc gcc" >configure.log 2>&1 || { fail "configure"; cat configure.log; exit 1; }
cmp -s "$work/plain/config.h" config.h || fail "config.h differs: $(diff "$work/plain/config.h" config.h)"
left=$(find . -name '*.fdc' -o -name '*.qbr')
[ -z "$left" ] || fail "configure's probes left coverage files: $left"

make -j2 >make.log 2>&1 || { fail "make"; tail -20 make.log; exit 1; }
grep -q "quorbcc:" make.log && fail "the launcher spoke: $(grep quorbcc: make.log | head -5)"
make check >check.log 2>&1 || { fail "make check"; tail -20 check.log; }
grep -q "^PASS: " check.log || fail "no test passed: $(tail -5 check.log)"
results=$(find . -name '*.qbr')
[ "$results" = "./quorb.qbr" ] || fail "results files: $results"

"$(dirname "$quorbcc")/quorbreport" >report.txt 2>report.err || fail "quorbreport: $(cat report.err)"
[ -s report.err ] && fail "quorbreport warned: $(cat report.err)"
# Paths are relative to the sources' common directory. test-demangle runs
# the demangler, no test the regular expression matcher.
demangler=$(awk '$1 == "libiberty/cp-demangle.c" { print $2 }' report.txt)
matcher=$(awk '$1 == "libiberty/regex.c" { print $2 }' report.txt)
[ -n "$demangler" ] && [ "$demangler" != "0.0%" ] || fail "cp-demangle.c's functions: '$demangler' in $(cat report.txt)"
[ "$matcher" = "0.0%" ] || fail "regex.c's functions: '$matcher' in $(cat report.txt)"

changed=$(find "$cache" -newer "$work/start")
[ -z "$changed" ] || fail "the source tree changed: $changed"
exit $failed
