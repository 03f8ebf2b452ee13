#!/bin/bash
# Fails when the binary holds code of the instrumentor's parser and layers
# above it: symbols of frontend::, instrument:: or driver::, or the C
# grammar's qcparse. quorbreport reads output files only, so none of them
# may be linked into it.
#   check_report_symbols.sh BINARY
set -u

binary=${1:?usage: check_report_symbols.sh BINARY}
command -v nm >/dev/null || { echo "nm not installed"; exit 77; }
[ -f "$binary" ] || { echo "no such file: $binary" >&2; exit 2; }

symbols=$(nm -C "$binary") || { echo "nm cannot read $binary" >&2; exit 2; }
[ -n "$symbols" ] || { echo "$binary has no symbol table" >&2; exit 2; }
found=$(grep -E '(^|[^[:alnum:]_:])(frontend|instrument|driver)::|[^[:alnum:]_]qcparse' <<<"$symbols")
if [ -n "$found" ]; then
  echo "$binary links parser or instrumentor code ($(wc -l <<<"$found") symbols), for example:"
  head -20 <<<"$found"
  exit 1
fi
echo "no parser or instrumentor symbols in $binary"
