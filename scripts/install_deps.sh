#!/bin/sh
# Installs the Debian 12 packages quorbcc1 needs to build and test, as root,
# without prompts; does nothing when they are all present.
set -e
# clang-14, csmith and libcsmith-dev feed the parse suite with real compiler
# output and random programs. lcov (genhtml), libxml2-utils (xmllint) and
# chromium read quorbreport's lcov, Cobertura and HTML outputs in its tests.
# ninja-build, meson, ccache and distcc are the build tools the launcher's
# tests put it beside. The cross compilers, newlib and QEMU build and run the
# bare-metal firmware example and a cross-compiled Linux program.
packages="cmake g++ make qt6-base-dev qt6-l10n-tools bison flex googletest libgtest-dev libgmock-dev
  clang-14 csmith libcsmith-dev lcov libxml2-utils chromium ninja-build meson ccache distcc
  gcc-arm-none-eabi libnewlib-arm-none-eabi qemu-system-arm qemu-user gcc-aarch64-linux-gnu
  libc6-dev-arm64-cross"
# npm fetches the lz4 sources that the launcher's build test instruments.
command -v npm >/dev/null 2>&1 || packages="$packages npm"
missing=""
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing
