#!/bin/bash
# lz4 built by make -j2 with CC="quorbcc gcc" for every coverage type, with
# modified and with forced conditions, and without the launcher: the lz4
# command (compress and decompress round trips), frametest and fuzzer (fixed
# seeds, short runs) behave as in the plain build; every lz4 source has its
# FDC file; every results group names an FDC block by its checksum, and only
# branches that this block describes (lib/lz4.c's block is rewritten by
# lz4.c's and lz4hc.c's compiles, several times, and must survive them).
#
#   lz4_build.sh <quorbcc> <lz4 source tree, fetched by lz4_fetch.sh>
set -u
quorbcc=$1 sources=$2
if [ ! -f "$sources/Makefile" ]; then
  echo "SKIPPED: no lz4 sources in $sources (lz4_fetch.sh could not fetch them)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp CFLAGS=-O1
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL [$build]: $*"; failed=1; }

# Every coverage type; quorbcc1's warnings about lz4's code (code never
# reached, loops entered by a jump) are expected and not the launcher's.
coverage="-PROC=RET -CALL -BLOCK=LOGICAL -NOWARNINGS"
builds="plain modified forced"
declare -A options=([modified]="$coverage -COND=MODIFIED" [forced]="$coverage -COND=FORCEEVALUATION")
lz4_sources="lib/lz4.c lib/lz4hc.c lib/lz4frame.c lib/xxhash.c programs/lz4cli.c programs/lz4io.c
  programs/bench.c programs/datagen.c tests/frametest.c tests/fuzzer.c"
run_sources="lib/lz4.c lib/lz4hc.c lib/lz4frame.c lib/xxhash.c programs/lz4cli.c programs/lz4io.c
  tests/frametest.c tests/fuzzer.c"

# The lines of a tester's output that do not depend on timing.
stable() { tr '\r' '\n' | grep -E 'Seed|completed|ratio'; }

# Runs the three programs of build $1, results in $work/$1.qbr (the
# modified build's where the launcher put them: the quorb.qbr files of the
# directories that compiled them, gathered afterwards), outputs in
# $work/$1.out/.
exercise() {
  local tree=$work/$1 out=$work/$1.out f name
  mkdir "$out"
  [ "$1" != modified ] && export QBC_RESULTS=$work/$1.qbr
  printf '' >"$out/empty"
  head -c 200000 "$work/plain/programs/lz4" >"$out/binary"
  for f in "$out/empty" "$out/binary" "$tree/lib/lz4.c" "$tree/NEWS"; do
    name=$(basename "$f")
    for level in 1 9; do
      "$tree/programs/lz4" -q -f -$level "$f" "$out/$name.$level.lz4" || fail "lz4 -$level $name"
      "$tree/programs/lz4" -q -d -f "$out/$name.$level.lz4" "$out/$name.$level.back" || fail "lz4 -d $name"
      cmp -s "$f" "$out/$name.$level.back" || fail "round trip of $name at level $level"
    done
  done
  rm -f "$out/binary" "$out/"*.back
  "$tree/tests/frametest" -s1 -i50 2>&1 | stable >"$out/frametest" || fail "frametest"
  "$tree/tests/fuzzer" -s1 -i20 2>&1 | stable >"$out/fuzzer" || fail "fuzzer"
  unset QBC_RESULTS
}

# Checks the FDC files and the results of build $1.
check_coverage() {
  local tree=$work/$1 source fdcs named
  for source in $lz4_sources; do
    [ -f "$tree/$source.fdc" ] || fail "no FDC file for $source"
  done
  mapfile -t fdcs < <(find "$tree" -name '*.fdc')
  [ -s "$work/$1.qbr" ] || { fail "no results"; return; }
  named=$(awk -v results="$work/$1.qbr" -v tree="$tree/" '
    function number(hex,   n, i) {
      n = 0
      for (i = 3; i <= length(hex); i++) n = n * 16 + index("0123456789ABCDEF", substr(hex, i, 1)) - 1
      return sprintf("%.0f", n)
    }
    $1 == "PR" || $1 == "BL" { branch[substr($1, 1, 1) " " $2] = 1 }
    $1 == "DC" {
      block = sprintf("%.0f", $2); owner[block] = substr(FILENAME, length(tree) + 1)
      for (b in branch) known[block " " b] = 1
      delete branch
    }
    END {
      while ((getline line < results) > 0) {
        split(line, word, " ")
        if (word[1] == "R") continue
        if (word[1] == "F") {
          block = number(word[3])
          if (!(block in owner)) {
            print "BAD no FDC block has the checksum of " line
            block = ""
            continue
          }
          ran[owner[block]] = 1
        } else if (block != "" && (word[1] == "P" || word[1] == "B") && !((block " " word[1] " " word[2]) in known)) {
          print "BAD " owner[block] " has no branch " word[1] " " word[2]
        }
      }
      for (f in ran) print f
    }' "${fdcs[@]}")
  if grep -q '^BAD' <<<"$named"; then
    grep '^BAD' <<<"$named" | sed "s/^BAD /FAIL [$1]: /"
    failed=1
  fi
  for source in $run_sources; do
    grep -qx "$source.fdc" <<<"$named" || fail "the results do not name $source"
  done
}

# quorbreport with no arguments at the top of build $1's tree finds its FDC
# and results files and reports the runs.
report_from_tree() {
  local report
  find "$work/$1" -name quorb.qbr -exec cat {} + >"$work/$1.qbr"
  report=$(cd "$work/$1" && "$(dirname "$quorbcc")/quorbreport" 2>&1) || fail "quorbreport: $report"
  grep -q "warning" <<<"$report" && fail "quorbreport warned: $report"
  grep -Eq "^lib/lz4.c +[1-9]" <<<"$report" || fail "lib/lz4.c not reported as run: $report"
}

for build in $builds; do
  cp -r "$sources" "$work/$build"
  # The shared source cache may hold what a run of quorbcc1 wrote beside it.
  find "$work/$build" \( -name '*.fdc' -o -name '*.qbr' \) -delete
  if [ $build = plain ]; then
    make -s -j2 -C "$work/$build/tests" lz4 frametest fuzzer >"$work/$build.log" 2>&1 || fail "build: $(cat "$work/$build.log")"
  else
    QUORB_OPTIONS="${options[$build]}" make -s -j2 -C "$work/$build/tests" lz4 frametest fuzzer CC="$quorbcc gcc" \
      >"$work/$build.log" 2>&1 || fail "build: $(cat "$work/$build.log")"
    grep 'quorbcc' "$work/$build.log" && fail "the launcher complained"
  fi
  [ $failed = 0 ] || exit 1
  exercise $build
  [ $build = modified ] && report_from_tree $build
  if [ $build != plain ]; then
    diff -r "$work/plain.out" "$work/$build.out" || fail "the programs behave differently from the plain build"
    check_coverage $build
  fi
done
[ "$(ls -A "$TMPDIR")" = "" ] || { build=all; fail "left in TMPDIR: $(ls -A "$TMPDIR")"; }
exit $failed
