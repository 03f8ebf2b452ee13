#!/bin/bash
# The test compiles a configure script makes, through CC="quorbcc gcc", here
# instrumented (probe.c; configure's own probe.c compiles plain, below): a
# good program compiles and links silently, a failing one fails as it does
# without the launcher, and the probes that do not compile (-E, --version,
# -V) answer as the compiler does. Then the sources and directories of the
# build systems' configuration probes compile uninstrumented.
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

# Runs "$cc $@" and gcc "$@" on probe.c; their statuses must agree, and
# the launcher's must be $expect. Leaves the launcher's output files.
probe() {
  local expect=$1 status plain
  shift
  rm -f conftest probe.o a.out
  gcc "$@" >/dev/null 2>&1; plain=$?
  rm -f conftest probe.o a.out
  $cc "$@" >out.txt 2>err.txt; status=$?
  [ $status = $plain ] || fail "$*: status $status, gcc $plain"
  { [ $expect = 0 ] && [ $status = 0 ]; } || { [ $expect != 0 ] && [ $status != 0 ]; } ||
    fail "$*: status $status ($(cat err.txt))"
}

printf 'int main (void) { return 0; }\n' >probe.c
probe 0 -c -g -O2 probe.c
[ -f probe.o ] || fail "no probe.o"
[ -s out.txt ] || [ -s err.txt ] && fail "a good compile printed: $(cat out.txt err.txt)"
probe 0 -g -O2 probe.c
[ -x a.out ] || fail "no a.out"
probe 0 -o conftest -g -O2 probe.c
./conftest || fail "conftest does not run"

# A function that exists and one that does not, declared as configure does.
printf 'char getpid ();\nint main (void) { return getpid () == 0; }\n' >probe.c
probe 0 -o conftest probe.c
[ -x conftest ] || fail "getpid: no conftest"
printf 'char no_such_function_x ();\nint main (void) { return no_such_function_x (); }\n' >probe.c
probe 1 -o conftest probe.c
[ -e conftest ] && fail "no_such_function_x: conftest was made"

printf '#include <no_such_header_x.h>\nint main (void) { return 0; }\n' >probe.c
probe 1 -c probe.c
printf 'int main (void) { syntax error here; }\n' >probe.c
probe 1 -c probe.c
printf 'int main (void) { static int a[sizeof (long) == 8 ? 1 : -1]; return a[0]; }\n' >probe.c
probe 0 -c probe.c

printf '#include <limits.h>\nint n = INT_MAX;\n' >probe.c
$cc -E probe.c >launcher.i && gcc -E probe.c >plain.i
cmp -s launcher.i plain.i || fail "-E differs"
# GNU as cannot write an object to standard output: the launcher fails as
# gcc does, and quorbcc1's start-up lines stay off standard output.
probe 1 -c probe.c -o -
[ -s out.txt ] && fail "-o -: standard output: $(cat out.txt)"
probe 0 --version
probe 1 -V
probe 1 -qversion
# Instrumented or not: an instrumented object holds the runtime's symbols.
instrumented() { nm "$1" 2>/dev/null | grep -q _qbc_; }
printf 'int main (void) { return 0; }\n' >probe.c
$cc -c probe.c -o probe.o && instrumented probe.o || fail "probe.c is not instrumented"
rm -f ./*.fdc
cp probe.c conftest.c
$cc -c conftest.c -o plain.o && ! instrumented plain.o || fail "conftest.c is instrumented"
for directory in build/CMakeFiles/CMakeScratch/TryCompile-ab12 build/CMakeFiles/CMakeTmp build/CMakeFiles/3.25.1/CompilerIdC \
  build/meson-private/tmpx1; do
  mkdir -p "$directory" && cp probe.c "$directory/src.c"
  (cd "$directory" && $cc -c src.c -o src.o && ! instrumented src.o) || fail "$directory: instrumented"
done
# CMake compiles its ABI probe from its own modules, in a scratch directory.
mkdir -p modules && cp probe.c modules/CMakeCCompilerABI.c
(cd build/CMakeFiles/CMakeScratch/TryCompile-ab12 && $cc -c "$work/modules/CMakeCCompilerABI.c" -o abi.o && ! instrumented abi.o) ||
  fail "the ABI probe is instrumented"
cp probe.c check_me.c
QUORB_PLAIN="*/nothing/*:*/check_*.c" $cc -c check_me.c -o check.o && ! instrumented check.o || fail "QUORB_PLAIN"
$cc -c check_me.c -o check.o && instrumented check.o || fail "check_me.c without QUORB_PLAIN"
[ "$(ls ./*.fdc build 2>/dev/null | grep -c fdc)" = 1 ] || fail "FDC files of probes: $(find . -name '*.fdc')"
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
