#!/bin/bash
# check_layers.sh on small made-up trees: a clean tree passes, and each
# upward include fails naming its file and header.
#   check_layers_selftest.sh CHECK_SCRIPT
set -u

check=${1:?usage: check_layers_selftest.sh CHECK_SCRIPT}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A tree in which every layer includes what it may.
MakeCleanTree() {
  rm -rf "$work/src"
  mkdir -p "$work"/src/{support,frontend,metrics,output,instrument,driver,report,wrapper}
  printf '#include "support/b.h"\n#include "local.h"\n' >"$work/src/support/a.cpp"
  printf '#include "support/a.h"\n' >"$work/src/frontend/lexer.cpp"
  printf '#include "output/source_encoding.h"\n#include "frontend/x.h"\n' >"$work/src/metrics/m.h"
  printf '  #  include "metrics/halstead.h"\n#include "frontend/y.h"\n' >"$work/src/output/o.cpp"
  printf '#include "instrument/run_options.h"\n#include "output/fdc_file.h"\n' >"$work/src/instrument/i.cpp"
  printf '#include "instrument/i.h"\n#include "frontend/parser.h"\n' >"$work/src/driver/d.cpp"
  printf '#include "output/fdc_format.h"\n#include "support/s.h"\n' >"$work/src/report/r.cpp"
  printf '#include "support/product_version.h"\n#include <string>\n' >"$work/src/wrapper/w.cpp"
}

# ExpectViolation FILE LINE: the line added to FILE of a clean tree must fail
# the check with a message naming FILE and the included header.
ExpectViolation() {
  local file=$1 line=$2
  MakeCleanTree
  mkdir -p "$work/src/${file%/*}"
  printf '%s\n' "$line" >>"$work/src/$file"
  local header=${line#*\"}
  header=${header%\"*}
  local output
  output=$(bash "$check" "$work/src" 2>&1)
  local status=$?
  [ $status -eq 1 ] || fail "$file with '$line': status $status, expected 1"
  [[ $output == "src/$file: includes \"$header\" ("* ]] || fail "$file with '$line' not named: $output"
  [[ $output != *$'\n'* ]] || fail "$file with '$line': more than the one violation: $output"
}

MakeCleanTree
output=$(bash "$check" "$work/src" 2>&1) || fail "clean tree rejected: $output"

ExpectViolation support/a.cpp '#include "frontend/lexer.h"'
ExpectViolation frontend/lexer.cpp '#include "output/fdc_file.h"'
ExpectViolation output/o.cpp '#include "instrument/instr_state.h"'
ExpectViolation output/o.cpp '#include "driver/options.h"'
ExpectViolation output/fdc_records.cpp '#include "driver/options.h"'
ExpectViolation metrics/m.h '#include "instrument/x.h"'
ExpectViolation instrument/i.cpp '#include "driver/driver.h"'
ExpectViolation instrument/i.cpp '#include "driver/options.h"'
ExpectViolation instrument/i.cpp '#include "report/fdc_units.h"'
ExpectViolation driver/d.cpp '#include "report/run_report.h"'
ExpectViolation report/r.cpp '#include "frontend/parser.h"'
ExpectViolation report/r.cpp '#include "instrument/instr_state.h"'
ExpectViolation report/r.cpp '#include "output/fdc_file.h"'
ExpectViolation report/r.h '#include "output/tsf_file.h"'
ExpectViolation report/sub/deep.cpp '#include "metrics/halstead.h"'
ExpectViolation wrapper/w.cpp '#include "driver/identification.h"'
ExpectViolation wrapper/w.h '#include "report/writers.h"'
ExpectViolation support/a.cpp '# include "driver/options.h"'

# A folder without a rule.
MakeCleanTree
mkdir -p "$work/src/plugins"
output=$(bash "$check" "$work/src" 2>&1)
[ $? -eq 1 ] && [[ $output == *"src/plugins/: no layer rule"* ]] || fail "a folder without a rule passed: $output"

[ $failures -eq 0 ] || exit 1
echo "all cases passed"
