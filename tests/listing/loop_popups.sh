#!/bin/bash
# A loop's iteration branches are one popup of the annotated listing,
# "loop branches:" with the entries "  0 loop", "  1 loop" and "  2 loops or
# more" (a do loop has no "0 loop"), each naming the block of the loop's
# branch "0", "1" or "2+"; and the report shows them.
#
#   loop_popups.sh <quorbcc1> <quorbreport> <this folder> [programs]
#
# First a while, a for and a do loop, their listing written out by hand.
# Then generated programs of nested loops with known iteration counts are
# instrumented, run and reported: each loop's line carries one mark per
# branch, with the branch's block number, its count and its state, each
# opening the popup that labels the branches, and the summary's "loops"
# figures add up. Skipped (77) without gcc.
set -u
quorbcc1=$1 quorbreport=$2 here=$3 programs=${4:-30}
command -v gcc >/dev/null || { echo "gcc not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export QUORB_SUPPRESS_COPYRIGHT=1
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# The listing of the first RIK section, its tags kept.
listing() { sed -n '/^NODE TYPE=FILE NAME=/,/@\/NODE \/RIK@/p' "$1"; }

expect_in() {  # <file> <text> <what>
  grep -qF -- "$2" "$1" || fail "$3: '$2' not in $1"
}

# --- A while, a for and a do loop -------------------------------------------
cat >small.c <<'EOF'
int f(int n)
{
  int s = 0;
  while (n > 5) n--;
  for (int i = 0; i < n; i++) s += i;
  do s--; while (s > 100);
  return s;
}
EOF
gcc -E small.c -o small.i || exit 1
"$quorbcc1" small.i small_instr.c gcc.def -BLOCK=LOGICAL -NOWARNINGS -FDCNAME=small.fdc >run.out 2>&1 ||
  { cat run.out; fail "quorbcc1 on small.c"; }
# Statement blocks of the bodies first, then the loop's branches; paths
# are the segments, each after a "/".
grep -E '^BL .* "f" /(while|for|do)' small.fdc >records.txt
cat >records.expected <<'EOF'
BL 0 simple "f" /while 4 4
BL 1 logical "f" /while/0 4 4
BL 2 logical "f" /while/1 4 4
BL 3 logical "f" /while/2+ 4 4
BL 4 simple "f" /for 5 5
BL 5 logical "f" /for/0 5 5
BL 6 logical "f" /for/1 5 5
BL 7 logical "f" /for/2+ 5 5
BL 8 simple "f" /do 6 6
BL 9 logical "f" /do/1 6 6
BL 10 logical "f" /do/2+ 6 6
EOF
diff -u records.expected records.txt || fail "block records of small.c"
listing small.fdc >small.listing
# A popup over each whole loop; its entries name blocks 1, 2, 3 ("0", "1",
# "2+" of the while loop), 5, 6, 7 and 9, 10.
entries() {
  local text="loop branches:\n" id=$1 label
  shift
  for label in "$@"; do
    text+="@BRANCH MARK=TB ID=$id SUM=22@  $label@/BRANCH@"
    id=$((id + 1))
  done
  printf '%s@/POPUP@' "$text"
}
tr '\n' '~' <small.listing | sed 's/~/\\n/g' >small.flat
expect_in small.flat "@POPUP@while (n > 5) @BRANCH MARK=TB ID=0 SUM=20@n--;@/BRANCH@@-POPUP@$(entries 1 '0 loop' '1 loop' '2 loops or more')" "while loop"
expect_in small.flat "@POPUP@for (int i = 0; i < n; i++) @BRANCH MARK=TB ID=4 SUM=20@s += i;@/BRANCH@@-POPUP@$(entries 5 '0 loop' '1 loop' '2 loops or more')" "for loop"
expect_in small.flat "@POPUP@do @BRANCH MARK=TB ID=8 SUM=20@s--;@/BRANCH@ while (s > 100);@-POPUP@$(entries 9 '1 loop' '2 loops or more')" "do loop"
# The loop's branches appear nowhere else.
[ "$(grep -o 'SUM=22@' small.listing | wc -l)" = 8 ] || fail "loop branches listed outside their popups"

# The per-function listing lists the same popups, each with its line.
"$quorbcc1" small.i small_instr.c gcc.def -BLOCK=LOGICAL -NOWARNINGS -NOSOURCE -FDCNAME=summary.fdc >run.out 2>&1 ||
  { cat run.out; fail "quorbcc1 -NOSOURCE on small.c"; }
listing summary.fdc | tr '\n' '~' | sed 's/~/\\n/g' >summary.flat
expect_in summary.flat "  @POPUP@click here for other branches@-POPUP@$(entries 1 '0 loop' '1 loop' '2 loops or more'), line 4\n" "per-function while loop"
expect_in summary.flat "  @POPUP@click here for other branches@-POPUP@$(entries 5 '0 loop' '1 loop' '2 loops or more'), line 5\n" "per-function for loop"
expect_in summary.flat "  @POPUP@click here for other branches@-POPUP@$(entries 9 '1 loop' '2 loops or more'), line 6\n" "per-function do loop"

# With -WHILEONLY the for loop has no branches, hence no popup.
"$quorbcc1" small.i small_instr.c gcc.def -BLOCK=LOGICAL -WHILEONLY -NOWARNINGS -FDCNAME=while.fdc >run.out 2>&1 ||
  { cat run.out; fail "quorbcc1 -WHILEONLY on small.c"; }
[ "$(listing while.fdc | grep -c 'loop branches:')" = 2 ] || fail "-WHILEONLY: not two loop popups"
listing while.fdc | grep -q 'for (int i = 0; i < n; i++) @BRANCH MARK=TB ID=4 SUM=20@' ||
  fail "-WHILEONLY: the for loop is not listed bare"

# --- Generated programs, run and reported ------------------------------------
# ran_text <count>: how the page words a count. One process ran, so the
# counts are executions when one of them exceeds 1 ($executions), else the
# page cannot tell them from runs and words them as runs.
ran_text() {
  if [ "$1" = 0 ]; then echo "never ran"
  elif [ "$executions" = 1 ]; then [ "$1" = 1 ] && echo "ran once" || echo "ran $1 times"
  else [ "$1" = 1 ] && echo "ran in 1 run" || echo "ran in $1 runs"
  fi
}

# check_loop <line> <kind> <entries> <iterations> <path>: the loop's block
# records, and the marks on its line of the page and the popup they open.
check_loop() {
  local line=$1 kind=$2 entries=$3 runs=$4 path=$5
  local bucket=$((runs >= 2 ? 2 : runs)) label=0 id count state text segment name iterations records marks pop
  local expected_records="" expected_marks="" expected_popup=""
  [ "$kind" = do ] && label=1
  records=$(awk -v line="$line" '$1 == "BL" && $3 == "logical" && $6 == line { print $2, $5 }' prog.fdc)
  marks=$(grep -o "<tr id=\"L$line\" class=\"[a-z ]*\">.*</tr>" html/file-1.html |
    grep -o '<span class="mark [a-z]*" [^>]*title="loop [^>]*>L</span>')
  pop=$(printf '%s\n' "$marks" | sed -n '1s/.* data-pop="\([0-9]*\)".*/\1/p')
  id=$(printf '%s\n' "$records" | sed -n '1s/ .*//p')
  for (( ; label <= 2; label++)); do
    segment=$label name="$label loop" iterations="$label iterations"
    [ $label = 1 ] && iterations="1 iteration"
    [ $label = 2 ] && segment=2+ name="2 loops or more" iterations="2+ iterations"
    count=$((label == bucket ? entries : 0))
    state=covered text=$(ran_text "$count")
    [ $count = 0 ] && state=never
    expected_records+="$id /$path/$segment"$'\n'
    expected_marks+="<span class=\"mark $state\" data-pop=\"$pop\" title=\"loop /$path, $iterations: $text\">L</span>"$'\n'
    expected_popup+="<span class=\"br $state\" title=\"loop /$path, $iterations: $text\">  $name</span>"
    id=$((id + 1))
  done
  [ "$records"$'\n' = "$expected_records" ] || fail "program $seed line $line: records
$records
expected
$expected_records"
  [ "$marks"$'\n' = "$expected_marks" ] || fail "program $seed line $line ($kind, $entries x $runs): marks
$marks
expected
$expected_marks"
  grep -qF "<div class=\"popup\" id=\"pop-$pop\" hidden><pre>loop branches:
$expected_popup</pre></div>" html/file-1.html || fail "program $seed line $line: popup $pop does not label the branches"
}

for ((seed = 1; seed <= programs; seed++)); do
  rm -rf prog.* html quorb.qbr
  bash "$here/generate_loops.sh" "$seed" prog.c prog.expected
  gcc -E prog.c -o prog.i || exit 1
  # -COUNT: each branch counts the loop's entries that took it.
  "$quorbcc1" prog.i prog_instr.c gcc.def -BLOCK=LOGICAL -COUNT -NOWARNINGS -FDCNAME=prog.fdc >run.out 2>&1 ||
    { cat run.out; fail "quorbcc1 on program $seed"; break; }
  gcc -w prog_instr.c -o prog_instr && ./prog_instr || { fail "program $seed does not run instrumented"; break; }
  "$quorbreport" prog.fdc -r quorb.qbr --details --html html >summary.txt 2>report.err ||
    { cat report.err; fail "quorbreport on program $seed"; break; }
  executions=$(awk '$1 ~ /^[PCBK]$/ && $3 > 1 { found = 1 } END { print found + 0 }' quorb.qbr)
  while read -r line kind entries runs path; do check_loop "$line" "$kind" "$entries" "$runs" "$path"; done <prog.expected
  # Every loop branch counts in the "loops" figures: covered are those of
  # the loops entered, one branch each.
  total=$(awk '{ total += $2 == "do" ? 2 : 3; covered += $3 > 0 } END { print covered, total }' prog.expected)
  read -r covered all <<<"$total"
  grep -qE "^  loops +$covered +$all " summary.txt || { fail "program $seed: loops figures, expected $covered of $all"; cat summary.txt; }
  [ $failed = 0 ] || { echo "program $seed:"; cat -n prog.c; break; }
done
[ $failed = 0 ] && echo "loop popups listed and reported for small.c and $programs programs"
exit $failed
