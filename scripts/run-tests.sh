#!/usr/bin/env bash
# Runs the built tests; scripts/test.sh calls it on an X display of its own.
set -uo pipefail
cd "$(dirname "$0")/.."

# One server for the whole run: each test process then starts in tens of milliseconds.
prefix=$PWD/build/wineprefix
scripts/wine-run --prefix "$prefix" --start || exit 1
trap 'scripts/wine-run --prefix "$prefix" --stop' EXIT

if ! scripts/wine-run --can-run-x86; then
  echo "note: this host cannot execute 32-bit x86 code, so the x86 test programs are skipped;"
  echo "      the x64 build runs the same tests."
fi

status=0
for preset in x86 x64; do
  echo "== Tests of the $preset build"
  ctest --preset "$preset" --parallel 2 || status=1
done

echo "== Native tests of the option parser (sanitizers, bounded fuzzing)"
ctest --preset native || status=1

exit $status
