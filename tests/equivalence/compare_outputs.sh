#!/bin/bash
# Proves that two builds of quorbcc1 write the same bytes: every C source
# given (preprocessed here with gcc -E; a .i file is taken as it is) is
# instrumented by both with each
# option set below, one after the other in the same directory, and the
# instrumented file, the FDC files (listing included), the TSF files and the
# messages must be identical. Used against the build of a reference commit
# when the instrumentor's insides are reworked.
#
#   compare_outputs.sh <reference quorbcc1> <quorbcc1> <installation> <work dir> <source.c|file.i>...
#
# <installation> is a build tree holding lib/locale and tdp/gcc (NIVRAKDIR).
set -u
absolute() { (cd "$(dirname "$1")" && echo "$PWD/$(basename "$1")"); }
reference=$(absolute "$1") candidate=$(absolute "$2") installation=$(cd "$3" && pwd) work=$4
shift 4

option_sets=(
  ""
  "-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED"
  "-PROC=RET -CALL -BLOCK=LOGICAL -COND=FORCEEVALUATION -TRACE -MEMPRO -PERFPRO"
  "-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED -COUNT"
  "-PROC -BLOCK=IMPLICIT -COND=MULTIPLE -COMPACT -ALTCHECKSUM -NOFULLPATHKEY -METRICS"
  "-BLOCK -COND -NOCVI -TRACE"
)

export LANG=C NIVRAKDIR=$installation QBLTGT=$installation/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
definitions=$installation/tdp/gcc/ana/gcc.def
mkdir -p "$work"
failures=0 compared=0

# Runs quorbcc1 $1 on input $2 with options $3 in the current directory and
# moves everything it wrote into directory $4.
run_into() {
  local binary=$1 input=$2 options=$3 into=$4
  mkdir -p "$into"
  # shellcheck disable=SC2086
  "$binary" "$input" out.c "$definitions" $options >"$into/messages" 2>&1
  echo "status $?" >>"$into/messages"
  for file in out.c *.fdc *.tsf; do
    if [ -e "$file" ]; then mv "$file" "$into/"; fi
  done
}

# Writes the preprocessed form of source $1 to $2.
preprocess() {
  local source=$1 into=$2
  if [ "${source%.i}" != "$source" ]; then
    cp "$source" "$into"
    return
  fi
  # The copy finds the headers beside its original.
  local origin copy=${into%.i}.c
  origin=$(cd "$(dirname "$source")" && pwd)
  cp "$source" "$copy"
  (cd "$(dirname "$copy")" && gcc -E -I"$origin" "$(basename "$copy")" -o "$(basename "$into")" 2>/dev/null)
}

for source in "$@"; do
  name=$(basename "${source%.[ci]}")
  dir=$work/$name
  rm -rf "$dir" && mkdir -p "$dir"
  if ! preprocess "$source" "$dir/$name.i"; then
    echo "skip $source: does not preprocess"
    continue
  fi
  for index in "${!option_sets[@]}"; do
    options=${option_sets[$index]}
    (cd "$dir" && run_into "$reference" "$name.i" "$options" "ref$index")
    (cd "$dir" && run_into "$candidate" "$name.i" "$options" "new$index")
    compared=$((compared + 1))
    if ! diff -r "$dir/ref$index" "$dir/new$index" >"$dir/diff$index" 2>&1; then
      echo "FAIL $source [$options]: outputs differ (see $dir/diff$index)"
      failures=$((failures + 1))
    fi
  done
done
echo "$compared runs compared, $failures differ"
[ "$failures" -eq 0 ]
