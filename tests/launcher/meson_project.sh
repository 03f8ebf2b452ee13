#!/bin/bash
# A Meson project (the example's sources as a library and a program) set up
# with CC="quorbcc gcc" and built by Meson's own test command: Meson's
# compiler checks compile uninstrumented (no coverage files in
# meson-private), the objects' FDC files land in the build directory, and
# the test's results in the build directory's quorb.qbr, which quorbreport
# run there reports; the source tree gets no file.
#
#   meson_project.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
command -v meson >/dev/null && command -v ninja >/dev/null || { echo "SKIPPED: meson or ninja is missing"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR" "$work/src"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cp "$tree"/examples/wordfreq/*.[ch] "$tree"/examples/wordfreq/sample.txt "$work/src/"
cat >"$work/src/meson.build" <<'MESON'
project('wordfreq', 'c')
wordcount = static_library('wordcount', 'table.c', 'words.c')
wordfreq = executable('wordfreq', 'main.c', link_with : wordcount)
test('counts', wordfreq, args : ['-n', '2', files('sample.txt')])
MESON
cd "$work" || exit 1
CC="$quorbcc gcc" meson setup src build >setup.log 2>&1 || { fail "setup"; cat setup.log; exit 1; }
meson test -C build >test.log 2>&1 || { fail "meson test"; cat test.log build/meson-logs/testlog.txt; }
[ "$(ls src | tr '\n' ' ')" = "main.c meson.build sample.txt table.c table.h words.c words.h " ] ||
  fail "the source tree changed: $(ls src)"
probes=$(find build/meson-private -name '*.fdc' -o -name '*.qbr')
[ -z "$probes" ] || fail "Meson's checks were instrumented: $probes"
[ "$(find build -name '*.fdc' | wc -l)" = 3 ] || fail "FDC files: $(find build -name '*.fdc')"
[ "$(grep -c '^F ' build/quorb.qbr)" = 3 ] || fail "results: $(cat build/quorb.qbr)"
report=$(cd build && "$(dirname "$quorbcc")/quorbreport" 2>&1) || fail "quorbreport: $report"
grep -q "warning" <<<"$report" && fail "report: $report"
grep -q "^main.c  *100.0%" <<<"$report" || fail "main.c's functions in: $report"
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
