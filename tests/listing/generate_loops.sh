#!/bin/bash
# Writes a C program of nested while, for and do loops with known iteration
# counts, and what each loop must show in the report.
#
#   generate_loops.sh <seed> <program.c> <expectations>
#
# Every loop statement begins on a line of its own. An expectation line is
# "line kind entries iterations path": the loop is entered `entries` times
# (the product of its enclosing loops' iterations), runs `iterations` times
# at each entry, and its branch path is the kinds of the loops around it and
# its own, joined by "/".
set -u
seed=$1 program=$2 expectations=$3
RANDOM=$seed
variables=0
: >"$expectations"
body=$(mktemp)
trap 'rm -f "$body"' EXIT

emit() {
  printf '%s\n' "$1" >>"$body"
  line=$((line + 1))
}

# loop <depth> <entries> <indent> <enclosing path>
loop() {
  local depth=$1 entries=$2 indent=$3 outer=$4 kind bound runs var count child leaf path
  kind=$((RANDOM % 3)) bound=$((RANDOM % 4)) var="v$variables"
  path=$outer$(case $kind in 0) echo while ;; 1) echo for ;; 2) echo do ;; esac)
  variables=$((variables + 1))
  leaf=$((depth >= 3 || RANDOM % 3 == 0))
  case $kind in
    0) runs=$bound
       if [ "$leaf" = 1 ] && [ $((RANDOM % 2)) = 0 ]; then
         emit "$indent$var = 0; while ($var < $bound) $var++;"
         echo "$line while $entries $runs $path" >>"$expectations"
         return
       fi
       emit "$indent$var = 0; while ($var < $bound) {"
       echo "$line while $entries $runs $path" >>"$expectations"
       emit "$indent  $var++;" ;;
    1) runs=$bound
       emit "${indent}for ($var = 0; $var < $bound; $var++) {"
       echo "$line for $entries $runs $path" >>"$expectations" ;;
    2) runs=$((bound > 0 ? bound : 1))
       emit "$indent$var = 0; do {"
       echo "$line do $entries $runs $path" >>"$expectations"
       emit "$indent  $var++;" ;;
  esac
  emit "$indent  sink++;"
  if [ "$leaf" = 0 ]; then
    count=$((1 + RANDOM % 2))
    for ((child = 0; child < count; child++)); do loop $((depth + 1)) $((entries * runs)) "$indent  " "$path/"; done
  fi
  if [ $kind = 2 ]; then emit "$indent} while ($var < $bound);"; else emit "$indent}"; fi
}

line=3  # the lines before the body
top=$((2 + RANDOM % 3))
for ((i = 0; i < top; i++)); do loop 1 1 "  " ""; done
{
  echo "volatile int sink;"
  echo "int main(void) {"
  printf '  int'
  for ((v = 0; v < variables; v++)); do printf ' v%d%s' $v "$([ $v = $((variables - 1)) ] && echo ';' || echo ',')"; done
  echo
  cat "$body"
  echo "  return 0;"
  echo "}"
} >"$program"
