#!/bin/bash
# The test compiles a configure script makes, through CC="quorbcc gcc": a
# good program compiles and links silently, a failing one fails as it does
# without the launcher, and the probes that do not compile (-E, --version,
# -V) answer as the compiler does.
#
#   configure_checks.sh <quorbcc>
set -u
quorbcc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
cc="$quorbcc gcc"

# Runs "$cc $@" and gcc "$@" on conftest.c; their statuses must agree, and
# the launcher's must be $expect. Leaves the launcher's output files.
probe() {
  local expect=$1 status plain
  shift
  rm -f conftest conftest.o a.out
  gcc "$@" >/dev/null 2>&1; plain=$?
  rm -f conftest conftest.o a.out
  $cc "$@" >out.txt 2>err.txt; status=$?
  [ $status = $plain ] || fail "$*: status $status, gcc $plain"
  { [ $expect = 0 ] && [ $status = 0 ]; } || { [ $expect != 0 ] && [ $status != 0 ]; } ||
    fail "$*: status $status ($(cat err.txt))"
}

printf 'int main (void) { return 0; }\n' >conftest.c
probe 0 -c -g -O2 conftest.c
[ -f conftest.o ] || fail "no conftest.o"
[ -s out.txt ] || [ -s err.txt ] && fail "a good compile printed: $(cat out.txt err.txt)"
probe 0 -g -O2 conftest.c
[ -x a.out ] || fail "no a.out"
probe 0 -o conftest -g -O2 conftest.c
./conftest || fail "conftest does not run"

# A function that exists and one that does not, declared as configure does.
printf 'char getpid ();\nint main (void) { return getpid () == 0; }\n' >conftest.c
probe 0 -o conftest conftest.c
[ -x conftest ] || fail "getpid: no conftest"
printf 'char no_such_function_x ();\nint main (void) { return no_such_function_x (); }\n' >conftest.c
probe 1 -o conftest conftest.c
[ -e conftest ] && fail "no_such_function_x: conftest was made"

printf '#include <no_such_header_x.h>\nint main (void) { return 0; }\n' >conftest.c
probe 1 -c conftest.c
printf 'int main (void) { syntax error here; }\n' >conftest.c
probe 1 -c conftest.c
printf 'int main (void) { static int a[sizeof (long) == 8 ? 1 : -1]; return a[0]; }\n' >conftest.c
probe 0 -c conftest.c

printf '#include <limits.h>\nint n = INT_MAX;\n' >conftest.c
$cc -E conftest.c >launcher.i && gcc -E conftest.c >plain.i
cmp -s launcher.i plain.i || fail "-E differs"
# GNU as cannot write an object to standard output: the launcher fails as
# gcc does, and quorbcc1's start-up lines stay off standard output.
probe 1 -c conftest.c -o -
[ -s out.txt ] && fail "-o -: standard output: $(cat out.txt)"
probe 0 --version
probe 1 -V
probe 1 -qversion
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
