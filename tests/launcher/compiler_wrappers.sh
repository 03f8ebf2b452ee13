#!/bin/bash
# The launcher before a compiler cache or distributor: CC="quorbcc ccache
# gcc" serves a rebuild of unchanged sources from the cache, with the same
# FDC files and the same coverage; CC="quorbcc distcc gcc" compiles the
# instrumented files on a distccd server (here on 127.0.0.1).
#
#   compiler_wrappers.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
command -v ccache >/dev/null && command -v distcc >/dev/null && command -v distccd >/dev/null || exit 77
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT
export TMPDIR=$work/tmp CCACHE_DIR=$work/ccache
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
quorbreport=$(dirname "$quorbcc")/quorbreport

cd "$work" || exit 1
cp "$tree"/examples/wordfreq/*.[ch] "$tree"/examples/wordfreq/sample.txt .

# Builds and runs the example with "$@" as the compiler; the coverage of
# the run is in report.txt.
build_and_run() {
  rm -f ./*.o ./*.fdc quorb.qbr wordfreq
  for source in main table words; do
    "$quorbcc" "$@" -g -O2 -c $source.c -o $source.o || fail "$*: compile $source.c"
  done
  "$quorbcc" "$@" main.o table.o words.o -o wordfreq || fail "$*: link"
  ./wordfreq -n 2 sample.txt >out.txt || fail "$*: wordfreq status $?"
  printf '      3 the\n      2 dog\n' | cmp -s - out.txt || fail "$*: output $(cat out.txt)"
  "$quorbreport" --details >report.txt 2>&1 || fail "$*: quorbreport: $(cat report.txt)"
}

stat() { ccache --print-stats | awk -v name="$1" '$1 == name { print $2 }'; }

build_and_run ccache gcc
mkdir first && cp ./*.fdc report.txt first/
[ "$(stat direct_cache_hit)" = 0 ] || fail "hits in an empty cache"
build_and_run ccache gcc
[ "$(stat direct_cache_hit)" = 3 ] || fail "the rebuild was not served from the cache: $(ccache --print-stats | grep hit)"
for fdc in first/*.fdc; do cmp -s "$fdc" "${fdc#first/}" || fail "${fdc#first/} differs after the cached rebuild"; done
cmp -s first/report.txt report.txt || fail "the cached rebuild's report differs: $(diff first/report.txt report.txt)"

port=$((20000 + $$ % 20000))
TMPDIR=/tmp distccd --no-detach --log-stderr --log-level info --allow 127.0.0.1 --listen 127.0.0.1 --port $port 2>distccd.log &
server=$!
sleep 1
DISTCC_HOSTS=127.0.0.1:$port DISTCC_FALLBACK=0 build_and_run distcc gcc
[ "$(grep -c 'COMPILE_OK.*/quorbcc\.[^ ]*/[^ ]*$' distccd.log)" = 3 ] ||
  fail "distccd did not compile the three instrumented files: $(cat distccd.log)"
cmp -s first/report.txt report.txt || fail "the distcc build's report differs: $(diff first/report.txt report.txt)"
nm words.o | grep -q _qbc_ || fail "distcc: words.o is not instrumented"
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
