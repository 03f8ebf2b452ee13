#!/bin/bash
# Fetches the lz4 source tree once into <cache>: the npm package lz4@0.6.5
# carries it under package/deps/lz4. Nothing is fetched when the cache
# exists; status 77 (skipped) when npm or its registry cannot be reached.
#
#   lz4_fetch.sh <cache>
set -u
cache=$1
[ -f "$cache/Makefile" ] && exit 0
if ! command -v npm >/dev/null; then
  echo "SKIPPED: npm is missing (scripts/install_deps.sh installs it); lz4 cannot be fetched"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && npm pack lz4@0.6.5 --loglevel=error --cache "$work/npm-cache" --fetch-retries=1 >pack.log 2>&1); then
  echo "SKIPPED: the npm registry cannot be reached; lz4@0.6.5 was not fetched:"
  tail -n 5 "$work/pack.log"
  exit 77
fi
tar -xzf "$work/lz4-0.6.5.tgz" -C "$work" package/deps/lz4 || exit 1
mkdir -p "$(dirname "$cache")"
rm -rf "$cache"
mv "$work/package/deps/lz4" "$cache"
