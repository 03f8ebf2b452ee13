#!/bin/bash
# Instruments generated programs that count their own branches and checks,
# branch by branch, that every instrumented build records those counts.
#
#   check_counts.sh <build dir> <work dir> <first seed> <count> [--long] [--all-builds] [--disable=family,...]
#
# For each seed: program_generator writes the program and its manifest; the
# program is built with gcc -O0 and clang-14 -O0 and run (the references);
# its preprocessed form is instrumented with two option sets (modified and
# forced conditions, both with -COUNT); each instrumented file is built with
# gcc and clang-14 at -O0 and -O2 and run: standard output and exit status
# must equal the reference's of the same compiler, and count_oracle must
# find every count the program printed in the results file. A failing seed keeps its files in the work dir and prints
# the command that reruns it alone.
#
# To keep the suite cheap, each option set of a seed is built once, the
# compiler and level turning with the seed (modified conditions with build
# seed % 4 of gcc -O0, gcc -O2, clang-14 -O0, clang-14 -O2, forced ones with
# build (seed + 2) % 4), so four seeds in a row cover all eight; --all-builds
# builds every option set all four ways. --long prints progress every 100
# seeds and instruments each program with one option set, modified and
# forced conditions in turn; long mode over 5,000 programs (about 0.8 s of
# CPU each):
#   tests/oracle/check_counts.sh build /tmp/oracle-long 1 5000 --long
# --disable=... is handed to program_generator (program_generator
# --list-families names the families).
#
# Exit status 0 all passed, 1 a failure, 77 (CTest skip) a tool is missing.
set -u
ulimit -c 0

usage() {
  echo "usage: check_counts.sh <build dir> <work dir> <first seed> <count> [--long] [--all-builds] [--disable=family,...]"
  exit 2
}

[ $# -ge 4 ] || usage
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../program_runs.sh"
build=$(cd "$1" && pwd) || exit 2
work=$2 first=$3 count=$4
shift 4
long=0 every=0 generator_options=()
for arg in "$@"; do
  case $arg in
    --long) long=1 ;;
    --all-builds) every=1 ;;
    --disable=*) generator_options+=("$arg") ;;
    *) usage ;;
  esac
done

require gcc clang-14 timeout
generator=$build/bin/program_generator
oracle=$build/bin/count_oracle
quorbcc1=$build/bin/quorbcc1
for tool in "$generator" "$oracle" "$quorbcc1"; do
  [ -x "$tool" ] || { echo "$tool is not built"; exit 77; }
done
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
unset QBC_RESULTS
mkdir -p "$work"
work=$(cd "$work" && pwd)

declare -A set_options=(
  [modified]="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -COUNT"
  [forced]="-PROC=RET -CALL -BLOCK=LOGICAL -COND=FORCEEVALUATION -COUNT"
)
all_builds=(gcc:O0 gcc:O2 clang-14:O0 clang-14:O2)

# The truth support, built once per compiler and level.
support=$work/support
mkdir -p "$support"
for build_kind in "${all_builds[@]}"; do
  compiler=${build_kind%%:*} level=${build_kind#*:}
  if ! "$compiler" "-$level" -w -c "$here/truth_support.c" -o "$support/$compiler.$level.o"; then
    echo "FAIL: the truth support does not compile with $compiler -$level"
    exit 1
  fi
done

label= failures=0
fail() {
  echo "FAIL [$label]: $*"
  failures=$((failures + 1))
}

# Builds the generated program with compiler $1 at -O0 and runs it: the
# reference of that compiler's builds (the order in which a call's arguments
# are evaluated is the compiler's choice, and the program's counts may
# follow it). False when it fails.
build_reference() {
  local reference=$dir/reference.$1
  if ! "$1" -O0 -w "$dir/prog.c" "$support/$1.O0.o" -o "$reference" 2>"$reference.log"; then
    fail "the generated program does not compile with $1:"
    head -n 20 "$reference.log"
    return 1
  fi
  run_program "$reference" "" 20 60
  case $(cat "$reference.status") in
    0 | 3) ;;
    *) fail "the generated program ends with status $(cat "$reference.status") ($1)"; return 1 ;;
  esac
}

# Checks seed $1 in $dir. Status 0 passed, 1 failed.
check_seed() {
  local seed=$1 set options build_kind compiler level program reference forced builds before=$failures
  "$generator" "${generator_options[@]}" "$seed" "$dir/prog.c" "$dir/prog.truth" || { fail "program_generator failed"; return 1; }
  (cd "$dir" && gcc -E prog.c -o prog.i) || { fail "preprocessing failed"; return 1; }
  local sets=(modified forced)
  # Long mode instruments each program once, the option set turning with
  # the seed, so that thousands of programs fit in an hour.
  [ $long = 1 ] && sets=("${sets[seed % 2]}")
  for set in "${sets[@]}"; do
    options=${set_options[$set]}
    rm -f "$dir/$set.fdc"
    # shellcheck disable=SC2086
    if ! (cd "$dir" && "$quorbcc1" prog.i "$set.c" gcc.def $options "-FDCNAME=$set.fdc") >"$dir/$set.log" 2>&1; then
      fail "quorbcc1 $options failed:"
      head -n 20 "$dir/$set.log"
      continue
    fi
    forced=() builds=("${all_builds[@]}")
    [ $set = forced ] && forced=(--forced)
    if [ $every = 0 ]; then
      local turn=$seed
      [ $long = 1 ] && turn=$((seed / 2))
      if [ $set = forced ]; then builds=("${all_builds[(turn + 2) % 4]}"); else builds=("${all_builds[turn % 4]}"); fi
    fi
    for build_kind in "${builds[@]}"; do
      compiler=${build_kind%%:*} level=${build_kind#*:}
      program=$dir/$set.$compiler.$level
      if ! "$compiler" "-$level" -w "$dir/$set.c" "$support/$compiler.$level.o" -o "$program" 2>"$program.log"; then
        fail "$set ($options): the instrumented file does not compile with $compiler -$level:"
        head -n 20 "$program.log"
        continue
      fi
      rm -f "$program.qbr"
      run_program "$program" "$program.qbr" 20 60
      reference=$dir/reference.$compiler
      [ -f "$reference" ] || build_reference "$compiler" || continue
      if ! cmp -s "$reference.status" "$program.status" || ! cmp -s "$reference.out" "$program.out"; then
        fail "$set ($options), $compiler -$level: output or exit status differs from the reference's:"
        echo "  status $(cat "$reference.status") -> $(cat "$program.status")"
        diff "$reference.out" "$program.out" | head -n 10
        continue
      fi
      if ! "$oracle" "${forced[@]}" "$dir/$set.fdc" "$dir/prog.truth" "$program.out" "$program.qbr" >"$program.oracle" 2>&1; then
        fail "$set ($options), $compiler -$level: recorded counts differ from the program's:"
        head -n 20 "$program.oracle"
      fi
    done
  done
  [ $failures = "$before" ]
}

passed=0
for ((seed = first; seed < first + count; seed++)); do
  dir=$work/seed_$seed
  label="seed $seed"
  rm -rf "$dir" && mkdir -p "$dir"
  if check_seed "$seed"; then
    passed=$((passed + 1))
    rm -rf "$dir"
  else
    echo "  files kept in $dir; rerun this seed alone with:"
    echo "  bash $here/check_counts.sh $build $work $seed 1 --all-builds ${generator_options[*]}"
  fi
  if [ $long = 1 ] && (((seed - first + 1) % 100 == 0)); then
    echo "$((seed - first + 1)) of $count seeds checked, $passed passed"
  fi
done
echo "checked $count generated programs (seeds $first..$((first + count - 1))): $passed passed, $((count - passed)) failed"
[ $passed = "$count" ]
