#!/bin/bash
# The HTML report of the README's example (examples/wordfreq, built by
# scripts/show_example.sh through the launcher) opened in headless Chromium.
# A check script is appended to copies of the pages; it queries the DOM the
# browser built, clicks a macro, a condition, table headings and a function
# link, presses "n" and "p", and writes its findings into the page, which
# --dump-dom hands back. The example is built again with -COUNT for the
# count wording. A screenshot is taken of the page of words.c. Exit 77
# (skipped) without chromium, gcc or make.
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
table_page=$(sed -n 's/^file table.c \(file-[0-9].html\) .*/\1/p' <<<"$index")

# A click on the "file" heading sorts by name, a second click reverses.
sorted=$(check_page index.html "
var out=[], th=document.querySelector('#files thead th');
function names(){return Array.prototype.map.call(document.querySelectorAll('#files tbody tr'),
  function(r){return r.querySelector('a').textContent.split('/').pop();}).join(' ');}
th.click(); out.push('ascending '+names());
th.click(); out.push('descending '+names()+' '+th.getAttribute('aria-sort'));")
for line in "ascending main.c table.c words.c" "descending words.c table.c main.c descending"; do
  grep -qxF "$line" <<<"$sorted" || { echo "$sorted"; fail "index sorting: $line"; }
done

# table.c's functions begin on lines 6, 12, 19, 37, 54, 60 and 71: by the
# lines column descending, numerically (as text "6-10" would come third);
# by name ascending. The link of table_add reaches line 37 and highlights it.
functions=$(check_page "$table_page" "
var out=[], heads=document.querySelectorAll('#functions thead th');
function names(){return Array.prototype.map.call(document.querySelectorAll('#functions tbody tr'),
  function(r){return r.cells[0].textContent;}).join(' ');}
heads[1].click(); heads[1].click(); out.push('by lines '+names());
heads[0].click(); out.push('by name '+names());
var link=Array.prototype.filter.call(document.querySelectorAll('#functions a'),function(a){return a.textContent==='table_add';})[0];
link.click();
var target=document.querySelector(':target');
out.push('link '+link.getAttribute('href')+' target '+(target?target.id+' '+target.cells[0].textContent:'none')+
  ' current '+document.querySelectorAll('#source tr.current').length+' '+(target&&target.classList.contains('current')));
out.push('misses first '+document.querySelector('#misses tbody tr a').getAttribute('href'));")
echo "$functions" >"$work/functions.result"
for line in "by lines table_free table_sort by_count table_add grow table_init hash" \
  "by name by_count grow hash table_add table_free table_init table_sort" "link #L37 target L37 37 current 1 true"; do
  grep -qxF "$line" <<<"$functions" || { echo "$functions"; fail "functions of table.c: $line"; }
done

# words.c, run on sample.txt: no word reaches the buffer's size, so the else
# of "if (length + 1 < size)" (line 13, inside the expansion of tolower)
# never runs while its then does; next_word() is entered (line 7).
result=$(check_page "$page" "
var out=[], lines=document.querySelectorAll('#source tr[id^=\"L\"]');
out.push('lines '+lines.length);
var text=[];
lines.forEach(function(row){var s='';
  row.cells[2].childNodes.forEach(function(n){
    if(!(n.classList&&n.classList.contains('mark')))s+=n.textContent;});
  text.push(s);});
out.push('source '+btoa(unescape(encodeURIComponent(text.join('\n')+'\n'))));
var l7=document.getElementById('L7'), l13=document.getElementById('L13');
function mark(row,state,letter){return Array.prototype.filter.call(row.querySelectorAll('.mark.'+state),
  function(m){return m.textContent===letter;})[0];}
var entry=mark(l7,'covered','F');
out.push('entry '+(entry?'covered':'missing'));
out.push('entry title '+entry.title);
out.push('line13 '+l13.className);
function press(key){document.dispatchEvent(new KeyboardEvent('keydown',{key:key,bubbles:true}));
  var c=document.querySelectorAll('#source tr.current');return c.length+' '+(c.length?c[0].id:'');}
out.push('n '+press('n'));
out.push('n '+press('n'));
out.push('p '+press('p'));
document.getElementById('next-miss').click();
out.push('button '+document.querySelector('#source tr.current').id);
var alt=l13.querySelector('[data-alt]'), row=document.getElementById('alt-'+alt.dataset.alt);
out.push('expansion hidden '+row.hidden);
alt.click();
out.push('expansion shown '+!row.hidden);
out.push('else '+(mark(row,'never','I')?'never':'missing'));
out.push('then '+(mark(row,'covered','B')?'covered':'missing'));
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
# next_word() ran once per word (12 in sample.txt) and once at the end, in
# one run of the program: the flag build counts runs.
expect "entry title next_word entry: ran in 1 run"
expect "line13 partly"
# Lines with a branch that never ran: 5 (c == '\'' never true), 10 (the
# skipping loop never iterates twice), then 13.
expect "n 1 L5"
expect "n 1 L10"
expect "p 1 L5"
expect "button L10"
expect "expansion hidden true"
expect "expansion shown true"
expect "else never"
expect "then covered"
expect "condition length + 1 < size popup hidden true"
expect "popup shown true 1 1"
expect "covered marks true"
expect "never marks true"

# The example built again with -COUNT: the entry of next_word counts its 13
# executions.
counted=$work/counted
cp -r "$work/example" "$counted" && (cd "$counted" && rm -rf html ./*.fdc ./*.qbr && make clean >/dev/null &&
  QUORB_OPTIONS="-PROC -BLOCK -COUNT" make CC="$build/bin/quorbcc gcc" >make.log 2>&1 &&
  QBC_RESULTS=wordfreq.qbr ./wordfreq -n 3 sample.txt >/dev/null &&
  "$build/bin/quorbreport" -r wordfreq.qbr --html html . >/dev/null) || fail "the -COUNT build of the example"
html=$counted/html
result=$(check_page "$page" "
var out=[], marks=document.querySelectorAll('#L7 .mark');
out.push('count title '+(marks.length?marks[0].title:'none'));
out.push('note '+(document.querySelector('p.inputs').textContent.indexOf('counts are executions')>=0));")
expect "count title next_word entry: ran 13 times"
expect "note true"
html=$work/example/html

timeout 120 "$browser" "${flags[@]}" --screenshot="$work/words.png" --window-size=1200,1600 \
  "file://$html/$page" >/dev/null 2>&1 || fail "screenshot"
[ -s "$work/words.png" ] || fail "empty screenshot"
echo "ok"
