#!/bin/bash
# The RIK listing of real sources is complete under every coverage type:
# stripped of its markup it is the source byte for byte, its tags nest, and
# it lists every registered branch as often as the per-function listing does.
#
#   listing_complete.sh <quorbcc1> <listing_check> <this folder> <lz4 tree or "">
#
# Sources: macros.c (macros hiding conditions, comments inside and across
# macro calls, an inactive region, tabs, CRLF) with a generated line of more
# than 5,000 bytes appended; a UTF-16 copy of it; lz4's lib/lz4.c when the
# lz4 tree was fetched.
set -u
quorbcc1=$1 check=$2 here=$3 lz4=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
coverage="-PROC=RET -CALL -BLOCK=LOGICAL"
option_sets=("$coverage -COND=MODIFIED" "$coverage -COND=COMPOUND" "$coverage -COND=FORCEEVALUATION")

# Instruments $1 (preprocessed from source $2, shown as UTF-8 by $3) with
# every option set, with and without the source listing, and checks it.
check_listing() {
  local input=$1 source=$2 utf8=$3 set
  for set in "${option_sets[@]}"; do
    rm -f listed.fdc summary.fdc
    # shellcheck disable=SC2086
    "$quorbcc1" "$input" instr.c gcc.def $set -NOWARNINGS -FDCNAME=listed.fdc >run.out 2>&1 &&
      "$quorbcc1" "$input" instr.c gcc.def $set -NOWARNINGS -NOSOURCE -FDCNAME=summary.fdc >>run.out 2>&1 ||
      { echo "FAIL: quorbcc1 on $source with $set"; cat run.out; failed=1; continue; }
    "$check" listed.fdc "$(basename "$source")" "$utf8" summary.fdc >check.out ||
      { echo "FAIL: listing of $source with $set"; head -20 check.out; failed=1; }
  done
}

cp "$here/macros.c" "$here/macros.h" .
{
  printf 'int long_line(int a)\r\n{\r\n\tint s = 0;\r\n\t'
  for k in $(seq 1 250); do printf 'if (a == %d) s += %d; ' $k $k; done
  printf '\r\n\treturn s;\r\n}\r\n'
} >>macros.c
[ "$(wc -L <macros.c)" -gt 5000 ] || { echo "FAIL: no long line generated"; failed=1; }
gcc -E macros.c -o macros.i || exit 1
check_listing macros.i macros.c macros.c

# The same text saved as UTF-16 little-endian with its mark: the listing is
# the UTF-8 text without the mark.
mkdir utf16 && cd utf16 || exit 1
for f in macros.c macros.h; do { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "../$f"; } >"$f"; done
gcc -E -ffreestanding -finput-charset=UTF-16 macros.c -o macros.i || exit 1
check_listing macros.i macros.c ../macros.c
cd .. || exit 1

if [ -n "$lz4" ] && [ -f "$lz4/lib/lz4.c" ]; then
  gcc -E -I"$lz4/lib" "$lz4/lib/lz4.c" -o lz4.i || exit 1
  check_listing lz4.i "$lz4/lib/lz4.c" "$lz4/lib/lz4.c"
else
  echo "lz4 not fetched: its listing is not checked"
fi
[ $failed = 0 ] && echo "every listing complete"
exit $failed
