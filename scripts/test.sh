#!/usr/bin/env bash
# Sets up the machine, builds the Windows targets and the native parser checks, and runs every
# test: the Windows programs under Wine on a private X display, the native ones under the
# sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in x86 x64 native; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" scripts/run-tests.sh
