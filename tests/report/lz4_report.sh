#!/bin/bash
# A report of lz4 (fetched by the launcher's lz4_fetch.sh) for a small
# change: lib/lz4.c gets an exclusion region around its version and bound
# queries and one rewritten condition; the lz4 command, built through the
# launcher, runs a round trip; then --filter keeps lib/, the region's
# branches count apart with its reason, and --diff of the change reports
# the changed lines of lib/lz4.c alone (both its variants: lz4hc.c includes
# it with other macros).
#
#   lz4_report.sh <quorbcc> <lz4 source tree>
set -u
quorbcc=$1 sources=$2
[ -f "$sources/Makefile" ] || { echo "SKIPPED: no lz4 sources in $sources"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
quorbreport=$(dirname "$quorbcc")/quorbreport

cp -r "$sources" "$work/lz4"
cd "$work/lz4" || exit 1
cp lib/lz4.c "$work/lz4.c.orig"
# The region covers the two one-line functions LZ4_versionNumber and
# LZ4_compressBound (lines 605 to 607 before the change); the condition
# "dstCapacity >= LZ4_compressBound(srcSize)" is written the other way round.
grep -q '^int LZ4_versionNumber (void)' lib/lz4.c && grep -q '^int LZ4_compressBound(int isize)' lib/lz4.c ||
  { echo "lz4.c is not the expected version"; exit 1; }
awk '/^int LZ4_versionNumber \(void\)/ { print "/* quorb: exclude start \"version queries\" */" }
     !done && index($0, "if (dstCapacity >= LZ4_compressBound(srcSize)) {") {
       $0 = "    if (LZ4_compressBound(srcSize) <= dstCapacity) {"; done = 1 }
     { print }
     /^int LZ4_compressBound\(int isize\)/ { print "/* quorb: exclude stop */" }' \
  "$work/lz4.c.orig" >lib/lz4.c
diff -u --label a/lib/lz4.c --label b/lib/lz4.c "$work/lz4.c.orig" lib/lz4.c >"$work/change.diff"
[ "$(grep -c '^[-+][^-+]' "$work/change.diff")" = 4 ] || fail "the change: $(cat "$work/change.diff")"

QUORB_OPTIONS="-PROC=RET -BLOCK=LOGICAL -COND=MODIFIED -NOWARNINGS" make -s -j2 -C programs lz4 CC="$quorbcc gcc" \
  >"$work/build.log" 2>&1 || { fail "build: $(tail "$work/build.log")"; exit 1; }
programs/lz4 -q -f lib/lz4.c "$work/x.lz4" && programs/lz4 -q -d -f "$work/x.lz4" "$work/back" &&
  cmp -s lib/lz4.c "$work/back" || fail "round trip"

# Rows of a table: the first word of each line between the heading and TOTAL.
rows() { awk '$1 == "file" { on = 1; next } $1 == "TOTAL" { on = 0 } on && NF { print $1 }' "$1"; }

"$quorbreport" --filter '^lib/' >"$work/filtered.txt" 2>"$work/filtered.err" || fail "--filter: $(cat "$work/filtered.err")"
grep -qv '^lib/' <(rows "$work/filtered.txt") && fail "--filter kept: $(rows "$work/filtered.txt" | grep -v '^lib/')"
grep -qx 'lib/lz4.c' <(rows "$work/filtered.txt") || fail "--filter lost lib/lz4.c: $(cat "$work/filtered.txt")"
grep -q 'warning' "$work/filtered.err" && fail "--filter warned: $(cat "$work/filtered.err")"

# The region holds two functions, each with an entry and an exit at least.
"$quorbreport" --details --filter '^lib/lz4\.c$' >"$work/details.txt" 2>&1 || fail "--details: $(cat "$work/details.txt")"
region=$(grep -o 'excluded: lines [0-9]*-[0-9]* "version queries" ([0-9]* branches)' "$work/details.txt")
first=$(grep -n 'quorb: exclude start' lib/lz4.c | cut -d: -f1)
last=$(grep -n 'quorb: exclude stop' lib/lz4.c | cut -d: -f1)
[[ "$region" =~ ^excluded:\ lines\ $first-$last\ .*\(([0-9]+)\ branches\)$ ]] && [ "${BASH_REMATCH[1]}" -ge 4 ] ||
  fail "the region ($first-$last): '$region' in $(grep -i exclu "$work/details.txt")"

"$quorbreport" --diff "$work/change.diff" >"$work/changed.txt" 2>&1 || fail "--diff: $(cat "$work/changed.txt")"
# lib/lz4.c has two variants: lz4hc.c includes it with other macros.
grep -q 'Coverage of changed lines of 2 files' "$work/changed.txt" || fail "--diff: $(head -3 "$work/changed.txt")"
[ "$(rows "$work/changed.txt" | tr '\n' ' ')" = "lib/lz4.c lib/lz4.c " ] || fail "--diff rows: $(rows "$work/changed.txt")"
exit $failed
