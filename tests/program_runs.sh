# Shell functions shared by the suites that build and run generated
# programs (instrumented programs, the count oracle, the gcov cross-check);
# sourced, not run.

# csmith's programs stay small and quick to build with these limits; every
# construct (volatile, static initialisers, jumps, bit fields, packed
# structures) stays enabled.
csmith_options="--max-funcs 3 --max-block-depth 3 --max-expr-complexity 6 --concise"
csmith_headers=/usr/include/csmith

# Exits with 77 (a CTest skip) when one of the tools is not installed.
require() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$tool is not installed"
      exit 77
    fi
  done
}

# Runs program $1 in its own directory with results file $2 (or none when
# empty), CPU limit $3 and wall limit $4 seconds; leaves $1.out, $1.err and
# $1.status.
run_program() {
  local program=$1 results=$2 cpu=$3 wall=$4
  (
    cd "${program%/*}" || exit 99
    ulimit -t "$cpu"
    ulimit -f 20480  # 20 MB: a program that prints without end must not fill the disk
    if [ -n "$results" ]; then export QBC_RESULTS=$results; fi
    exec timeout "$wall" "./${program##*/}" </dev/null >"$program.out" 2>"$program.err"
  ) &
  wait $! 2>/dev/null  # no "Killed" notice for a program out of time
  echo $? >"$program.status"
}

# Writes csmith's program of seed $1 as $2/$3.c (csmith writes platform.info
# into the current directory, hence the cd).
generate_csmith() {
  (cd "$2" && csmith --seed "$1" $csmith_options --output "$3.c" >/dev/null)
}
