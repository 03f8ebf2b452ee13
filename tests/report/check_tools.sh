#!/bin/bash
# Runs quorbreport on the fixtures and hands its output to the tool that
# consumes it: genhtml (lcov), xmllint (Cobertura) or headless Chromium
# (HTML: DOM assertions and a screenshot). Exit 77 (skipped) when the tool
# is not installed.
#   check_tools.sh <quorbreport> <fixtures dir> lcov|cobertura|html <work dir>
set -u
report=$1 fixtures=$2 mode=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
inputs=("$fixtures/prog.c.fdc" "$fixtures/util.c.fdc" "$fixtures/forced.c.fdc"
        -r "$fixtures/run1.qbr" -r "$fixtures/run2.qbr")
fail() { echo "FAIL: $*"; exit 1; }

case $mode in
lcov)
  command -v genhtml >/dev/null || { echo "genhtml not installed"; exit 77; }
  "$report" "${inputs[@]}" --lcov "$work/cov.info" >/dev/null 2>&1 || fail "quorbreport"
  # The sources live elsewhere: the pages are made from the tracefile alone.
  genhtml --no-source --branch-coverage --function-coverage -o "$work/html" "$work/cov.info" >"$work/genhtml.log" 2>&1 ||
    { cat "$work/genhtml.log"; fail "genhtml rejected the tracefile"; }
  grep -q "Overall coverage rate" "$work/genhtml.log" || fail "genhtml summary missing"
  # Branches: 14 of 19 in prog.c, 3 of 4 in forced.c.
  grep -q "branches...: 73.9% (17 of 23 branches)" "$work/genhtml.log" || { cat "$work/genhtml.log"; fail "branch rate"; }
  grep -q "functions..: 83.3% (5 of 6 functions)" "$work/genhtml.log" || { cat "$work/genhtml.log"; fail "function rate"; }
  [ -f "$work/html/index.html" ] || fail "no index.html"
  ;;
cobertura)
  command -v xmllint >/dev/null || { echo "xmllint not installed"; exit 77; }
  "$report" "${inputs[@]}" --cobertura "$work/cov.xml" >/dev/null 2>&1 || fail "quorbreport"
  xmllint --noout --nonet --schema "$fixtures/../cobertura.xsd" "$work/cov.xml" || fail "xmllint rejected the file"
  # lines-valid: 11 lines of prog.c, 1 of util.c, 2 of forced.c.
  xmllint --nonet --xpath 'string(/coverage/@branches-valid)' "$work/cov.xml" | grep -qx 23 || fail "branches-valid"
  xmllint --nonet --xpath 'string(/coverage/@lines-valid)' "$work/cov.xml" | grep -qx 14 || fail "lines-valid"
  xmllint --nonet --xpath 'string(//class[@name="prog.c"]/lines/line[@number="13"]/@condition-coverage)' \
    "$work/cov.xml" | grep -qx '60% (3/5)' || fail "condition-coverage of line 13"
  ;;
html)
  browser=$(command -v chromium || command -v chromium-browser || true)
  [ -n "$browser" ] || { echo "chromium not installed"; exit 77; }
  "$report" "${inputs[@]}" --html "$work/html" >/dev/null 2>&1 || fail "quorbreport"
  flags=(--headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/profile")
  timeout 120 "$browser" "${flags[@]}" --dump-dom "file://$work/html/index.html" >"$work/index.dom" 2>/dev/null ||
    fail "chromium could not open the index"
  # One row per file, the totals of every category, the stale results.
  [ "$(grep -o '<tr class="file">' "$work/index.dom" | wc -l)" = 3 ] || fail "file rows"
  grep -q '<tr data-category="functions"><td>functions</td>.*<td>5</td><td>6</td><td>83.3%</td></tr>' "$work/index.dom" ||
    fail "functions total"
  grep -q 'href="file-2.html">prog.c</a>' "$work/index.dom" || fail "link to prog.c"
  grep -q 'older build of util.c' "$work/index.dom" || fail "stale list"
  timeout 120 "$browser" "${flags[@]}" --dump-dom "file://$work/html/file-2.html" >"$work/prog.dom" 2>/dev/null ||
    fail "chromium could not open the file page"
  grep -q '<tr class="never"><td>c</td><td>not shown</td><td>needs row 1 and row 2</td></tr>' "$work/prog.dom" ||
    fail "MC/DC row of c"
  grep -q '<tr class="covered"><td>a</td><td>shown</td><td>row 0 and row 3</td></tr>' "$work/prog.dom" ||
    fail "MC/DC row of a"
  grep -q '<tr class="partly"><td>13</td><td>loops</td><td>while</td><td>0: 0, 1: 0, 2+: 1</td></tr>' "$work/prog.dom" ||
    fail "loop row"
  timeout 120 "$browser" "${flags[@]}" --screenshot="$work/prog.png" --window-size=1200,1600 \
    "file://$work/html/file-2.html" >/dev/null 2>&1 || fail "screenshot"
  [ -s "$work/prog.png" ] || fail "empty screenshot"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "ok: $mode"
