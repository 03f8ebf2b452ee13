#!/bin/bash
# Generates random programs with csmith for a run of fixed seeds,
# preprocesses them with gcc and parses them all with the bundled definition
# file; fails when any of them shows a message.
#
#   parse_csmith.sh <parse_check> <definition> <work dir> <first seed> <count>
#
# Exit status 77 (a skip for CTest) when csmith, its headers or gcc are
# missing.
set -u
check=$1 definition=$2 work=$3 first=$4 count=$5
headers=/usr/include/csmith
for tool in csmith gcc; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed"
    exit 77
  fi
done
if [ ! -f "$headers/csmith.h" ]; then
  echo "$headers/csmith.h is not installed"
  exit 77
fi
mkdir -p "$work"
files=()
for ((seed = first; seed < first + count; seed++)); do
  source="$work/random_$seed.c"
  # A small size limit keeps the generation time of the whole run low.
  csmith --seed "$seed" --max-funcs 3 --output "$source" >/dev/null || exit 1
  gcc -E -I"$headers" "$source" -o "$work/random_$seed.i" || exit 1
  files+=("$work/random_$seed.i")
done
exec "$check" "$definition" "${files[@]}"
