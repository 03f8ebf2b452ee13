#!/bin/bash
# Compares the counts of instrumented programs with gcc's own coverage: each
# program is preprocessed once; the preprocessed text is built with gcc
# --coverage -O0 and run (gcov's JSON report gives function, line and
# branch counts), and instrumented by quorbcc1 with every coverage type and
# -COUNT, built and run: with gcc at -O0 or -O2, or (one program in four,
# preprocessed by it) with clang-14 at either level, the choice turning with
# the program's number. Both builds must print the same output and end with
# the same status, and gcov_compare must find every count it compares equal
# (the rules are in count_rules.h).
#
#   check_gcov.sh <build dir> <work dir> csmith <first seed> <count>
#       csmith programs from <first seed> on until <count> of them were
#       compared; a seed whose coverage build does not end within its time
#       limit is replaced by the next one (listed at the end)
#   check_gcov.sh <build dir> <work dir> seed <seed>
#       one csmith seed, to reproduce a failure
#   check_gcov.sh <build dir> <work dir> generated <first seed> <count>
#       programs of the random program generator of tests/oracle
#   check_gcov.sh <build dir> <work dir> program <source.c> [flag...]
#       one C program, preprocessed with the flags
#   check_gcov.sh <build dir> <work dir> detects <source.c>
#       the comparison itself: after the program passed, one more execution
#       added to every count of one kind (P, C or B) in its results file must
#       be reported as mismatches of that kind
#
# A program's files stay in the work dir when it fails. Exit status 77 (a
# skip for CTest) when a needed tool is missing.
set -u
ulimit -c 0
. "$(cd "$(dirname "$0")" && pwd)/../program_runs.sh"

# The coverage build runs with a CPU-time limit, which does not depend on
# the machine's load, so the choice of seeds is the same on every run.
reference_cpu=1 reference_wall=60
instrumented_cpu=20 instrumented_wall=300
coverage_options=(-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -COUNT)
# The instrumented builds, one per program in turn: "compiler level".
instrumented_builds=("gcc -O0" "gcc -O2" "gcc -O0" "clang-14 -O2" "gcc -O2" "gcc -O0" "gcc -O2" "clang-14 -O0")

# True when status file $1 says the process ran out of time or was killed
# by a signal (gcc's coverage data is then not written).
cut_short() {
  (($(cat "$1") > 128)) || [ "$(cat "$1")" = 124 ]
}

label=
number=0  # chooses the instrumented build
failures=0
fail() {
  echo "FAIL [$label]: $*"
  failures=$((failures + 1))
}

# Builds $dir/$name.i with --coverage, runs it and writes gcov's report into
# $dir/gcov/$name.json. Status 2 when the program is cut short.
build_coverage() {
  local program=$dir/gcov/$name
  mkdir -p "$dir/gcov"
  # Compiled from $dir, so that gcov's relative source names are relative to
  # it, as quorbcc1's are.
  if ! (cd "$dir" && gcc -O0 -w --coverage -c "$name.i" -o "gcov/$name.o" &&
    gcc -O0 -w --coverage "gcov/$name.o" "${support[@]}" -o "gcov/$name" -lm -pthread) >"$program.log" 2>&1; then
    fail "the coverage build failed:"
    head -n 20 "$program.log"
    return 1
  fi
  run_program "$program" "" "$reference_cpu" "$reference_wall"
  cut_short "$program.status" && return 2
  if ! (cd "$dir/gcov" && gcov --branch-probabilities --json-format --stdout "$name.o") >"$program.json" 2>"$program.gcov.log"; then
    fail "gcov failed:"
    head -n 20 "$program.gcov.log"
    return 1
  fi
}

# Instruments $dir/$name.i, builds and runs it, compares its behaviour with
# the coverage build's and its counts with gcov's.
check_instrumented() {
  local program=$dir/instr/$name reference=$dir/gcov/$name part source=$name.i compiler level
  read -r compiler level <<<"${instrumented_builds[number % ${#instrumented_builds[@]}]}"
  command -v "$compiler" >/dev/null 2>&1 || compiler=gcc
  label="$label, $compiler $level"
  mkdir -p "$dir/instr"
  rm -f "$dir"/*.fdc
  # gcc's expansion of the C library headers is not valid for clang.
  if [ "$compiler" != gcc ] && ! (cd "$dir" && "$compiler" "${flags[@]}" -E "$name.c" -o "${name}_clang.i") \
      2>"$dir/preprocess.log"; then
    fail "preprocessing failed:"
    head -n 20 "$dir/preprocess.log"
    return 1
  fi
  [ "$compiler" != gcc ] && source=${name}_clang.i
  if ! (cd "$dir" && "$quorbcc1" "$source" "${name}_instr.c" gcc.def "${coverage_options[@]}") >"$dir/quorbcc1.log" 2>&1; then
    fail "quorbcc1 ${coverage_options[*]} failed:"
    head -n 20 "$dir/quorbcc1.log"
    return 1
  fi
  if ! "$compiler" "$level" -w "$dir/${name}_instr.c" "${support[@]}" -o "$program" -lm -pthread >"$program.log" 2>&1; then
    fail "the instrumented file does not compile:"
    head -n 20 "$program.log"
    return 1
  fi
  run_program "$program" "$program.qbr" "$instrumented_cpu" "$instrumented_wall"
  for part in status out err; do
    if ! cmp -s "$reference.$part" "$program.$part"; then
      fail "the instrumented program's $part differs from the coverage build's:"
      diff -u "$reference.$part" "$program.$part" | head -n 20
      return 1
    fi
  done
  local fdc=("$dir"/*.fdc)
  if [ ! -f "${fdc[0]}" ]; then
    fail "quorbcc1 wrote no FDC file"
    return 1
  fi
  if ! "$compare" "$program.qbr" "$reference.json" "$dir" "${fdc[@]}" >"$dir/compare.log" 2>&1; then
    fail "counts differ from gcov's:"
    head -n 40 "$dir/compare.log"
    return 1
  fi
  tail -n 1 "$dir/compare.log" >"$dir/summary"
}

# Checks $dir/$name.c, preprocessed with ${flags[@]}. Status 0 passed,
# 1 failed, 2 cut short.
check_program() {
  local before=$failures status
  if ! (cd "$dir" && gcc "${flags[@]}" -E "$name.c" -o "$name.i") 2>"$dir/preprocess.log"; then
    fail "preprocessing failed:"
    head -n 20 "$dir/preprocess.log"
    return 1
  fi
  build_coverage
  status=$?
  [ $status = 0 ] || return $status
  check_instrumented
  [ $failures = "$before" ]
}

# Totals of the comparisons made, from each program's summary line.
compared_total=(0 0 0)
add_summary() {
  local entries calls blocks
  [ -f "$dir/summary" ] || return
  read -r _ entries _ calls _ blocks _ <"$dir/summary"
  compared_total=($((compared_total[0] + entries)) $((compared_total[1] + calls)) $((compared_total[2] + blocks)))
}

# Leaves a passed program's files out of the work dir, keeps a failed one's.
finish_program() {
  local status=$1 rerun=$2
  add_summary
  if [ "$status" != 1 ]; then
    rm -rf "$dir"
  else
    echo "  files kept in $dir; rerun alone with:"
    echo "  bash $here/check_gcov.sh $build <work dir> $rerun"
  fi
}

# Generates csmith seed $1 into $dir and checks it.
check_seed() {
  local seed=$1 status
  number=$seed
  flags=(-I"$csmith_headers")
  dir=$work/seed_$seed name=random_$seed
  label="csmith seed $seed"
  rm -rf "$dir" && mkdir -p "$dir"
  if ! generate_csmith "$seed" "$dir" "$name"; then
    fail "csmith failed"
    return 1
  fi
  check_program
  status=$?
  finish_program $status "seed $seed"
  return $status
}

# Generates program $1 of the tests/oracle generator into $dir and checks it;
# its truth support is linked into both builds as it is (gcov reports only
# the program's own object).
check_generated() {
  local seed=$1 status
  number=$seed
  flags=(-I"$oracle_dir")
  support=("$oracle_dir/truth_support.c")
  dir=$work/generated_$seed name=generated_$seed
  label="generated program $seed"
  rm -rf "$dir" && mkdir -p "$dir"
  # gcc's coverage does not count through computed gotos exactly (their
  # abnormal edges carry no counter: a function entered once was reported
  # entered five times, against its own count of 1); such programs stay with
  # the count oracle.
  if ! "$generator" --disable=computed-goto "$seed" "$dir/$name.c" "$dir/$name.truth" >"$dir/generator.log" 2>&1; then
    fail "the generator failed:"
    head -n 20 "$dir/generator.log"
    return 1
  fi
  check_program
  status=$?
  finish_program $status "generated $seed 1"
  return $status
}

# Runs check_$1 on seeds from $2 on until $3 programs were compared.
run_seeds() {
  local check=$1 first=$2 count=$3 seed compared=0 passed=0 status replaced=()
  local last=$((first + 3 * count))
  for ((seed = first; compared < count; seed++)); do
    if ((seed >= last)); then
      echo "FAIL: only $compared of $count programs compared in $first..$((last - 1))"
      failures=$((failures + 1))
      break
    fi
    "$check" "$seed"
    status=$?
    case $status in
      0) compared=$((compared + 1)) passed=$((passed + 1)) ;;
      1) compared=$((compared + 1)) ;;
      2) replaced+=("$seed") ;;
    esac
  done
  echo "compared $compared programs ($first..$((seed - 1))): $passed passed, $((compared - passed)) failed"
  echo "counts compared with gcov's in passed programs: ${compared_total[0]} function entries, ${compared_total[1]} calls, ${compared_total[2]} blocks"
  echo "replaced ${#replaced[@]} programs cut short (time limit or signal): ${replaced[*]}"
}

# Checks that gcov_compare reports counts of kind $1 ("P entry", "C call",
# "B block") raised by one in the results file of the passed program in $dir.
detects_raised() {
  local kind=$1 what=$2 raised=$dir/instr/raised_$1.qbr
  awk -v kind="$kind" '$1 == kind && NF == 3 { $3 = $3 + 1 } { print }' "$dir/instr/$name.qbr" >"$raised"
  "$compare" "$raised" "$dir/gcov/$name.json" "$dir" "$dir"/*.fdc >"$raised.log" 2>&1
  local status=$?
  if [ $status != 1 ] || ! grep -q "^MISMATCH .*, $what $kind [0-9]" "$raised.log"; then
    fail "raised $what counts were not reported (status $status):"
    head -n 20 "$raised.log"
  fi
}

# Everything runs from main, read whole before it starts, so that editing
# this file during a run does not change the run.
main() {
  here=$(cd "$(dirname "$0")" && pwd)
  build=$(cd "$1" && pwd) work=$2 mode=$3
  shift 3
  quorbcc1=$build/bin/quorbcc1
  compare=$build/bin/gcov_compare
  export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
  unset QBC_RESULTS
  support=()  # sources linked uninstrumented into both builds
  require gcc gcov timeout
  [ -x "$compare" ] || { echo "$compare is not built"; exit 77; }
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  case $mode in
    csmith | seed)
      require csmith
      [ -f "$csmith_headers/csmith.h" ] || { echo "$csmith_headers/csmith.h is not installed"; exit 77; }
      if [ "$mode" = seed ]; then
        check_seed "$1"
        status=$?
        [ $status = 2 ] && { echo "seed $1: the coverage build was cut short"; exit 77; }
        [ $status = 0 ] && echo "seed $1: passed"
        exit $status
      fi
      run_seeds check_seed "$1" "$2"
      ;;
    generated)
      oracle_dir=$(cd "$here/../oracle" && pwd)
      generator=$build/bin/program_generator
      [ -x "$generator" ] || { echo "$generator is not built"; exit 77; }
      run_seeds check_generated "$1" "$2"
      ;;
    program)
      local source=$1
      shift
      flags=("$@")
      name=$(basename "$source" .c)
      dir=$work/$name label=$name
      rm -rf "$dir" && mkdir -p "$dir"
      # A copy, so that the FDC file is written beside it and not in the sources.
      cp "$source" "$dir/$name.c"
      check_program
      status=$?
      [ $status = 2 ] && fail "the coverage build was cut short"
      [ $status = 0 ] && { echo "$label: passed: $(cat "$dir/summary")"; rm -rf "$dir"; }
      [ $status = 0 ] || echo "  files kept in $dir"
      ;;
    detects)
      name=$(basename "$1" .c)
      dir=$work/$name label="detects $name"
      flags=()
      rm -rf "$dir" && mkdir -p "$dir"
      cp "$1" "$dir/$name.c"
      check_program || { echo "  files kept in $dir"; exit 1; }
      detects_raised P entry
      detects_raised C call
      detects_raised B block
      [ $failures = 0 ] && { echo "$label: every raised kind was reported"; rm -rf "$dir"; }
      ;;
    *)
      echo "unknown mode $mode"
      exit 2
      ;;
  esac
  [ $failures = 0 ]
}

main "$@"; exit
