#!/bin/bash
# Cuts real gcc -E output at many points and parses every piece in one
# process: each must end with a syntax error or a clean parse, never a
# crash, an internal error or a fatal error.
#
#   parse_truncated.sh <parse_check> <definition> <work dir> <source> <pieces>
#
# Exit status 77 (a skip for CTest) when gcc is not installed.
set -u
check=$1 definition=$2 work=$3 source=$4 pieces=$5
if ! command -v gcc >/dev/null 2>&1; then
  echo "gcc is not installed"
  exit 77
fi
mkdir -p "$work"
whole="$work/whole.i"
gcc -std=gnu17 -O2 -D_GNU_SOURCE -E "$source" -o "$whole" || exit 1
size=$(stat -c %s "$whole")
files=()
# Odd steps, so that the cuts fall inside tokens, lines and directives alike.
step=$((size / pieces | 1))
for ((cut = 1; cut < size; cut += step)); do
  head -c "$cut" "$whole" >"$work/piece_$cut.i"
  files+=("$work/piece_$cut.i")
done
"$check" "$definition" "${files[@]}" >/dev/null 2>&1
status=$?
echo "${#files[@]} pieces of $size bytes, parse_check status $status"
# 0: every piece parsed, 1: some had syntax errors; anything else is a fault.
[ "$status" -le 1 ]
