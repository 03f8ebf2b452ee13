#!/bin/bash
# Runs one command-line case of quorbcc1 and compares its standard output,
# standard error and exit status with the case's expected files.
#
#   run_case.sh <quorbcc1> <build dir> <case dir>
#
# The case directory holds `cmd` (a bash script run in a fresh temporary
# directory, with $QUORBCC1 naming the binary) and the expected `stdout`,
# `stderr` and `status`. In the expected texts, a line "@USAGE@" stands for
# the usage text (usage.txt beside this script), "@FRENCH_USAGE@" for its
# French form (usage_fr.txt) and @WORK@ for the temporary directory.
set -u
binary=$1 build=$2 case=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

unset LC_ALL LC_MESSAGES QUORB_SUPPRESS_COPYRIGHT
export LANG=C NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORBCC1=$binary
(cd "$work" && bash "$case/cmd" >"$work/.stdout" 2>"$work/.stderr"; echo $? >"$work/.status")

expected() {
  awk -v usage="$here/usage.txt" -v french="$here/usage_fr.txt" -v work="$work" '
    $0 == "@USAGE@" { while ((getline line < usage) > 0) print line; close(usage); next }
    $0 == "@FRENCH_USAGE@" { while ((getline line < french) > 0) print line; close(french); next }
    { gsub(/@WORK@/, work); print }' "$case/$1"
}

failed=0
for stream in stdout stderr status; do
  if ! diff -u <(expected "$stream") "$work/.$stream" >"$work/.diff"; then
    echo "--- $stream of $(basename "$case") differs (expected vs actual):"
    cat "$work/.diff"
    failed=1
  fi
done
exit $failed
