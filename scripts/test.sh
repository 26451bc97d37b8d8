#!/usr/bin/env bash
# Sets up the machine, builds the Windows targets and the native parser checks, and runs every
# test: the Windows programs under Wine and Xvfb, the native ones under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in x86 x64 native; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One server for the whole run: each test process then starts in tens of milliseconds.
prefix=$PWD/build/wineprefix
scripts/wine-run --prefix "$prefix" --start
trap 'scripts/wine-run --prefix "$prefix" --stop' EXIT

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "note: this host cannot execute 32-bit x86 code, so the x86 test programs are skipped;"
  echo "      the x64 build runs the same tests."
fi

status=0
for preset in x86 x64; do
  echo "== Tests of the $preset build"
  xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    ctest --preset "$preset" --parallel 2 || status=1
done
echo "== Native tests of the option parser (sanitizers, bounded fuzzing)"
ctest --preset native || status=1

exit $status
