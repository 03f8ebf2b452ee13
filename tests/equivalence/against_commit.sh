#!/bin/bash
# Compares this build's quorbcc1 with the build of a reference commit
# (compare_outputs.sh) on the C sources of the test suite, lz4's library
# when it was fetched, and a few csmith programs.
#
#   against_commit.sh <build dir> <source dir> <commit> [csmith programs]
#
# The reference is checked out as a worktree in the build tree and built
# once per commit. Status 77 (a skip) without git history or csmith.
set -u
build=$1 sources=$2 commit=$3 programs=${4:-6}
work=$build/tests/equivalence
reference_tree=$work/reference-$commit
reference_build=$work/reference-build-$commit
here=$(cd "$(dirname "$0")" && pwd)

git -C "$sources" rev-parse --verify -q "$commit^{commit}" >/dev/null || { echo "no commit $commit"; exit 77; }
if [ ! -x "$reference_build/bin/quorbcc1" ]; then
  rm -rf "$reference_tree"
  mkdir -p "$work"
  git -C "$sources" archive --prefix=reference/ "$commit" | tar -x -C "$work" && mv "$work/reference" "$reference_tree" || exit 1
  cmake -S "$reference_tree" -B "$reference_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORB_BUILD_TESTS=OFF >/dev/null || exit 1
  cmake --build "$reference_build" -j2 --target quorbcc1 >/dev/null || exit 1
fi

inputs=()
while IFS= read -r file; do inputs+=("$file"); done < <(find "$sources/tests" -name '*.c' -size -400k | sort)
for file in "$build"/_deps/lz4/lib/*.c; do [ -e "$file" ] && inputs+=("$file"); done
if command -v csmith >/dev/null 2>&1; then
  mkdir -p "$work/csmith"
  for seed in $(seq 700001 $((700000 + programs))); do
    csmith --seed "$seed" >"$work/csmith/csmith_$seed.c" 2>/dev/null &&
      sed -i "s|^#include \"csmith.h\"|#include \"$(dirname "$(command -v csmith)")/../include/csmith/csmith.h\"|" \
        "$work/csmith/csmith_$seed.c"
    inputs+=("$work/csmith/csmith_$seed.c")
  done
fi
exec bash "$here/compare_outputs.sh" "$reference_build/bin/quorbcc1" "$build/bin/quorbcc1" "$build" "$work/runs" "${inputs[@]}"
