#!/bin/bash
# A CMake project (the example's sources as a library and a program) built
# out of tree by CMake's Makefile and Ninja generators, with quorbcc as
# CMAKE_C_COMPILER_LAUNCHER: the program runs as usual; FDC files land beside the objects and the results in the build
# directory, wherever the program runs, so the source tree gets no file and
# quorbreport run in the build directory finds both; CMake's own probes
# compile uninstrumented; CMake's dependency files name the original
# sources, so a header change rebuilds exactly its users.
#
#   cmake_project.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp QUORB_OPTIONS="-PROC=RET"
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

mkdir "$work/src"
cp "$tree"/examples/wordfreq/*.[ch] "$tree"/examples/wordfreq/sample.txt "$work/src/"
cat >"$work/src/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(wordfreq C)
add_library(wordcount STATIC table.c words.c)
add_executable(wordfreq main.c)
target_link_libraries(wordfreq PRIVATE wordcount)
CMAKE
cd "$work" || exit 1

# Configures, builds, runs and reports with CMake's generator $1 in build
# directory $2, then rebuilds after a header change.
check_generator() {
  local generator=$1 build=$2 report fdcs rebuilt
  rm -f src/quorb.qbr
  cmake -S src -B "$build" -G "$generator" -DCMAKE_C_COMPILER=gcc -DCMAKE_C_COMPILER_LAUNCHER="$quorbcc" \
    >configure.log 2>&1 || { fail "$generator: configure"; cat configure.log; return; }
  cmake --build "$build" -j2 >build.log 2>&1 || { fail "$generator: build"; cat build.log; return; }
  grep -q "quorbcc:" build.log && fail "$generator: the launcher complained: $(grep quorbcc: build.log)"

  (cd src && "../$build/wordfreq" -n 2 sample.txt) >out.txt || fail "$generator: wordfreq status $?"
  printf '      3 the\n      2 dog\n' | cmp -s - out.txt || fail "$generator: output: $(cat out.txt)"
  [ "$(ls src | tr '\n' ' ')" = "CMakeLists.txt main.c sample.txt table.c table.h words.c words.h " ] ||
    fail "$generator: the source tree changed: $(ls src)"
  fdcs=$(cd "$build" && find . -name '*.fdc' | sort | tr '\n' ' ')
  [ "$fdcs" = "./CMakeFiles/wordcount.dir/table.c.fdc ./CMakeFiles/wordcount.dir/words.c.fdc ./CMakeFiles/wordfreq.dir/main.c.fdc " ] ||
    fail "$generator: FDC files: $fdcs"
  [ "$(grep -c '^F ' "$build/quorb.qbr")" = 3 ] || fail "$generator: results: $(cat "$build/quorb.qbr")"
  report=$(cd "$build" && "$(dirname "$quorbcc")/quorbreport" --details 2>&1) || fail "$generator: quorbreport: $report"
  for source in main.c table.c words.c; do grep -q "^$source" <<<"$report" || fail "$generator: report: $report"; done
  grep -q "warning" <<<"$report" && fail "$generator: report: $report"

  touch src/words.h
  cmake --build "$build" -j2 >rebuild.log 2>&1 || fail "$generator: rebuild"
  rebuilt=$(grep -o 'Building C object [^ ]*' rebuild.log | sed 's|.*/||' | sort | tr '\n' ' ')
  [ "$rebuilt" = "main.c.o words.c.o " ] || fail "$generator: after touching words.h, rebuilt: $rebuilt"
}

check_generator "Unix Makefiles" build-make
if command -v ninja >/dev/null; then check_generator Ninja build-ninja; else echo "ninja is missing: Ninja not checked"; fi
leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
