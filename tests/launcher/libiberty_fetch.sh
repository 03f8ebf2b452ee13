#!/bin/bash
# Fetches GCC's libiberty (an autotools library of many small C files with
# its own test suite) once into <cache>, from Debian's binutils-source
# package: <cache>/libiberty, with the include and config directories its
# configure script needs beside it. Nothing is fetched when the cache
# exists; status 77 (skipped) when the package cannot be downloaded.
#
#   libiberty_fetch.sh <cache>
set -u
cache=$1
[ -f "$cache/libiberty/configure" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && apt-get download binutils-source >download.log 2>&1); then
  echo "SKIPPED: binutils-source cannot be downloaded; libiberty was not fetched:"
  tail -n 5 "$work/download.log"
  exit 77
fi
dpkg-deb -x "$work"/binutils-source_*.deb "$work/deb" || exit 1
tarball=$(echo "$work"/deb/usr/src/binutils/binutils-*.tar.xz)
top=$(basename "$tarball" .tar.xz)
tar -xJf "$tarball" -C "$work" "$top/libiberty" "$top/include" "$top/config" "$top/install-sh" \
  "$top/config.guess" "$top/config.sub" "$top/mkinstalldirs" || exit 1
mkdir -p "$(dirname "$cache")"
rm -rf "$cache"
mv "$work/$top" "$cache"
