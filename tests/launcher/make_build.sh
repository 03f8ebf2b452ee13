#!/bin/bash
# The example project built by make -j2 with CC="quorbcc gcc": the program
# behaves as the plain build, its FDC files land beside its sources and name
# the functions that the results file records, dependency files name the
# original sources and objects (so make rebuilds what a header change
# touches), and nothing else lands in the tree or stays in TMPDIR. Also: a
# compile-and-link of all sources in one command, -save-temps and a response
# file. Pedantic builds, and programs that reuse the names of macros; the
# launcher's cache with TMPDIR on another file system, and emptied during a
# compile.
#
#   make_build.sh <quorbcc> <source tree>
set -u
quorbcc=$1 tree=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp QUORB_OPTIONS="-PROC=RET -BLOCK=DECISION"
mkdir "$TMPDIR"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cp -r "$tree/examples/wordfreq" "$work/plain"
cp -r "$tree/examples/wordfreq" "$work/instr"
make -s -C "$work/plain" -j2 CC=gcc || fail "plain build"
make -s -C "$work/instr" -j2 CC="$quorbcc gcc" 2>"$work/build.err" || fail "instrumented build"
[ -s "$work/build.err" ] && fail "the build printed: $(cat "$work/build.err")"

cd "$work/instr" || exit 1
printf 'the cat and the dog\nThe end\n' >input.txt
"$work/plain/wordfreq" -n 3 input.txt Makefile >plain.out; plain=$?
QBC_RESULTS=run.qbr ./wordfreq -n 3 input.txt Makefile >instr.out; status=$?
[ $status = $plain ] || fail "status $status, plain $plain"
cmp -s plain.out instr.out || fail "output differs: $(cat instr.out)"
QBC_RESULTS=stdin.qbr ./wordfreq -n 3 <input.txt | cmp -s - <(printf '      3 the\n      1 and\n      1 cat\n') ||
  fail "unexpected output from standard input"

# Every source has its FDC file, naming its functions; the results name one
# FDC block per source, by the checksum recorded in its FDC file.
for source in main table words; do
  [ -f $source.c.fdc ] || { fail "no $source.c.fdc"; continue; }
  grep -q "^FC \"$source.c\" \"$work/instr/\"$" $source.c.fdc || fail "$source.c.fdc: $(grep ^FC $source.c.fdc)"
  checksum=$(printf '0x%X' "$(sed -n 's/^DC //p' $source.c.fdc)")
  grep -q "^F 0x[0-9A-F]* $checksum$" run.qbr || fail "results lack $source.c ($checksum)"
done
for function in count_file count_named main; do
  grep -q "^PR [0-9]* proc \"$function\" " main.c.fdc || fail "main.c.fdc lacks $function"
done
[ "$(grep -c '^F ' run.qbr)" = 3 ] || fail "results: $(grep '^F ' run.qbr)"
# GCC's objects take the runtime from a shared runtime object joined into
# each (weak and hidden): one copy serves the program.
for source in main table words; do
  nm $source.o | grep -q ' W _qbc_link_v[0-9a-f]*$' || fail "$source.o has no shared runtime"
done
[ "$(nm wordfreq | grep -c ' _qbc_link_v')" = 1 ] || fail "runtime copies: $(nm wordfreq | grep ' _qbc_link')"

for source in main table words; do
  cmp -s "$work/plain/$source.d" $source.d || fail "$source.d: $(cat $source.d)"
done
expected="Makefile input.txt instr.out main.c main.c.fdc main.d main.o plain.out run.qbr sample.txt stdin.qbr table.c table.c.fdc table.d
table.h table.o wordfreq words.c words.c.fdc words.d words.h words.o"
[ "$(ls | tr '\n' ' ')" = "$(echo $expected) " ] || fail "files in the tree: $(ls | tr '\n' ' ')"

touch words.h
rebuilt=$(make -j2 CC="$quorbcc gcc" | grep -o ' -c [a-z]*\.c' | sort | tr -d '\n')
[ "$rebuilt" = " -c main.c -c words.c" ] || fail "after touching words.h, rebuilt:$rebuilt"

# Compile and link in one command; the FDC files are updated in place.
"$quorbcc" gcc -O2 main.c table.c words.c -o wordfreq1 || fail "compile and link"
./wordfreq1 -n 3 input.txt Makefile | cmp -s - plain.out || fail "compile and link: output differs"
[ "$(ls *.fdc | wc -l)" = 3 ] || fail "FDC files: $(ls *.fdc)"

# -save-temps keeps the files the compiler really compiled, where it keeps
# them without the launcher.
mkdir saved
"$quorbcc" gcc -save-temps -c words.c -o saved/words.o || fail "-save-temps"
[ "$(ls saved | tr '\n' ' ')" = "words.c.fdc words.i words.o words.s " ] || fail "-save-temps: $(ls saved)"
grep -q _QBC_PROC_IN saved/words.i && fail "-save-temps: the .i file is not preprocessed"
grep -q _qbc_ saved/words.i || fail "-save-temps: the .i file is not instrumented"

printf -- '-O2 -c\n"table.c" -o "from response.o"\n' >args
"$quorbcc" gcc @args || fail "response file"
nm "from response.o" | grep -q _qbc_ || fail "response file: the object is not instrumented"

# Under -pedantic GCC warns about every line marker of a preprocessed text
# read as C: a clean source compiles silently, instrumented, even with
# -pedantic-errors -Werror, and a source that is not ISO C fails as it does
# with gcc alone, with gcc's message.
for compiler in gcc clang; do
  for pedantic in -pedantic -Wpedantic -pedantic-errors; do
    "$quorbcc" $compiler -std=c99 $pedantic -Werror -Wall -c words.c -o pedantic.o 2>pedantic.err ||
      fail "$compiler $pedantic: status $? ($(cat pedantic.err))"
    [ -s pedantic.err ] && fail "$compiler $pedantic printed: $(cat pedantic.err)"
    nm pedantic.o | grep -q _qbc_ || fail "$compiler $pedantic: not instrumented"
  done
  printf 'int empty[0];\nint main (void) { return 0; }\n' >not_iso.c
  $compiler -std=c99 -pedantic-errors -c not_iso.c -o not_iso.o 2>plain.err && fail "$compiler accepts not_iso.c"
  "$quorbcc" $compiler -std=c99 -pedantic-errors -c not_iso.c -o not_iso.o 2>launcher.err &&
    fail "$compiler -pedantic-errors: not_iso.c compiled"
  cmp -s plain.err launcher.err || fail "$compiler: messages differ: $(cat launcher.err)"
done

# Only the runtime's macros expand over the preprocessed text: a program
# that undefines a predefined macro (unix) and a macro of the command line,
# then uses their names, builds silently and runs as it does plain, with or
# without -pedantic or a compiler cache; a runtime macro that the command
# line defines (here the results file) still reaches the runtime.
cat >names.c <<'EOF_C'
#include <stdio.h>
#undef unix
#undef LIMIT
static int unix = 4;
static int LIMIT = 3;
int main (void) { printf ("%d\n", unix * LIMIT); return 0; }
EOF_C
prefixes=none
command -v ccache >/dev/null && prefixes="none ccache"
for compiler in gcc clang; do
  for options in "" "-pedantic -Wall"; do
    for prefix in $prefixes; do
      [ $prefix = none ] && prefix=
      rm -f names names.qbr
      CCACHE_DIR=$work/ccache $quorbcc $prefix $compiler -std=gnu99 $options -DLIMIT=10 \
        "-DQBC_RESULTS_DEFAULT=\"$work/instr/names.qbr\"" names.c -o names 2>names.err ||
        fail "$compiler $options $prefix: names.c does not build: $(cat names.err)"
      [ -s names.err ] && fail "$compiler $options $prefix: names.c: $(cat names.err)"
      [ "$(./names)" = 12 ] || fail "$compiler $options $prefix: names printed $(./names)"
      [ -s names.qbr ] || fail "$compiler $options $prefix: no results in names.qbr"
    done
  done
done

# The preprocessing converts a Latin-1 source to UTF-8 once; the program
# prints the bytes the plain build prints.
printf '#include <stdio.h>\nint main (void) { puts ("caf\351"); return 0; }\n' >latin1.c
gcc -finput-charset=latin1 latin1.c -o latin1_plain || fail "gcc rejects latin1.c"
"$quorbcc" gcc -finput-charset=latin1 latin1.c -o latin1 || fail "latin1.c does not build"
[ "$(./latin1 | od -An -tx1)" = "$(./latin1_plain | od -An -tx1)" ] ||
  fail "-finput-charset=latin1: printed $(./latin1 | od -An -tx1)"

# What the launcher keeps in its cache is written there even when the
# temporary directory is on another file system, where a rename cannot go.
if [ -d /dev/shm ] && [ -w /dev/shm ] && [ "$(stat -c %d /dev/shm)" != "$(stat -c %d "$work")" ]; then
  shm=$(mktemp -d /dev/shm/make_build.XXXXXX)
  TMPDIR=$shm XDG_CACHE_HOME=$work/cache "$quorbcc" gcc -O1 -c words.c -o other_fs.o || fail "other file system"
  for kept in includes-* macros-*.h runtime-*.s; do
    compgen -G "$work/cache/quorbcc/$kept" >/dev/null || fail "not kept across file systems: $kept"
  done
  rm -rf "$shm"
fi

# The cache emptied in the middle of a compile (here by the compiler itself,
# just before it compiles the unit) takes nothing from that compile.
mkdir -p "$work/bin"
printf '#!/bin/bash\nfor word in "$@"; do [ "$word" = -fpreprocessed ] && rm -rf "$XDG_CACHE_HOME/quorbcc"; done\nexec %s "$@"\n' \
  "$(command -v gcc)" >"$work/bin/gcc"
chmod +x "$work/bin/gcc"
for round in 1 2; do
  PATH=$work/bin:$PATH XDG_CACHE_HOME=$work/emptied "$quorbcc" gcc -O1 -c words.c -o emptied.o 2>emptied.err ||
    fail "cache emptied during the compile ($round): $(cat emptied.err)"
done
nm emptied.o | grep -q ' W _qbc_link_v' || fail "cache emptied during the compile: no shared runtime"

leftover=$(ls -A "$TMPDIR")
[ -z "$leftover" ] || fail "left in TMPDIR: $leftover"
exit $failed
