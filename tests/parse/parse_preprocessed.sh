#!/bin/bash
# Preprocesses a C file with a real compiler and parses the result with the
# bundled definition file; fails on any message of the parse.
#
#   parse_preprocessed.sh <parse_check> <definition> <compiler> <work dir> <source> [flag...]
#
# The compiler first checks that the source is valid C at those flags, so
# that a fault of the test program cannot pass for a fault of the parser.
# Exit status 77 (a skip for CTest) when the compiler is not installed.
set -u
check=$1 definition=$2 compiler=$3 work=$4 source=$5
shift 5
if ! command -v "$compiler" >/dev/null 2>&1; then
  echo "$compiler is not installed"
  exit 77
fi
mkdir -p "$work"
name=$(basename "$source" .c)
output="$work/$name$(printf '%s' "$*" | tr -c 'A-Za-z0-9_=' '_').i"
"$compiler" "$@" -fsyntax-only "$source" || exit 1
"$compiler" "$@" -E "$source" -o "$output" || exit 1
exec "$check" "$definition" "$output"
