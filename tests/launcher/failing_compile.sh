#!/bin/bash
# A compile that fails, through the launcher: the compiler's own messages and
# status come through unchanged whether the preprocessor, quorbcc1 or the
# compiler proper is the first to stumble; a source that quorbcc1 refuses
# fails with quorbcc1's messages, or compiles uninstrumented with one warning
# under QUORB_FALLBACK=1.
#
#   failing_compile.sh <quorbcc>
set -u
quorbcc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

printf 'int f(void) { return 1 }\n' >syntax.c
printf 'int f(void) { return missing + 1; }\n' >undeclared.c
printf '#include "nothere.h"\nint f(void) { return 0; }\n' >include.c
printf '#error stop here\n' >error.c
printf 'int main(void) { return undefined_function(); }\n' >link.c
printf 'int g(int x) { int unused; return x; }\n' >good.c

# Each failing source, compiled alone and in a compile-and-link command, as
# gcc and clang report it without the launcher. Link errors name the object,
# a temporary file either way.
objects='s|/[^ :]*\.o\b|OBJECT|g; s|+0x[0-9a-f]*|+OFFSET|g'
for compiler in gcc clang; do
  command -v $compiler >/dev/null || continue
  for command in "-c syntax.c" "-c undeclared.c" "-c include.c" "-c error.c" "-o prog syntax.c good.c" \
    "-o prog undeclared.c" "-o prog include.c" "-o prog error.c" "-o prog link.c good.c"; do
    $compiler -Wall $command 2>&1 >/dev/null | sed "$objects" >expected.err; expected=${PIPESTATUS[0]}
    "$quorbcc" $compiler -Wall $command 2>&1 >/dev/null | sed "$objects" >actual.err; actual=${PIPESTATUS[0]}
    [ $expected != 0 ] || fail "$compiler $command: the compiler accepts it"
    [ $actual = $expected ] || fail "$compiler $command: status $actual, expected $expected"
    diff expected.err actual.err >/dev/null || { fail "$compiler $command: messages differ"; diff expected.err actual.err; }
    rm -f prog *.o
  done
done

# quorbcc1 refuses every file when given an option it does not know.
"$quorbcc" --qb=-NOSUCHOPTION gcc -c good.c 2>refused.err; status=$?
[ $status = 7 ] || fail "refused: status $status, expected 7"
grep -q NOSUCHOPTION refused.err || fail "refused: quorbcc1's message is missing"
[ "$(tail -n 1 refused.err)" = "quorbcc: good.c: quorbcc1 refused it (status 7); QUORB_FALLBACK=1 compiles it without instrumentation" ] ||
  fail "refused: last line '$(tail -n 1 refused.err)'"
[ ! -e good.o ] || fail "refused: an object was left"

QUORB_FALLBACK=1 "$quorbcc" --qb=-NOSUCHOPTION gcc -c good.c 2>fallback.err; status=$?
[ $status = 0 ] || fail "fallback: status $status"
[ -f good.o ] || fail "fallback: no object"
[ "$(cat fallback.err)" = "quorbcc: warning: good.c compiled without instrumentation: quorbcc1 refused it (status 7)" ] ||
  fail "fallback: messages '$(cat fallback.err)'"

# A compiler for which no definition file is known, and one that is missing.
"$quorbcc" tcc -c good.c 2>unknown.err; status=$?
[ $status = 1 ] && grep -q "^quorbcc: no definition file is known for the compiler tcc: name gcc, clang or cc" unknown.err ||
  fail "unknown compiler: status $status, '$(cat unknown.err)'"
"$quorbcc" no-such-gcc -c good.c 2>missing.err; status=$?
[ $status = 127 ] && [ "$(cat missing.err)" = "quorbcc: cannot run no-such-gcc: No such file or directory (name an installed compiler, or put it on PATH; quorbcc --help)" ] ||
  fail "missing compiler: status $status, '$(cat missing.err)'"
"$quorbcc" 2>usage.err; status=$?
[ $status = 2 ] && grep -q "^usage: quorbcc \[--qb=OPTION\]... COMPILER ARGS...  (quorbcc --help" usage.err ||
  fail "usage: status $status, '$(cat usage.err)'"
# Help and version answer without a compiler; a compiler's own --version
# passes through.
"$quorbcc" --help >help.out 2>&1 && grep -q "QUORB_PLAIN" help.out && grep -q "ccache" help.out ||
  fail "--help: $(cat help.out)"
"$quorbcc" --version >version.out 2>&1 && grep -q "^quorbcc [0-9]" version.out && grep -q "quorbcc1: /" version.out ||
  fail "--version: $(cat version.out)"
[ "$("$quorbcc" gcc --version 2>&1)" = "$(gcc --version 2>&1)" ] || fail "gcc --version differs"

# An interrupt reaches the compiler the launcher runs; the launcher ends by
# it as the compiler does, after removing its private files.
mkdir bin
printf '#!/bin/sh\nsleep 10\ntouch finished\n' >bin/slow-gcc
chmod +x bin/slow-gcc
PATH=$work/bin:$PATH "$quorbcc" slow-gcc -c good.c &
launcher=$!
sleep 1
kill -TERM $launcher
wait $launcher; status=$?
[ $status = 143 ] || fail "interrupted: status $status, expected 143"
[ -e finished ] && fail "interrupted: the compiler was not interrupted"

# Nothing of the launcher's is left behind but its lock file.
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
