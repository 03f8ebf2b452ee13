#!/bin/sh
# Copies the example project examples/wordfreq into <dir>, builds it with
# make through the launcher, runs it, shows its coverage files and the
# report's summary, and writes the HTML report.
#
#   show_example.sh <quorbcc> <dir>
set -e
quorbcc=$1 dir=$2
examples=$(cd "$(dirname "$0")/../examples" && pwd)
rm -rf "$dir"
mkdir -p "$dir"
cp "$examples"/wordfreq/* "$dir"/
cd "$dir"
options="-PROC=RET -CALL -BLOCK=LOGICAL -COND=MODIFIED"
echo "--- make CC=\"quorbcc gcc\" in $dir, with QUORB_OPTIONS=\"$options\":"
QUORB_OPTIONS="$options" make -j2 CC="$quorbcc gcc"
echo "--- ./wordfreq -n 3 sample.txt, its results going to wordfreq.qbr:"
QBC_RESULTS=wordfreq.qbr ./wordfreq -n 3 sample.txt
echo "--- the coverage definition files, beside the sources:"
ls ./*.fdc
echo "--- the functions (PR) and blocks (BL) that table.c.fdc describes:"
grep -E '^(PR|BL) ' table.c.fdc
echo "--- the results: per FDC block (F key checksum), the branches that ran:"
cat wordfreq.qbr
echo "--- quorbreport -r wordfreq.qbr --html html ."
"$(dirname "$quorbcc")/quorbreport" -r wordfreq.qbr --html html .
echo "--- the HTML report: $dir/html/index.html"
