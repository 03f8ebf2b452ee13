#!/bin/bash
# The outputs for CI checked outside the report's own code:
#   sonarqube: the fixtures' SonarQube file is well-formed and valid against
#     sonarqube.xsd (xmllint), and its figures agree with the Cobertura file's;
#   diff_from: --diff-from in a temporary git repository (the report's root a
#     subdirectory of it, the user's configuration asking for other diff
#     prefixes), and a git failure reported with the command.
# Exit 77 (skipped) when xmllint or git is not installed.
#   ci_outputs.sh <quorbreport> <tests/report dir> sonarqube|diff_from <work dir>
set -u
report=$1 here=$2 mode=$3 work=$4
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fixtures=$here/fixtures

case $mode in
sonarqube)
  command -v xmllint >/dev/null || { echo "xmllint not installed"; exit 77; }
  "$report" "$fixtures/prog.c.fdc" "$fixtures/util.c.fdc" "$fixtures/forced.c.fdc" -r "$fixtures/run1.qbr" \
    -r "$fixtures/run2.qbr" --sonarqube s.xml --cobertura c.xml >/dev/null 2>&1 || fail "quorbreport"
  xmllint --noout --nonet --schema "$here/sonarqube.xsd" s.xml || fail "xmllint rejected the file"
  # Both derive their lines and branches from the same groups: 14 lines, 23 branches, 17 taken.
  [ "$(xmllint --xpath 'count(//lineToCover)' s.xml)" = 14 ] || fail "lines"
  [ "$(xmllint --xpath 'sum(//lineToCover/@branchesToCover)' s.xml)" = 23 ] || fail "branches"
  [ "$(xmllint --xpath 'sum(//lineToCover/@coveredBranches)' s.xml)" = 17 ] || fail "covered branches"
  # Line 13 of prog.c: the loop (3 branches, 1 ran) and n > 0 (2, both ran).
  [ "$(xmllint --xpath 'string(//file[@path="prog.c"]/lineToCover[@lineNumber="13"]/@coveredBranches)' s.xml)" = 3 ] ||
    fail "line 13"
  [ "$(xmllint --xpath 'string(//file[@path="prog.c"]/lineToCover[@lineNumber="18"]/@covered)' s.xml)" = false ] ||
    fail "line 18 (never)"
  ;;
diff_from)
  command -v git >/dev/null || { echo "git not installed"; exit 77; }
  export GIT_CONFIG_NOSYSTEM=1 HOME=$work GIT_AUTHOR_NAME=t GIT_AUTHOR_EMAIL=t@t GIT_COMMITTER_NAME=t \
    GIT_COMMITTER_EMAIL=t@t
  mkdir -p repo/proj/src && cd repo && git init -q . || fail "git init"
  git config diff.noprefix true && git config diff.mnemonicPrefix true
  printf 'int f(int a)\n{\n  if (a)\n    return 1;\n  return 0;\n}\n' >proj/src/a.c
  printf 'int g(void)\n{\n  return 2;\n}\n' >proj/src/b.c
  git add . && git commit -qm one || fail "git commit"
  # Line 3 changed, the last return replaced by lines 5 and 6; b.c untouched.
  printf 'int f(int a)\n{\n  if (a > 0)\n    return 1;\n  a++;\n  return a - 1;\n}\n' >proj/src/a.c
  cd proj || exit 1
  # The FDC block of the new a.c and of b.c, written by hand; f(0) ran.
  printf 'VE 3.0e CCOV #i6 8.2.0.1\nFC "a.c" "%s/src/"\nFD 1\nTC PR RE BS BI CO\nPR 0 proc "f" 1 7\n' "$PWD" >a.c.fdc
  printf 'CE 0 "f" "a > 0" 3 3\nBL 0 simple "f" then 4 4\nBL 1 implicit "f" else 3 4\nPR 1 return "f" 4 4\n' >>a.c.fdc
  printf 'PR 2 return "f" 6 6\nDC 1 10\n' >>a.c.fdc
  printf 'VE 3.0e CCOV #i6 8.2.0.1\nFC "b.c" "%s/src/"\nFD 1\nTC PR RE\nPR 0 proc "g" 1 4\n' "$PWD" >b.c.fdc
  printf 'PR 1 return "g" 3 3\nDC 2 20\n' >>b.c.fdc
  printf 'R 1 1\nF 0xA 0x1\nP 0 1\nK 1 1\nB 1 1\nP 2 1\n' >quorb.qbr
  # Changed: line 3 (a > 0: 1 of 2, implicit else ran) and 6 (the return ran).
  "$report" --root . --diff-from HEAD --details >out.txt 2>err.txt || { cat err.txt; fail "quorbreport --diff-from"; }
  cat >expected.txt <<'END'
Coverage of changed lines of 1 file under ROOT from 1 results section
Only branches on lines changed since HEAD (git diff) count; 1 source file without a changed line left out

                          covered     total  percent
src/a.c
  functions                     0         0        -
  exits                         1         1   100.0%
  statement blocks              0         0        -
  implicit blocks               1         1   100.0%
  decisions                     1         1   100.0%
  basic conditions              1         2    50.0%
TOTAL
  functions                     0         0        -
  exits                         1         1   100.0%
  statement blocks              0         0        -
  implicit blocks               1         1   100.0%
  decisions                     1         1   100.0%
  basic conditions              1         2    50.0%
END
  sed -i "s|ROOT|$PWD|" expected.txt
  diff expected.txt out.txt || fail "summary of the changed lines"
  # A revision git does not know: an error naming the command, status 1.
  "$report" --root . --diff-from no-such-ref >out.txt 2>err.txt
  [ $? = 1 ] || fail "status of a git failure"
  grep -q '^quorbreport: error: "git diff --no-color --no-ext-diff -U0 --relative --src-prefix=a/ --dst-prefix=b/ no-such-ref --" in '"$PWD"' failed (exit status 128)' err.txt ||
    { cat err.txt; fail "message of a git failure"; }
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "ok: $mode"
