#!/bin/bash
# The README's example (scripts/show_example.sh, the last step of
# scripts/run_example.sh) with the launcher of this build: it succeeds, the
# program prints the counts of sample.txt, and the FDC files and the results
# it shows describe table.c's functions.
#
#   example.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work
failed=0
fail() { echo "FAIL: $*"; failed=1; }

sh "$tree/scripts/show_example.sh" "$quorbcc" "$work/example" >"$work/out" 2>&1 || fail "status $?"
# sample.txt holds "the" three times, "dog" twice, then single words in order.
grep -A3 -e '^--- ./wordfreq' "$work/out" | tail -n 3 | cmp -s - <(printf '      3 the\n      2 dog\n      1 brown\n') ||
  fail "the program's output"
grep -A3 -e '^--- the coverage definition files' "$work/out" | tail -n 3 |
  cmp -s - <(printf './main.c.fdc\n./table.c.fdc\n./words.c.fdc\n') || fail "the FDC files"
for function in hash table_init grow table_add by_count table_sort table_free; do
  grep -q "^PR [0-9]* proc \"$function\" " "$work/out" || fail "table.c.fdc lacks $function"
done
[ "$(grep -c '^F 0x' "$work/out")" = 3 ] || fail "the results name $(grep -c '^F 0x' "$work/out") FDC blocks"
[ $failed = 0 ] || cat "$work/out"
exit $failed
