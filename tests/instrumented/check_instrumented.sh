#!/bin/bash
# Proves on real programs that instrumentation keeps their behaviour: each
# program is preprocessed, built as it is (the reference) and instrumented by
# quorbcc1 with every coverage option set of coverage_sets.sh, each build at
# -O0 and -O2; every instrumented build must print the same standard output
# and error and end with the same status as the reference at the same level,
# and leave a well-formed results file (check_results.awk). A deterministic
# program covers the same branches, the same number of times, at -O0 and
# -O2, and the counting set covers the same branches as its flagging twin:
# both are checked too.
#
#   check_instrumented.sh <build dir> <work dir> csmith <first seed> <count>
#       csmith programs from <first seed> on until <count> of them were
#       compared; a seed whose reference does not end within its time limit
#       is replaced by the next one (listed at the end, never counted)
#   check_instrumented.sh <build dir> <work dir> seed <seed>
#       one csmith seed, to reproduce a failure (status 77 when its reference
#       does not end in time)
#   check_instrumented.sh <build dir> <work dir> program <source.c> <compiler> [flag...]
#       one program of the source tree, with a compiler and its flags
#
# Seeds whose number is a multiple of 4 are built with clang-14 (and
# preprocessed by it: gcc's expansion of the C library headers is not valid
# for clang), the others with gcc. A program's files stay in the work dir when
# it fails. Exit status 77 (a skip for CTest) when a needed tool is missing.
set -u
ulimit -c 0
here=$(cd "$(dirname "$0")" && pwd)
. "$here/coverage_sets.sh"
. "$here/../program_runs.sh"

# The reference runs with a CPU-time limit, which does not depend on the
# machine's load, so the choice of seeds is the same on every run; the wall
# limits only stop hung processes.
reference_cpu=1 reference_wall=60
instrumented_cpu=20 instrumented_wall=300

# Compiler of seed $1: clang-14 for one seed in four when it is installed.
seed_compiler() {
  if (($1 % 4 == 0)) && command -v clang-14 >/dev/null 2>&1; then
    echo clang-14
  else
    echo gcc
  fi
}

# True when status file $1 says the process ran out of time.
timed_out() {
  case $(cat "$1") in
    124 | 137 | 152) return 0 ;;  # timeout, SIGKILL, SIGXCPU
    *) return 1 ;;
  esac
}

# Context of the current program for failure messages.
label=
failures=0
fail() {
  echo "FAIL [$label]: $*"
  failures=$((failures + 1))
}

# Shows the first differing lines of files $1 and $2.
show_diff() {
  diff -u "$1" "$2" | head -n 30
}

# Compiles $1 (a .i or .c file) into $2 with $compiler at level $3.
compile() {
  "$compiler" "${flags[@]}" "-$3" -w -pipe "$1" -o "$2" -lm -pthread 2>"$2.log"
}

# Builds and runs the reference of $dir/$name.i at both levels. Status 2 when
# it does not end in time.
build_reference() {
  local level program
  for level in O0 O2; do
    program=$dir/reference.$level/$name
    mkdir -p "${program%/*}"
    if ! compile "$dir/$name.i" "$program" "$level"; then
      fail "the reference does not compile at -$level:"
      head -n 20 "$program.log"
      return 1
    fi
    run_program "$program" "" "$reference_cpu" "$reference_wall"
    timed_out "$program.status" && return 2
  done
  return 0
}

# Instruments $dir/$name.i with set $1 into $dir/$1.c.
instrument() {
  local set=$1 options
  read -ra options <<<"$(coverage_set_options "$set")"
  # A fresh FDC file each time: a previous one would be merged into it.
  rm -f "$dir/$name.c.fdc"
  if ! (cd "$dir" && "$quorbcc1" "$name.i" "$set.c" gcc.def "${options[@]}") >"$dir/$set.log" 2>&1; then
    fail "quorbcc1 $(coverage_set_options "$set") failed:"
    head -n 20 "$dir/$set.log"
    return 1
  fi
}

# Compares run $2 of set $1 at level $3 with the reference at that level.
compare_run() {
  local set=$1 program=$2 level=$3 reference=$dir/reference.$3/$name part counting=0
  local -A what=([out]="standard output" [err]="standard error" [status]="exit status")
  for part in status out err; do
    if ! cmp -s "$reference.$part" "$program.$part"; then
      fail "set $set ($(coverage_set_options "$set")), $compiler -$level: ${what[$part]} differs from the reference's:"
      show_diff "$reference.$part" "$program.$part"
      return 1
    fi
  done
  if [ ! -f "$program.qbr" ]; then
    fail "set $set, $compiler -$level: no results file"
    return 1
  fi
  coverage_set_counts "$set" && counting=1
  if ! awk -v declared="$dir/$set.c" -v counting=$counting -f "$here/check_results.awk" "$program.qbr"; then
    fail "set $set ($(coverage_set_options "$set")), $compiler -$level: malformed results file"
    return 1
  fi
}

# The branches of results file $1 with their counts added up over its
# sections, one "kind branch count" line each ($2 = branches: without the
# counts).
coverage_of() {
  awk -v counts="${2:-counts}" '/^[PCBK] / { sum[$1 " " $2] += $3 }
    END { for (b in sum) print (counts == "branches" ? b : b " " sum[b]) }' "$1" | sort
}

# Same coverage at both levels, and the counting set covers what set A does.
compare_coverage() {
  local set level O0 O2
  for set in $coverage_sets; do
    O0=$dir/$set.O0/$name.qbr O2=$dir/$set.O2/$name.qbr
    [ -f "$O0" ] && [ -f "$O2" ] || continue
    if ! cmp -s <(coverage_of "$O0") <(coverage_of "$O2"); then
      fail "set $set ($(coverage_set_options "$set")), $compiler: the results at -O0 and -O2 differ:"
      show_diff <(coverage_of "$O0") <(coverage_of "$O2")
    fi
  done
  for level in O0 O2; do
    O0=$dir/A.$level/$name.qbr O2=$dir/A_count.$level/$name.qbr
    [ -f "$O0" ] && [ -f "$O2" ] || continue
    if ! cmp -s <(coverage_of "$O0" branches) <(coverage_of "$O2" branches); then
      fail "$compiler -$level: sets A and A_count cover different branches:"
      show_diff <(coverage_of "$O0" branches) <(coverage_of "$O2" branches)
    fi
  done
}

# Checks the program $dir/$name.c (already there) with $compiler and
# ${flags[@]}. Status 0 passed, 1 failed, 2 reference out of time.
check_program() {
  local before=$failures set level program status
  rm -rf "$dir"/reference.* "$dir"/A* "$dir"/B*
  if ! (cd "$dir" && "$compiler" "${flags[@]}" -E "$name.c" -o "$name.i") 2>"$dir/preprocess.log"; then
    fail "preprocessing failed:"
    head -n 20 "$dir/preprocess.log"
    return 1
  fi
  build_reference
  status=$?
  [ $status = 0 ] || return $status
  for set in $coverage_sets; do
    instrument "$set" || continue
    for level in O0 O2; do
      program=$dir/$set.$level/$name
      mkdir -p "${program%/*}"
      if ! compile "$dir/$set.c" "$program" "$level"; then
        fail "set $set ($(coverage_set_options "$set")): the instrumented file does not compile with $compiler -$level:"
        head -n 20 "$program.log"
        continue
      fi
      run_program "$program" "$program.qbr" "$instrumented_cpu" "$instrumented_wall"
      compare_run "$set" "$program" "$level"
    done
  done
  compare_coverage
  [ $failures = "$before" ]
}

# Generates seed $1 into $dir and checks it. Same statuses as check_program.
check_seed() {
  local seed=$1 status
  compiler=$(seed_compiler "$seed")
  flags=(-I"$csmith_headers")
  dir=$work/seed_$seed name=random_$seed
  label="seed $seed, $compiler"
  rm -rf "$dir" && mkdir -p "$dir"
  if ! generate_csmith "$seed" "$dir" "$name"; then
    fail "csmith failed"
    return 1
  fi
  check_program
  status=$?
  if [ $status != 1 ]; then
    rm -rf "$dir"
  else
    echo "  files kept in $dir; rerun this seed alone with:"
    echo "  bash $here/check_instrumented.sh $build <work dir> seed $seed"
  fi
  return $status
}

run_csmith() {
  local first=$1 count=$2 seed compared=0 passed=0 status replaced=()
  local last=$((first + 3 * count))
  for ((seed = first; compared < count; seed++)); do
    if ((seed >= last)); then
      echo "FAIL: only $compared of $count seeds compared in $first..$((last - 1))"
      failures=$((failures + 1))
      break
    fi
    check_seed "$seed"
    status=$?
    case $status in
      0) compared=$((compared + 1)) passed=$((passed + 1)) ;;
      1) compared=$((compared + 1)) ;;
      2) replaced+=("$seed") ;;
    esac
  done
  echo "compared $compared csmith seeds ($first..$((seed - 1))): $passed passed, $((compared - passed)) failed"
  echo "replaced ${#replaced[@]} seeds whose reference ran out of time: ${replaced[*]}"
}

# Everything runs from main, read whole before it starts, so that editing
# this file during a run does not change the run.
main() {
  build=$(cd "$1" && pwd) work=$2 mode=$3
  shift 3
  quorbcc1=$build/bin/quorbcc1
  export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
  unset QBC_RESULTS
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  case $mode in
    csmith | seed)
      require csmith gcc timeout
      command -v clang-14 >/dev/null 2>&1 || echo "clang-14 is not installed: every seed is built with gcc"
      [ -f "$csmith_headers/csmith.h" ] || { echo "$csmith_headers/csmith.h is not installed"; exit 77; }
      if [ "$mode" = seed ]; then
        check_seed "$1"
        status=$?
        [ $status = 2 ] && { echo "seed $1: the reference ran out of time"; exit 77; }
        [ $status = 0 ] && echo "seed $1 ($(seed_compiler "$1")): passed"
        exit $status
      fi
      run_csmith "$1" "$2"
      ;;
    program)
      source=$1 compiler=$2
      shift 2
      flags=("$@")
      require "$compiler" timeout
      name=$(basename "$source" .c)
      dir=$work/$name.$compiler$(printf '%s' "$*" | tr -c 'A-Za-z0-9_=' '_')
      label="$name, $compiler${*:+ $*}"
      rm -rf "$dir" && mkdir -p "$dir"
      # A copy, so that the FDC file is written beside it and not in the sources.
      cp "$source" "$dir/$name.c"
      check_program
      status=$?
      [ $status = 2 ] && fail "the reference ran out of time"
      [ $status = 0 ] && { echo "$label: passed"; rm -rf "$dir"; }
      [ $status = 0 ] || echo "  files kept in $dir"
      ;;
    *)
      echo "unknown mode $mode"
      exit 2
      ;;
  esac
  [ $failures = 0 ]
}

main "$@"; exit
