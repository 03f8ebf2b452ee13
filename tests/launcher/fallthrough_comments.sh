#!/bin/bash
# Fall-through comments through the launcher, with GCC's warning on: a
# comment in the source or in a header it includes silences the warning as
# in a plain build, and -Werror builds stay instrumented; preprocessing
# keeps comments only for a source that says "fall" (or under -Werror).
#
#   fallthrough_comments.sh <quorbcc>
set -u
quorbcc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# A function (specifiers $1, name $2) whose first case falls through into the
# second, announced by the comment $3.
falling_switch() {
  printf '%s int %s(int x) {\n  int y = 0;\n  switch (x) {\n  case 1:\n    y += 2;\n    %s\n  case 2:\n    y += 3;\n    break;\n  }\n  return y;\n}\n' "$1" "$2" "$3"
}
falling_switch "" f "/* fall through */" >in_source.c
falling_switch "static inline" step "/* FALLTHRU */" >steps.h
printf '#include "steps.h"\nint g(int x) { return step(x) + 1; }\n' >in_header.c
printf 'int h(int x) { return x > 1 ? x : -x; }\n' >no_switch.c

# The same messages and status as gcc's own, and an instrumented object.
check() {
  local source=$1 options=$2
  rm -f ./*.o ./*.fdc
  gcc $options -c "$source" 2>expected.err; local expected=$?
  "$quorbcc" gcc $options -c "$source" 2>actual.err; local actual=$?
  [ $actual = $expected ] || fail "$source $options: status $actual, expected $expected"
  diff expected.err actual.err >/dev/null || { fail "$source $options: messages differ"; diff expected.err actual.err; }
  [ -f "${source%.c}.o" ] || fail "$source $options: no object"
  ls ./*.fdc >/dev/null 2>&1 || fail "$source $options: not instrumented"
}
for options in "-Wextra" "-Wextra -Werror" "-Wimplicit-fallthrough -Werror=implicit-fallthrough" "-W -O2"; do
  check in_source.c "$options"
  check in_header.c "$options"
done

# The preprocessing command of each compile, as the launcher tells it.
preprocessing() {
  QUORB_VERBOSE=1 "$quorbcc" gcc $2 -c "$1" 2>&1 >/dev/null | grep -m1 "^quorbcc: gcc .* -E "
}
case "$(preprocessing no_switch.c -Wextra)" in *" -C "*) fail "no_switch.c -Wextra: comments kept" ;; "") fail "no preprocessing seen" ;; esac
case "$(preprocessing in_source.c -Wextra)" in *" -C "*) ;; *) fail "in_source.c -Wextra: comments dropped" ;; esac
case "$(preprocessing no_switch.c "-Wextra -Werror")" in *" -C "*) ;; *) fail "no_switch.c -Werror: comments dropped" ;; esac

[ $failed = 0 ] && echo "fall-through comments: all checks passed"
exit $failed
