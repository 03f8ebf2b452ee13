#!/bin/bash
# Parses a preprocessed file of about 10 MB, many copies of the header
# program with renamed functions, without error or warning. How fast it goes
# is measured by the parser benchmark, not here.
#
#   parse_large.sh <parse_check> <definition> <work dir> <source>
#
# Exit status 77 (a skip for CTest) when gcc is not installed.
set -u
check=$1 definition=$2 work=$3 source=$4
if ! command -v gcc >/dev/null 2>&1; then
  echo "gcc is not installed"
  exit 77
fi
mkdir -p "$work"
copy="$work/one_copy.i" large="$work/large.i"
gcc -std=gnu17 -O2 -D_GNU_SOURCE '-DPROGRAM_NAME(name)=COPY_##name' -E "$source" -o "$copy" || exit 1
: >"$large"
for ((k = 0; $(stat -c %s "$large") < 10000000; k++)); do
  sed "s/COPY_/copy${k}_/g" "$copy" >>"$large"
done
"$check" "$definition" "$large" || exit 1
echo "parsed $(stat -c %s "$large") bytes ($k copies)"
