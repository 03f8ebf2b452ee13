#!/bin/bash
# Builds one dialect case as written and as instrumented, with each compiler
# and language level the case names, runs both and compares them.
#
#   run_dialect.sh <quorbcc1> <build dir> <target dir> all|<turn> <case.c> [instrumentation option...]
#
# "all" builds every compiler at every level; a number <turn> builds each
# compiler and each level at least once, the pairs turning with <turn> (the
# suite gives each case its own turn).
# The case's first comment holds its settings, each on a line of its own:
#   compilers: gcc clang      (the compilers that accept it; missing ones skip)
#   standards: gnu89 c2x ...  (the -std= levels to build at)
#   flags: -msse4.2 ...       (further compiler flags, optional)
#   libs: -lm                 (libraries to link, optional)
#   warns: text               (a warning quorbcc1 must give; otherwise it
#                              must give no message at all)
#   sets: A | B ...           (option sets to instrument with instead of the
#                              command line's, separated by "|"; "default"
#                              stands for no option)
#   needs: avx2               (a CPU feature of /proc/cpuinfo the program
#                              needs to run; without it only the builds run)
# For every compiler and level: the case compiles at -Wall -Wextra; its
# preprocessed form is instrumented without a message; the instrumented file
# compiles with no warning that the original build did not give (same file,
# line and text); run, it prints the same output and ends with the same
# status as the original program.
# Exit status 77 (a skip for CTest) when none of the compilers is installed.
set -u
ulimit -c 0
quorbcc1=$1 build=$2 target=$3 selection=$4 case=$5
shift 5
options=("$@")
name=$(basename "$case" .c)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Built from a copy, so that the FDC file written beside the source stays in
# the work directory.
source=$work/src/$name.c
mkdir "$work/src" && cp "$case" "$source"
export NIVRAKDIR=$build QBLTGT=$target QUORB_SUPPRESS_COPYRIGHT=1 LANG=C

setting() { sed -n "1,/\*\//s/^ *\** *$1: *//p" "$source" | head -n 1; }
compilers=$(setting compilers)
standards=$(setting standards)
read -r -a flags <<<"$(setting flags)"
read -r -a libs <<<"$(setting libs)"
needs=$(setting needs)
warns=$(setting warns)
sets=()
IFS='|' read -r -a sets <<<"$(setting sets)"
for i in "${!sets[@]}"; do sets[i]=$(echo ${sets[i]}); done
[ ${#sets[@]} -gt 0 ] || sets=("${options[*]}")
runnable=1
if [ -n "$needs" ] && ! grep -qw -- "$needs" /proc/cpuinfo; then
  echo "$name: the CPU lacks $needs; the programs are built, not run"
  runnable=0
fi

failed=0 built=0
fail() { echo "FAIL [$name, $cc -std=$std, set '$set']: $*"; failed=1; }

# The warnings of build $1 as "file:line: text", without columns, which
# instrumentation texts on the line may shift.
warnings() {
  sed -n 's/^\([^:]*:[0-9]*\):[0-9]*: warning: /\1: /p' "$work/$1.warnings" | sort
}

# Runs $1 in a fresh directory; leaves its output in $1.out, status in $1.status.
run() {
  rm -rf "$work/run" && mkdir "$work/run"
  (cd "$work/run" && QBC_RESULTS=$work/run/results.qbr exec "$work/$1" >"$work/$1.out" 2>&1)
  echo $? >"$work/$1.status"
}

# Instruments the preprocessed case with option set $set, builds, runs and
# compares it with the original.
check_set() {
  local set_options=() status new
  read -r -a set_options <<<"$set"
  [ "${set_options[*]}" = default ] && set_options=()
  rm -f "$work/$name.c.fdc" "$work/src/$name.c.fdc"
  (cd "$work" && exec "$quorbcc1" "$work/$name.i" "$work/instrumented.c" gcc.def "${set_options[@]}" -NOINFO \
    >/dev/null 2>"$work/messages")
  status=$?
  if [ $status != 0 ] || grep -q ' - ERROR\| - FATAL' "$work/messages" ||
      { [ -z "$warns" ] && [ -s "$work/messages" ]; } ||
      { [ -n "$warns" ] && ! grep -qF -- "$warns" "$work/messages"; }; then
    fail "instrumentation (status $status):"; cat "$work/messages"; return
  fi
  if ! "${compile[@]}" "$work/instrumented.c" "${libs[@]}" -o "$work/instrumented" \
      2>"$work/instrumented.warnings"; then
    fail "the instrumented file does not compile:"; cat "$work/instrumented.warnings"; return
  fi
  new=$(comm -13 <(warnings original) <(warnings instrumented))
  [ -z "$new" ] || fail "new warnings: $new"
  [ $runnable = 1 ] || return
  run original
  run instrumented
  cmp -s "$work/original.out" "$work/instrumented.out" ||
    fail "output differs: $(diff "$work/original.out" "$work/instrumented.out" | head -n 5)"
  [ "$(cat "$work/original.status")" = "$(cat "$work/instrumented.status")" ] ||
    fail "status $(cat "$work/instrumented.status"), the original's $(cat "$work/original.status")"
  [ -s "$work/run/results.qbr" ] || fail "the instrumented program wrote no results"
}

# The builds, one "compiler level" line each.
pairs() {
  local ccs=($compilers) stds=($standards) cc std i count
  if [ "$selection" = all ]; then
    for cc in "${ccs[@]}"; do
      for std in "${stds[@]}"; do echo "$cc $std"; done
    done
    return
  fi
  count=${#stds[@]}
  ((${#ccs[@]} > count)) && count=${#ccs[@]}
  for ((i = 0; i < count; i++)); do
    echo "${ccs[(selection + i) % ${#ccs[@]}]} ${stds[i % ${#stds[@]}]}"
  done
}

mapfile -t plan < <(pairs)
for pair in "${plan[@]}"; do
  read -r cc std <<<"$pair"
  [ "$cc" = clang ] && cc=$(command -v clang-14 || command -v clang || echo clang)
  command -v "$cc" >/dev/null 2>&1 || { echo "$cc is not installed"; continue; }
  built=1
  compile=("$cc" "-std=$std" -Wall -Wextra "${flags[@]}")
  if ! "${compile[@]}" "$source" "${libs[@]}" -o "$work/original" 2>"$work/original.warnings"; then
    fail "the case itself does not compile:"; cat "$work/original.warnings"; continue
  fi
  "$cc" "-std=$std" "${flags[@]}" -E "$source" -o "$work/$name.i" || { fail "preprocessing"; continue; }
  for set in "${sets[@]}"; do
    check_set
  done
done
[ $built = 1 ] || exit 77
exit $failed
