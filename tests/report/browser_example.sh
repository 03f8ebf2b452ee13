#!/bin/bash
# The HTML report of the README's example (examples/wordfreq, built by
# scripts/show_example.sh through the launcher) opened in headless Chromium.
# A check script is appended to copies of the pages; it queries the DOM the
# browser built, clicks a macro and a condition, and writes its findings
# into the page, which --dump-dom hands back. A screenshot is taken of the
# page of words.c. Exit 77 (skipped) without chromium, gcc or make.
#   browser_example.sh <build dir> <source dir> <work dir>
set -u
build=$1 source=$2 work=$3
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not installed"; exit 77; }
command -v gcc >/dev/null && command -v make >/dev/null || { echo "gcc or make not installed"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work" || exit 1
export NIVRAKDIR=$build QBLTGT=$build/tdp/gcc QUORB_SUPPRESS_COPYRIGHT=1
sh "$source/scripts/show_example.sh" "$build/bin/quorbcc" "$work/example" >"$work/example.log" 2>&1 ||
  { cat "$work/example.log"; fail "the example did not build and run"; }
html=$work/example/html
flags=(--headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/profile")

# Runs the page with the check script appended; prints what it found.
check_page() { # <page> <script>
  local copy=$html/check-$1
  { cat "$html/$1"; printf '<script>\n%s\n' "$2"
    printf '%s\n' "var pre=document.createElement('pre');pre.id='result';" \
      "pre.textContent='\nRESULT\n'+out.join('\n')+'\nEND\n';document.body.appendChild(pre);</script>"; } >"$copy"
  timeout 120 "$browser" "${flags[@]}" --dump-dom "file://$copy" 2>/dev/null | sed -n '/^RESULT$/,/^END$/p' |
    sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g'  # the DOM is dumped as HTML
}

index=$(check_page index.html "
var out=[], rows=document.querySelectorAll('#files tr.file');
out.push('files '+rows.length);
rows.forEach(function(r){var a=r.querySelector('a');
  out.push('file '+a.textContent.split('/').pop()+' '+a.getAttribute('href')+' bars '+r.querySelectorAll('.bar').length);});")
echo "$index" >"$work/index.result"
grep -qx 'files 3' <<<"$index" || { echo "$index"; fail "the index does not list three files"; }
# Ten categories carried (every type but forced conditions): ten bars a row.
for name in main.c table.c words.c; do
  grep -qx "file $name file-[0-9].html bars 10" <<<"$index" || { echo "$index"; fail "row of $name"; }
done
page=$(sed -n 's/^file words.c \(file-[0-9].html\) .*/\1/p' <<<"$index")

# words.c, run on sample.txt: no word reaches the buffer's size, so the else
# of "if (length + 1 < size)" (line 13, inside the expansion of tolower)
# never runs while its then does; next_word() is entered (line 7).
result=$(check_page "$page" "
var out=[], lines=document.querySelectorAll('#source tr.line');
out.push('lines '+lines.length);
var text=[];
lines.forEach(function(row){var s='';
  row.querySelector('td.code').childNodes.forEach(function(n){
    if(!(n.classList&&n.classList.contains('mark')))s+=n.textContent;});
  text.push(s);});
out.push('source '+btoa(unescape(encodeURIComponent(text.join('\n')+'\n'))));
var l7=document.getElementById('L7'), l13=document.getElementById('L13');
out.push('entry '+(l7.querySelector('.mark.covered[data-sum=\"0\"]')?'covered':'missing'));
out.push('line13 '+l13.className);
var alt=l13.querySelector('[data-alt]'), row=document.getElementById('alt-'+alt.dataset.alt);
out.push('expansion hidden '+row.hidden);
alt.click();
out.push('expansion shown '+!row.hidden);
out.push('else '+(row.querySelector('.mark.never[data-sum=\"21\"]')?'never':'missing'));
out.push('then '+(row.querySelector('.mark.covered[data-sum=\"20\"]')?'covered':'missing'));
var cond=row.querySelector('.cond.partly'), popup=document.getElementById('pop-'+cond.dataset.pop);
out.push('condition '+cond.textContent+' popup hidden '+popup.hidden);
cond.click();
out.push('popup shown '+!popup.hidden+' '+popup.querySelectorAll('.br.covered').length+' '+popup.querySelectorAll('.br.never').length);
out.push('covered marks '+(document.querySelectorAll('#source .mark.covered').length>0));
out.push('never marks '+(document.querySelectorAll('#source .mark.never').length>0));")
echo "$result" >"$work/words.result"
expect() { grep -qxF "$1" <<<"$result" || { echo "$result"; fail "expected: $1"; }; }
expect "lines 18"
sed -n 's/^source //p' <<<"$result" | base64 -d >"$work/words.listed" || fail "source text"
cmp -s "$work/words.listed" "$source/examples/wordfreq/words.c" ||
  { diff "$work/words.listed" "$source/examples/wordfreq/words.c"; fail "the listed source differs from words.c"; }
expect "entry covered"
expect "line13 line partly"
expect "expansion hidden true"
expect "expansion shown true"
expect "else never"
expect "then covered"
expect "condition length + 1 < size popup hidden true"
expect "popup shown true 1 1"
expect "covered marks true"
expect "never marks true"

timeout 120 "$browser" "${flags[@]}" --screenshot="$work/words.png" --window-size=1200,1600 \
  "file://$html/$page" >/dev/null 2>&1 || fail "screenshot"
[ -s "$work/words.png" ] || fail "empty screenshot"
echo "ok"
