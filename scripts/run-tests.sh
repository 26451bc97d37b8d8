#!/usr/bin/env bash
# Runs the built tests; scripts/test.sh calls it on an X display of its own.
set -uo pipefail
cd "$(dirname "$0")/.."

# The shipped program is 32-bit: its tests run on every host or the run fails.
if ! scripts/wine-run --can-run-x86; then
  echo "FAIL: this host does not execute 32-bit x86 code (/usr/lib/wine/wine --version does not answer"
  echo "      within 10 s), so the shipped program's tests cannot run. scripts/setup.sh, run as root,"
  echo "      makes it do so through qemu-i386; it says which step was refused if it cannot."
  exit 1
fi

# One server for the whole run: each test process then starts in tens of milliseconds.
prefix=$PWD/build/wineprefix
scripts/wine-run --prefix "$prefix" --start || exit 1
trap 'scripts/wine-run --prefix "$prefix" --stop' EXIT

status=0
for preset in x86 x64; do
  echo "== Tests of the $preset build"
  ctest --preset "$preset" --parallel 2 || status=1
done

echo "== Native tests of the option parser (sanitizers, bounded fuzzing)"
ctest --preset native || status=1

echo "== The release, and the same release built again in two other folders"
DIST_DIR=$PWD/build/dist scripts/release.sh --check --allow-dirty || status=1

exit $status
