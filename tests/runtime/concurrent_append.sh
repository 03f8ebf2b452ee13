#!/bin/bash
# Two processes dump large sections into one results file at the same time:
# every section must come out whole (a section is one write() on a file
# opened with O_APPEND), with none lost.
#
#   concurrent_append.sh <TP.h directory> <compiler>
set -u
tpdir=$1 cc=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
readonly BRANCHES=3000 DUMPS=40

cat >"$work/dumper.c" <<SOURCE
#define USE_QBC 1
#define QBC_INFORMATION 2
#include "$tpdir/TP.h"
_QBC_DECLARE_PROC(1,1)
_QBC_DECLARE_BLOC(1,$BRANCHES)
_QBC_DECLARE(1,0x5EUL,0x5FUL,1,_QBC_TAB_PROC(1),0,0,$BRANCHES,_QBC_TAB_BLOC(1),0,0)

static void mark_all(void)
{_QBC_LINK(1);{_QBC_PROC_IN(1,0);{
  int i;
  for (i = 0; i < $BRANCHES; i++)
    _QBC_BLOC(1,i);
}}}

int main(void)
{
  int k;
  for (k = 0; k < $DUMPS; k++) {
    mark_all();
    _QBCPQ_DUMP(_QBCPQ_RESET);
  }
  return 0;
}
SOURCE
$cc -O2 -Wall -Wextra -Werror "$work/dumper.c" -o "$work/dumper" || exit 1
cd "$work" || exit 1
QBC_RESULTS=shared.qbr ./dumper & first=$!
QBC_RESULTS=shared.qbr ./dumper & second=$!
wait $first || { echo "first dumper failed"; exit 1; }
wait $second || { echo "second dumper failed"; exit 1; }

# A whole section: R, F, P 0 1, then B 0 .. B <BRANCHES - 1>, each count 1.
awk -v branches=$BRANCHES -v dumps=$DUMPS -v first=$first -v second=$second '
  function fail(why) { printf "line %d: %s: %s\n", NR, why, $0; bad = 1; exit 1 }
  function close_section() { if (pid != "" && next_branch != branches) fail("section cut after B " next_branch - 1) }
  /^R / { close_section(); pid = $2; sections[pid]++; state = "F"; next_branch = 0; next }
  state == "F" { if ($0 != "F 0x5E 0x5F") fail("expected the F line"); state = "P"; next }
  state == "P" { if ($0 != "P 0 1") fail("expected P 0 1"); state = "B"; next }
  state == "B" { if ($0 != "B " next_branch " 1") fail("expected B " next_branch); next_branch++; next }
  { fail("line outside a section") }
  END {
    if (bad) exit 1
    close_section()
    if (sections[first] != dumps || sections[second] != dumps)
      { printf "sections: %d and %d, expected %d each\n", sections[first], sections[second], dumps; exit 1 }
  }' shared.qbr
