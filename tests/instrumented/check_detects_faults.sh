#!/bin/bash
# Proves that check_instrumented.sh notices broken instrumentation: a
# stand-in for quorbcc1 runs the real one and then spoils the instrumented
# file in one way; each spoilt run must fail with the message naming the
# fault, and the unspoilt run must pass.
#
#   check_detects_faults.sh <build dir> <work dir>
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd) work=$2
command -v gcc >/dev/null 2>&1 || { echo "gcc is not installed"; exit 77; }
rm -rf "$work" && mkdir -p "$work/fake/bin"
work=$(cd "$work" && pwd)
fake=$work/fake
ln -s "$build/tdp" "$fake/tdp"
ln -s "$build/lib" "$fake/lib"
# Arguments: <src> <instr> <def> [options]; $QUORB_FAULT names the spoiling.
cat >"$fake/bin/quorbcc1" <<SCRIPT
#!/bin/bash
"$build/bin/quorbcc1" "\$@" || exit
case \$QUORB_FAULT in
  output) sed -i 's/"total %d\\\\n"/"total %d.\\\\n"/' "\$2" ;;
  status) sed -i 's/return 3;/return 4;/' "\$2" ;;
  unlinked) sed -i '/#include ".*TP.h"/a #define _qbc_link(fdc) ((void)(fdc))' "\$2" ;;
esac
SCRIPT
chmod +x "$fake/bin/quorbcc1"

failed=0
# Runs the check with fault $1; $2 is the text its output must hold, or
# empty when it must pass.
expect() {
  local output status
  output=$(QUORB_FAULT=$1 bash "$here/check_instrumented.sh" "$fake" "$work/run_$1" program \
    "$here/samples/faults_sample.c" gcc 2>&1)
  status=$?
  if [ -z "$2" ]; then
    [ $status = 0 ] && return
    echo "FAIL: the unspoilt program does not pass:"
  elif [ $status = 1 ] && grep -qF -- "$2" <<<"$output"; then
    return
  else
    echo "FAIL: fault '$1' not reported as '$2' (status $status):"
  fi
  echo "$output" | head -n 40
  failed=1
}
expect none ""
expect output "standard output differs from the reference's"
expect status "exit status differs from the reference's"
expect unlinked "no results file"
exit $failed
