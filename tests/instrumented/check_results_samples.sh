#!/bin/bash
# Runs check_results.awk on hand-written results files: good_* must pass,
# bad_* (each breaking one rule, named in its file name) must be refused.
# Files named *.count.qbr are checked as written by a counting program.
#
#   check_results_samples.sh <samples dir>
set -u
here=$(cd "$(dirname "$0")" && pwd)
samples=$1
failed=0
for file in "$samples"/*.qbr; do
  name=$(basename "$file")
  counting=0
  case $name in *.count.qbr) counting=1 ;; esac
  output=$(awk -v declared="$samples/declared.c" -v counting=$counting -f "$here/check_results.awk" "$file")
  status=$?
  case $name in
    good_*) [ $status = 0 ] || { echo "FAIL $name refused:"; echo "$output"; failed=1; } ;;
    bad_*) [ $status = 1 ] && [ -n "$output" ] || { echo "FAIL $name accepted (status $status)"; failed=1; } ;;
  esac
done
exit $failed
