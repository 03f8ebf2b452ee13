#!/bin/bash
# The bundled runtime on a cross-compiled Linux target: examples/wordfreq
# and threads_fork.c (two threads, a forked child) built with
# "quorbcc aarch64-linux-gnu-gcc" and run under qemu-aarch64 must record what
# the same sources built with "quorbcc gcc" record on the host, for the
# default coverage and every coverage type, in flag, bit and count cells.
# Host and target builds happen in the same directory, one after the other,
# so that the FDC files, which name their sources, can be compared line by
# line. Compared, per coverage build:
#   - the programs' outputs and exit statuses with the plain host and
#     aarch64 builds';
#   - the FDC files: the same names (no FDC file for a header of the
#     target's C library, which is never instrumented, as the host's is
#     not), the same contents less the build time and gcc's line marker
#     flags (see comparable below); so the same keys and checksums;
#   - the results files as multisets of sections, each section a multiset
#     of groups (an F line with its branch lines), the R lines' pid and time
#     dropped: parent and child write their sections in either order, and a
#     section's groups follow the order in which the units were loaded.
#     Summing counts per branch instead would hide a child that reports the
#     parent's marks while the parent leaves them out;
#   - quorbreport's per-function figures of the project's own sources.
#
#   aarch64_linux.sh <quorbcc> <source tree>
set -u
export LC_ALL=C
quorbcc=$1 tree=$2
here=$(cd "$(dirname "$0")" && pwd)
sysroot=/usr/aarch64-linux-gnu
for tool in aarch64-linux-gnu-gcc qemu-aarch64 gcc make; do
  if ! command -v $tool >/dev/null; then
    echo "SKIPPED: $tool is missing (Debian: gcc-aarch64-linux-gnu, qemu-user)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
quorbreport=$(dirname "$quorbcc")/quorbreport
failed=0 config=probe
fail() { echo "FAIL [$config]: $*"; failed=1; }

declare -A compilers=([host]=gcc [aarch64]=aarch64-linux-gnu-gcc)
declare -A runners=([host]="" [aarch64]="qemu-aarch64 -L $sysroot")

printf 'int main(void) { return 42; }\n' >"$work/probe.c"
aarch64-linux-gnu-gcc "$work/probe.c" -o "$work/probe" >/dev/null 2>&1
qemu-aarch64 -L $sysroot "$work/probe"
if [ $? != 42 ]; then
  echo "SKIPPED: qemu-aarch64 cannot run an aarch64-linux-gnu-gcc program"
  exit 77
fi

# Every coverage type, in flag, bit (-COMPACT) and count cells; the forced
# build's warnings about wordfreq's decisions that cannot be forced are
# expected.
coverage="-PROC=RET -CALL -BLOCK=LOGICAL"
configs="default basic modified forced"
declare -A options=([default]="" [basic]="$coverage -COND -COMPACT" [modified]="$coverage -COND=MODIFIED -COUNT"
  [forced]="$coverage -COND=FORCEEVALUATION -NOWARNINGS")

# Builds the two programs for target $1 in $work/tree, plainly when $2 is
# "plain", else instrumented with options $2; fails when the build fails.
build() {
  local cc=${compilers[$1]} launcher=$quorbcc
  rm -rf "$work/tree"
  cp -r "$tree/examples/wordfreq" "$work/tree"
  cp "$here/threads_fork.c" "$work/tree"
  [ "$2" = plain ] && launcher=
  (
    cd "$work/tree" && export QUORB_OPTIONS="$2" &&
      make -s CC="$launcher $cc" && $launcher "$cc" -O2 -Wall -Wextra -pthread threads_fork.c -o threads_fork
  ) >"$work/build.log" 2>&1 || { fail "$1 build: $(cat "$work/build.log")"; return 1; }
  [ -s "$work/build.log" ] && fail "$1 build said: $(cat "$work/build.log")"
  return 0
}

# Runs the programs of $work/tree on target $1 and moves the tree to $2:
# outputs and statuses in $2/out, results in $2/<program>.qbr.
run() {
  local runner=${runners[$1]} out=$work/tree/out
  (
    cd "$work/tree" || exit 1
    export QBC_RESULTS=$work/tree/wordfreq.qbr
    $runner ./wordfreq -n 5 sample.txt threads_fork.c Makefile missing.txt
    echo "status $?"
    $runner ./wordfreq <sample.txt
    echo "status $?"
    export QBC_RESULTS=$work/tree/threads_fork.qbr
    $runner ./threads_fork
    echo "status $?"
  ) >"$out" 2>&1
  mv "$work/tree" "$2"
}

# The results file $1 in a canonical order: a line per section, its groups
# (an F line with its branch lines joined by ";") sorted and joined by "|",
# then "R" for the section line; the sections sorted.
canonical() {
  awk '$1 == "R" { if (g != "") print s "\t" g; s++; g = ""; print s "\tR"; next }
       $1 == "F" { if (g != "") print s "\t" g; g = $0; next }
       { g = g ";" $0 }
       END { if (g != "") print s "\t" g }' "$1" |
    sort -t $'\t' -k1,1n -k2 |
    awk -F '\t' 'NR > 1 && $1 != s { print line; line = "" }
                 { line = line == "" ? $2 : line "|" $2; s = $1 }
                 END { if (NR) print line }' | sort
}

# The FDC file $1 less what depends on the moment and the compiler, not on
# the source: the build time (the FD line, DATE=) and the flag 4 ("extern
# C") of the line markers in the listing, which the host's gcc sets in
# system headers and the cross compiler does not.
comparable() {
  sed -E -e '/^FD [0-9]+$/d' -e 's/^( *DATE=)[0-9]+$/\1/' -e 's/^(# [0-9]+ "[^"]*"( [123])*) 4$/\1/' "$1"
}

# The project's own sources in quorbreport's figures per function, of the
# build in $1 with both programs' results (the line that counts the sources
# left out is not about them).
figures() {
  (cd "$1" && "$quorbreport" --details --functions --root "$work/tree" --exclude '^/' \
    -r wordfreq.qbr -r threads_fork.qbr . 2>&1) | grep -v '^Left out by'
}

# The entries of the functions named by $3 that the results $2 count in
# threads_fork.c's FDC block in $1: "name=count" words, in $3's order.
entries() {
  awk -v names="$3" '
    function number(hex,   n, i) {
      n = 0
      for (i = 3; i <= length(hex); i++) n = n * 16 + index("0123456789ABCDEF", substr(hex, i, 1)) - 1
      return sprintf("%.0f", n)
    }
    FILENAME == ARGV[1] {
      if ($1 == "PR" && $3 == "proc") name[$2] = substr($4, 2, length($4) - 2)
      if ($1 == "DC") block = sprintf("%.0f", $2)
      next
    }
    $1 == "F" { mine = number($3) == block; next }
    mine && $1 == "P" && ($2 in name) { total[name[$2]] += $3 }
    END {
      n = split(names, wanted, " ")
      for (i = 1; i <= n; i++) printf "%s%s=%d", (i > 1 ? " " : ""), wanted[i], total[wanted[i]]
      print ""
    }' "$1/threads_fork.c.fdc" "$2"
}

# Compares the FDC files, results and reports of the host and aarch64 builds
# of $config.
compare() {
  local host=$work/$config.host target=$work/$config.aarch64 f program
  (cd "$host" && find . -name '*.fdc' | sort) >"$work/host.fdcs"
  (cd "$target" && find . -name '*.fdc' | sort) >"$work/target.fdcs"
  diff "$work/host.fdcs" "$work/target.fdcs" >"$work/fdcs.diff" ||
    fail "FDC files of the host (<) and aarch64 (>) builds: $(cat "$work/fdcs.diff")"
  while read -r f; do
    [ -f "$target/$f" ] || continue
    diff <(comparable "$host/$f") <(comparable "$target/$f") >"$work/fdc.diff" ||
      fail "$f of the host (<) and aarch64 (>) builds: $(head -n 20 "$work/fdc.diff")"
  done <"$work/host.fdcs"
  for program in wordfreq threads_fork; do
    [ -s "$host/$program.qbr" ] || fail "no results of $program on the host"
    canonical "$host/$program.qbr" >"$work/host.results"
    canonical "$target/$program.qbr" >"$work/target.results"
    diff <(tr '|;' '\n\n' <"$work/host.results") <(tr '|;' '\n\n' <"$work/target.results") >"$work/results.diff" ||
      fail "results of $program on the host (<) and aarch64 (>): $(head -n 20 "$work/results.diff")"
  done
  [ "$(awk '$1 == "R" { print $2 }' "$target/threads_fork.qbr" | sort -u | wc -l)" = 2 ] ||
    fail "threads_fork's sections on aarch64 are not of two processes, the parent and the child"
  if [[ ${options[$config]} == *-COUNT* ]]; then
    # threads_fork's 4000 rounds: Classify twice a round in thread 0, once
    # in thread 1, 12 times in the child; Weigh twice a round in each
    # thread, 12 + 3 times in the child.
    for program in "$host" "$target"; do
      f=$(entries "$program" "$program/threads_fork.qbr" "main Work Classify Weigh RunChild")
      [ "$f" = "main=1 Work=2 Classify=12012 Weigh=16015 RunChild=1" ] ||
        fail "function entries counted in $(basename "$program")/threads_fork.qbr: $f"
    done
  fi
  figures "$host" >"$work/host.report"
  figures "$target" >"$work/target.report"
  diff "$work/host.report" "$work/target.report" >"$work/report.diff" ||
    fail "quorbreport of the host (<) and aarch64 (>) builds: $(head -n 20 "$work/report.diff")"
}

for target in host aarch64; do
  config=plain
  build $target plain || exit 1
  run $target "$work/plain.$target"
done
diff "$work/plain.host/out" "$work/plain.aarch64/out" || fail "the plain host and aarch64 programs' outputs differ"
for config in $configs; do
  for target in host aarch64; do
    build $target "${options[$config]}" || exit 1
    run $target "$work/$config.$target"
    diff "$work/plain.host/out" "$work/$config.$target/out" >/dev/null ||
      fail "the $target program's output differs from the plain build's: $(diff "$work/plain.host/out" "$work/$config.$target/out")"
  done
  compare
done
[ "$(ls -A "$TMPDIR")" = "" ] || { config=all; fail "left in TMPDIR: $(ls -A "$TMPDIR")"; }
exit $failed
