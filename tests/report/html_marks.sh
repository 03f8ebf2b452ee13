#!/bin/bash
# Changed lines and excluded branches on an HTML page, in headless Chromium:
# a small program with an exclusion region (a reasoned error path) is
# instrumented, run, and changed by one added line; the report of that diff
# marks the added line "changed"; the report of the whole file marks the
# region's lines "excluded" with the reason as their tooltip, lists the
# region (linked to its first line), and its jump to the next miss passes
# over the excluded lines. Exit 77 without
# chromium.
#   html_marks.sh <build dir> <work dir>
set -u
build=$1 work=$2
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not installed"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work/src" && cd "$work/src" || exit 1
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1

# Lines 3-7 are the excluded region; line 10 (return 0 for 0) is added by
# the change. check(5) runs: the then blocks of lines 4, 9 and 10 never do
# (-BLOCK: statement blocks, no implicit else blocks).
old='int check(int x)
{
  /* quorb: exclude start "negative input is rejected by the caller" */
  if (x < 0) {
    return -1;
  }
  /* quorb: exclude stop */
  if (x > 100)
    return 2;
  return 1;
}
int main(void) { return check(5) == 1 ? 0 : 1; }'
printf '%s\n' "$old" >../old.c
printf '%s\n' "$old" | sed '9a\  if (x == 0) return 0;' >prog.c
diff -u --label a/prog.c --label b/prog.c ../old.c prog.c >../change.diff
gcc -E prog.c -o prog.i && "$build/bin/quorbcc1" prog.i prog_instr.c gcc.def -BLOCK >/dev/null &&
  gcc prog_instr.c -o prog && ./prog || fail "the program did not build and run"
"$build/bin/quorbreport" prog.c.fdc -r quorb.qbr --diff ../change.diff --html ../html >../report.txt 2>&1 ||
  fail "quorbreport: $(cat ../report.txt)"
"$build/bin/quorbreport" prog.c.fdc -r quorb.qbr --html ../all >../all.txt 2>&1 || fail "quorbreport: $(cat ../all.txt)"

flags=(--headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/profile")
check_page() { # <page> <script>
  local copy=${1%.html}-check.html
  { cat "$1"; printf '<script>\n%s\n' "$2"
    printf '%s\n' "var pre=document.createElement('pre');pre.id='result';" \
      "pre.textContent='\nRESULT\n'+out.join('\n')+'\nEND\n';document.body.appendChild(pre);</script>"; } >"$copy"
  timeout 120 "$browser" "${flags[@]}" --dump-dom "file://$copy" 2>/dev/null | sed -n '/^RESULT$/,/^END$/p' |
    sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g; s/&quot;/"/g'
}
rows="
function row(n){var r=document.getElementById('L'+n);return n+' '+r.className+' '+(r.getAttribute('title')||'-');}"
changed=$(check_page "$work/html/file-1.html" "var out=[];$rows
out.push(row(9));out.push(row(10));out.push(row(11));
out.push('marked '+document.querySelectorAll('#source tr.changed').length);")
for expected in "marked 1" "10 partly changed -"; do
  grep -qxF "$expected" <<<"$changed" || { echo "$changed"; fail "changed lines: $expected"; }
done
grep -q "^9 .*changed\|^11 .*changed" <<<"$changed" && { echo "$changed"; fail "a line the change does not touch is marked"; }

excluded=$(check_page "$work/all/file-1.html" "var out=[];$rows
for(var n=2;n<=8;n++)out.push(row(n));
var link=document.querySelector('#exclusions a');out.push('link '+link.getAttribute('href')+' '+link.textContent);
document.dispatchEvent(new KeyboardEvent('keydown',{key:'n'}));
out.push('next '+document.querySelector('#source tr.current').id);")
for expected in '3 excluded excluded: negative input is rejected by the caller' \
  '4 never excluded excluded: negative input is rejected by the caller' \
  '7 excluded excluded: negative input is rejected by the caller' 'link #L3 3-7' 'next L9'; do
  grep -qxF "$expected" <<<"$excluded" || { echo "$excluded"; fail "exclusions: $expected"; }
done
grep -q "^2 .*excluded\|^8 .*excluded" <<<"$excluded" && { echo "$excluded"; fail "a line outside the region is excluded"; }
exit 0
