#include "wrapper/launcher_help.h"

#include "support/product_version.h"

namespace wrapper {

std::string LauncherHelp() {
  return R"(usage: quorbcc [--qb=OPTION]... COMPILER ARGS...
       quorbcc --help | --version

Runs COMPILER ARGS; compiles of C sources are instrumented by quorbcc1 on
the way (preprocess, instrument, compile the instrumented file), every
other command runs unchanged. COMPILER is gcc, clang, cc or a cross or
versioned form of them, possibly after ccache, sccache, distcc or icecc:
  make CC="quorbcc gcc"
  ./configure CC="quorbcc gcc"
  cmake -DCMAKE_C_COMPILER_LAUNCHER=quorbcc ...
  make CC="quorbcc ccache gcc"

Where files go:
  FDC and TSF files   beside each object (the build tree), unless OPTION
                      names their place (-FDCDIR, -FDCNAME, -TSFDIR, ...)
  results             quorb.qbr in the build's top directory (the nearest
                      directory holding CMakeCache.txt, config.status,
                      build.ninja or meson-private), fixed when compiled;
                      QBC_RESULTS overrides it when the program runs
Configuration probes (conftest.c, CMake's try-compiles and compiler
identification, Meson's checks) compile uninstrumented.

Options:
  --qb=OPTION   a quorbcc1 option, for example --qb=-COND=MODIFIED
                (a leading "-" may be left out); repeatable

Environment:
  QUORB_OPTIONS             quorbcc1 options, before those of --qb=
  QUORB_FALLBACK=1          compile a source quorbcc1 refuses uninstrumented,
                            with a warning, instead of failing
  QUORB_VERBOSE=1           show every command run
  QUORB_PLAIN=PATTERNS      more probes: shell patterns (':'-separated)
                            matched against absolute source paths and the
                            compile's directory
  QUORB_RESULTS_DIR=DIR     the programs' default results go to DIR/quorb.qbr
  QUORB_FDC_BESIDE_SOURCES=1  FDC and TSF files beside the sources instead
  QBLTGT, NIVRAKDIR         another target deployment port or installation
  TMPDIR                    where intermediate files are made (removed after)

Then: run the build's tests, and quorbreport in the build directory.
)";
}

std::string LauncherVersion(const Installation& installation) {
  return std::string("quorbcc ") + support::kFullVersion + "\n" + "quorbcc1: " + installation.quorbcc1 + "\n" +
         "target deployment port: " + installation.target + "\n";
}

}  // namespace wrapper
