#!/bin/bash
# Root-relative paths read by the tools that consume them: genhtml, run from
# the root, finds the sources of an lcov tracefile whose SF lines are
# relative; xmllint accepts the Cobertura file whose one source is the root.
# A small project with sources in src/ and lib/ and its FDC file written by
# hand; exit 77 (skipped) when the mode's tool is not installed.
#   root_consumers.sh <quorbreport> <schema> lcov|cobertura <work dir>
set -u
report=$1 schema=$2 mode=$3 work=$4
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work/proj/src" "$work/proj/lib" && cd "$work/proj" || exit 1
printf 'int f(void)\n{\n  return 1;\n}\n' >src/a.c
printf 'int g(void)\n{\n  return 2;\n}\n' >lib/b.c
write_fdc() { # <directory> <source name> <function> <key>
  printf 'VE 3.0e CCOV #i6 8.2.0.1\nFC "%s" "%s/"\nFD 1\nTC PR RE\nPR 0 proc "%s" 1 4\nPR 1 return "%s" 3 3\nDC 1 %s\n' \
    "$2" "$PWD/$1" "$3" "$3" "$4" >"$1/$2.fdc"
}
write_fdc src a.c f 10
write_fdc lib b.c g 20
# f() ran, g() did not.
printf 'R 1 1\nF 0xA 0x1\nP 0 1\nP 1 1\n' >quorb.qbr

case $mode in
lcov)
  command -v genhtml >/dev/null || { echo "genhtml not installed"; exit 77; }
  "$report" --lcov cov.info >summary.txt 2>errors.txt || { cat errors.txt; fail "quorbreport"; }
  grep -qx 'SF:src/a.c' cov.info && grep -qx 'SF:lib/b.c' cov.info || { cat cov.info; fail "relative SF lines"; }
  # With the sources: genhtml must open src/a.c and lib/b.c from here.
  genhtml --function-coverage -o html cov.info >genhtml.log 2>&1 || { cat genhtml.log; fail "genhtml rejected the tracefile"; }
  grep -q "functions..: 50.0% (1 of 2 functions)" genhtml.log || { cat genhtml.log; fail "function rate"; }
  [ -f html/src/a.c.gcov.html ] && [ -f html/lib/b.c.gcov.html ] || { ls -R html; fail "no page per source"; }
  grep -q 'return 1;' html/src/a.c.gcov.html || fail "the page of src/a.c does not show its source"
  ;;
cobertura)
  command -v xmllint >/dev/null || { echo "xmllint not installed"; exit 77; }
  "$report" --cobertura cov.xml >summary.txt 2>errors.txt || { cat errors.txt; fail "quorbreport"; }
  xmllint --noout --nonet --schema "$schema" cov.xml || fail "xmllint rejected the file"
  [ "$(xmllint --nonet --xpath 'string(/coverage/sources/source)' cov.xml)" = "$PWD" ] || fail "the source is the root"
  [ "$(xmllint --nonet --xpath 'string(//package[@name="src"]/classes/class/@filename)' cov.xml)" = src/a.c ] ||
    { cat cov.xml; fail "package src and its class"; }
  [ "$(xmllint --nonet --xpath 'string(//package[@name="lib"]/classes/class/@filename)' cov.xml)" = lib/b.c ] ||
    { cat cov.xml; fail "package lib and its class"; }
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "ok: $mode"
