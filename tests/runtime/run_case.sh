#!/bin/bash
# Builds one runtime case against TP.h with the given compilers, under
# several C dialects and every coverage cell mode the case allows, runs the
# program and compares its output, exit status and results file with the
# case's expected files.
#
#   run_case.sh <TP.h directory> <case dir> all|<turn> <compiler>...
#
# "all" builds every compiler, dialect and mode. A number <turn> builds each
# mode once (and at least once per compiler), the compiler and dialect
# turning with <turn>: the suite gives each case its own turn, so that the
# cases together reach every combination while each builds a few.
#
# A case directory holds, per translation unit u, the instrumented file as
# quorbcc1 writes it, in parts: `u.pro` the prologue (its "@TPDIR@" is the
# directory of TP.h), `u.src` the source with the instrumentation texts,
# which is run through the preprocessor first and appended to the prologue,
# as quorbcc1 does with its preprocessed input (see instrument() below), and
# optionally `u.head`, preprocessed and placed before the prologue (a
# prologue spliced after declarations). Expected files:
#   expected        the results file; a line "R" stands for a section header
#                   "R <pid> <time>" of this run, "R+" for one of another
#                   process (a child); flag and bit modes
#   expected.count  the same for count mode (default: expected)
#   expected.qbt, expected.qbq, expected.qbp
#                   the trace, performance and memory files (QBT_RESULTS,
#                   QBQ_RESULTS, QBP_RESULTS unset), line by line, each line
#                   a bash pattern (so "*" stands for a pid, time or address)
#   check           a script run by bash in the run directory after the
#                   program, with the TP.h directory and this script's
#                   directory as arguments; it fails the case when it fails
#   stdout          the program's standard output (default: empty)
#   stderr          the program's standard error (default: empty)
#   case.conf       optional shell settings: MODES (cell modes, default
#                   "0 1 2"), STATUS (exit status, default 0), RESULTS
#                   (value given to QBC_RESULTS, default: unset) and
#                   RESULTS_FILE (file to check, default quorb.qbr; "none":
#                   no results file may appear), REPEAT (runs of each build,
#                   default 1; a run that takes over 20 seconds fails), STDS
#                   (the C dialects, default: all four below),
#                   LIBRARY (a unit built as the shared library lib<unit>.so
#                   beside the program instead of being linked in) and
#                   LDFLAGS (for linking the program) and RUNENV (assignments
#                   exported to the program, e.g. "QBT_EVENTS=10").
# The results file is seeded with one line that must survive (append mode).
set -u
ulimit -c 0
tpdir=$1 case=$(cd "$2" && pwd) selection=$3
shift 3
compilers=("$@")
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$case")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shared=0 MODES="0 1 2" STATUS=0 RESULTS= RESULTS_FILE=quorb.qbr REPEAT=1 LIBRARY= LDFLAGS= RUNENV=
STDS=("-std=c89 -pedantic" "-std=c99 -pedantic" "-std=gnu11" "-std=gnu11 -O2 -D_FORTIFY_SOURCE=2")
[ -f "$case/case.conf" ] && . "$case/case.conf"
SEED="X earlier contents"

failed=0
fail() { echo "FAIL [$name, $(basename "$cc") $std, mode $mode, shared runtime $shared]: $*"; failed=1; }

# Builds the instrumented file of unit $1 into $work/$1.c. Under -pedantic the
# preprocessor's line markers are themselves diagnosed, so there the parts
# are copied as they are (system headers then come in through #include,
# still after or before TP.h as in the expanded form).
expand() {
  case "$std" in
    *-pedantic*) cat "$1" ;;
    *) $cc $std -E -x c "$1" ;;
  esac
}
instrument() {
  local unit=$1 out=$work/$1.c
  : >"$out"
  if [ -f "$case/$unit.head" ]; then
    expand "$case/$unit.head" >>"$out" || return 1
  fi
  sed -e "s|@TPDIR@|$tpdir|g" -e "s|^#define QBC_INFORMATION 0$|#define QBC_INFORMATION $mode|" \
    "$case/$unit.pro" >>"$out"
  expand "$case/$unit.src" >>"$out"
}

# Compares the results file with the expected one; $1 pid, $2 and $3 the
# time range of the run (time() reads a coarse clock that may trail date's
# by a tick, hence one second of slack below).
check_results() {
  local pid=$1 t0=$2 t1=$3 expect=$case/expected file=$work/run/$RESULTS_FILE
  [ "$mode" = 2 ] && [ -f "$case/expected.count" ] && expect=$case/expected.count
  if [ "$RESULTS_FILE" = none ]; then
    [ -z "$(ls -A "$work/run")" ] || fail "unexpected files: $(ls -A "$work/run")"
    return
  fi
  [ -f "$file" ] || { fail "no results file $RESULTS_FILE"; return; }
  local -a got want
  mapfile -t got <"$file"
  mapfile -t want < <(printf '%s\n' "$SEED"; cat "$expect")
  [ ${#got[@]} -eq ${#want[@]} ] || fail "results have ${#got[@]} lines, expected ${#want[@]}"
  local i g w
  for ((i = 0; i < ${#want[@]}; i++)); do
    g=${got[i]-<missing>} w=${want[i]}
    if [ "$w" = R ] || [ "$w" = R+ ]; then
      if [[ ! "$g" =~ ^R\ ([0-9]+)\ ([0-9]+)$ ]]; then
        fail "line $((i + 1)): '$g' is not a section header"
      elif [ "$w" = R ] && [ "${BASH_REMATCH[1]}" != "$pid" ]; then
        fail "line $((i + 1)): pid ${BASH_REMATCH[1]}, expected $pid"
      elif [ "$w" = R+ ] && [ "${BASH_REMATCH[1]}" = "$pid" ]; then
        fail "line $((i + 1)): pid ${BASH_REMATCH[1]}, expected $pid"
      elif [ "${BASH_REMATCH[2]}" -lt $((t0 - 1)) ] || [ "${BASH_REMATCH[2]}" -gt "$t1" ]; then
        fail "line $((i + 1)): time ${BASH_REMATCH[2]} outside $t0..$t1"
      fi
    elif [ "$g" != "$w" ]; then
      fail "line $((i + 1)): '$g', expected '$w'"
    fi
  done
}

# Compares each analysis file with its expected patterns.
check_patterns() {
  local ext file want got i
  for ext in qbt qbq qbp; do
    [ -f "$case/expected.$ext" ] || continue
    file=$work/run/quorb.$ext
    [ -f "$file" ] || { fail "no file quorb.$ext"; continue; }
    mapfile -t got <"$file"
    mapfile -t want <"$case/expected.$ext"
    [ ${#got[@]} -eq ${#want[@]} ] || fail "quorb.$ext has ${#got[@]} lines, expected ${#want[@]}"
    for ((i = 0; i < ${#want[@]}; i++)); do
      # The expected line is a pattern: unquoted on purpose.
      [[ "${got[i]-<missing>}" == ${want[i]} ]] ||
        fail "quorb.$ext line $((i + 1)): '${got[i]-<missing>}', expected '${want[i]}'"
    done
  done
  if [ -f "$case/check" ]; then
    (cd "$work/run" && bash "$case/check" "$tpdir" "$here") >"$work/check.out" 2>&1 ||
      fail "check: $(cat "$work/check.out")"
  fi
}

# The builds, one "compiler dialect-index mode shared" line each: with
# shared 1, coverage units take the runtime from a shared runtime, as the
# launcher's GCC objects do (here joined with ld -r rather than assembled
# with the unit: the same code in the same object).
builds() {
  local modes=($MODES) cc i k count
  if [ "$selection" = all ]; then
    for cc in "${compilers[@]}"; do
      for i in "${!STDS[@]}"; do
        for mode in "${modes[@]}"; do echo "$cc $i $mode $(((i + mode) % 2))"; done
      done
    done
    return
  fi
  count=${#modes[@]}
  ((${#compilers[@]} > count)) && count=${#compilers[@]}
  for ((i = 0; i < count; i++)); do
    k=$((selection + i))
    echo "${compilers[k % ${#compilers[@]}]} $((k / ${#compilers[@]} % ${#STDS[@]})) ${modes[i % ${#modes[@]}]} $((k % 2))"
  done
}

# Compiles unit $1 (options $2) into $work/$1.o; with a shared runtime, the
# unit declares the runtime, and the runtime object of the unit's prologue
# is joined in.
compile_unit() {
  local unit=$1 options=$2 variant
  if [ "$shared" = 0 ] || grep -q '^#define USE_QB[TQP]' "$case/$unit.pro"; then
    $cc $std $options -Wall -Wextra -Werror -c "$work/$unit.c" -o "$work/$unit.o" 2>"$work/cc.err"
    return
  fi
  variant=v$mode
  { printf '#define _QBCRT_SHARED %s\n#define _QBCRT_SHARED_RUNTIME 1\n' "$variant"
    sed -e "s|@TPDIR@|$tpdir|g" -e "s|^#define QBC_INFORMATION 0$|#define QBC_INFORMATION $mode|" \
      -e '/^#include/q' "$case/$unit.pro"; } >"$work/runtime.c"
  $cc $std $options -w -c "$work/runtime.c" -o "$work/runtime.o" 2>"$work/cc.err" &&
    $cc $std $options -D_QBCRT_SHARED="$variant" -Wall -Wextra -Werror -c "$work/$unit.c" -o "$work/$unit.unit.o" \
      2>"$work/cc.err" &&
    ld -r -o "$work/$unit.o" "$work/$unit.unit.o" "$work/runtime.o" 2>"$work/cc.err"
}

units=$(cd "$case" && ls *.src | sed 's/\.src$//')
mapfile -t plan < <(builds)
for build in "${plan[@]}"; do
  read -r cc std_index mode shared <<<"$build"
  std=${STDS[std_index]}
  objects=
  for unit in $units; do
    instrument "$unit" || { fail "preprocessing $unit"; continue; }
    pic=
    [ "$unit" = "$LIBRARY" ] && pic=-fPIC
    if ! compile_unit "$unit" "$pic"; then
      fail "compiling $unit:"; cat "$work/cc.err"; continue
    fi
    if [ "$unit" = "$LIBRARY" ]; then
      $cc -shared "$work/$unit.o" -o "$work/lib$unit.so" || fail "linking lib$unit.so"
    else
      objects="$objects $work/$unit.o"
    fi
  done
  [ $failed = 0 ] || break
  $cc $objects $LDFLAGS -o "$work/prog" || { fail "linking"; break; }
  for ((run = 0; run < REPEAT; run++)); do
    rm -rf "$work/run" && mkdir "$work/run"
    [ "$RESULTS_FILE" != none ] && mkdir -p "$(dirname "$work/run/$RESULTS_FILE")" &&
      printf '%s\n' "$SEED" >"$work/run/$RESULTS_FILE"
    t0=$(date +%s)
    (
      cd "$work/run" || exit 99
      if [ -n "$RESULTS" ]; then export QBC_RESULTS=$RESULTS; else unset QBC_RESULTS; fi
      unset QBT_RESULTS QBQ_RESULTS QBP_RESULTS QBT_EVENTS
      for assignment in $RUNENV; do export "${assignment?}"; done
      exec ../prog >../stdout 2>../stderr
    ) &
    pid=$!
    (sleep 20; kill -9 $pid) >/dev/null 2>&1 &
    watchdog=$!
    wait $pid 2>/dev/null  # no "Aborted" notice for the abort case
    status=$?
    kill -9 $watchdog 2>/dev/null; wait $watchdog 2>/dev/null  # SIGKILL: no EXIT trap
    t1=$(date +%s)
    [ "$status" = "$STATUS" ] || fail "exit status $status, expected $STATUS"
    if [ -f "$case/stdout" ]; then
      diff -u "$case/stdout" "$work/stdout" >/dev/null || fail "stdout: $(cat "$work/stdout")"
    else
      [ -s "$work/stdout" ] && fail "stdout: $(cat "$work/stdout")"
    fi
    if [ -f "$case/stderr" ]; then
      diff -u "$case/stderr" "$work/stderr" >/dev/null || fail "stderr: $(cat "$work/stderr")"
    else
      [ -s "$work/stderr" ] && fail "stderr: $(cat "$work/stderr")"
    fi
    check_results $pid $t0 $t1
    check_patterns
    [ $failed = 0 ] || {
      echo "--- results files (run $((run + 1))):"
      for f in "$work/run/$RESULTS_FILE" "$work"/run/quorb.qb[tqp]; do [ -f "$f" ] && cat "$f"; done
      break 2
    }
  done
done
exit $failed
